#include "WsListModel.h"

#include "host/uBaseDLLForm.h"

#include <QFont>

namespace mzpy {

namespace {
const QColor kMarkBack(166, 202, 240);
}

WsListModel::WsListModel(TQuery *query, int kind, QVector<WsColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_kind(kind), m_columns(std::move(columns))
{
    m_query->onChanged = [this] { rebuild(); };
    rebuild();
}

void WsListModel::rebuild()
{
    beginResetModel();
    const oradb::ResultSet &d = m_query->data();
    m_source.resize(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        m_source[i] = d.columnIndex(m_columns[i].field);
    m_serialCol = d.columnIndex(QStringLiteral("CFLSH0"));
    m_cxbzCol = d.columnIndex(QStringLiteral("CXBZ00"));
    m_yycwdjCol = d.columnIndex(QStringLiteral("YYCWDJ"));
    m_sfgwCol = d.columnIndex(QStringLiteral("SFGW00"));
    m_jkpyztCol = d.columnIndex(QStringLiteral("JKPYZT"));
    m_amountCol = d.columnIndex(QStringLiteral("YPJE00"));
    if (keepMarksOnce && !m_query->active()) {
        // the close before a reopen: the marks wait for the new rows
    } else if (keepMarksOnce && m_serialCol >= 0 && !m_marks.isEmpty()) {
        QSet<QString> still;
        for (const auto &row : d.rows) {
            const QString s = oradb::valueText(row[m_serialCol]);
            if (m_marks.contains(s))
                still.insert(s);
        }
        m_marks = still;
        m_userSelected = !still.isEmpty();
        keepMarksOnce = false;
    } else {
        m_marks.clear();
        m_userSelected = false;
        keepMarksOnce = false;
    }
    endResetModel();
}

int WsListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query->active() ? 0 : m_query->recordCount();
}

int WsListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

int WsListModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString WsListModel::text(int row, const QString &field) const
{
    if (row < 0 || row >= m_query->recordCount())
        return QString();
    if (field.compare(QLatin1String("NX"), Qt::CaseInsensitive) == 0)
        return isMarked(row) ? QStringLiteral("Y") : QStringLiteral("N");
    const int c = m_query->data().columnIndex(field);
    return c < 0 ? QString() : oradb::valueText(m_query->valueAt(row, c));
}

int WsListModel::findRow(const QString &field, const QString &value) const
{
    const int c = m_query->data().columnIndex(field);
    if (c < 0 || !m_query->active())
        return -1;
    const QString wanted = value.trimmed();
    const auto &rows = m_query->data().rows;
    for (int r = 0; r < rows.size(); ++r) {
        const QVariant &v = rows[r][c];
        // the common case compares without making a text of every row
        if (v.typeId() == QMetaType::QString ? v.toString().trimmed() == wanted : oradb::valueText(v).trimmed() == wanted)
            return r;
    }
    return -1;
}

bool WsListModel::isMarked(int row) const
{
    if (m_marks.isEmpty() || m_serialCol < 0 || row < 0 || row >= m_query->recordCount())
        return false;
    return m_marks.contains(oradb::valueText(m_query->valueAt(row, m_serialCol)));
}

void WsListModel::setMarked(int row, bool marked)
{
    if (m_serialCol < 0 || row < 0 || row >= m_query->recordCount())
        return;
    const QString s = oradb::valueText(m_query->valueAt(row, m_serialCol));
    if (marked)
        m_marks.insert(s);
    else
        m_marks.remove(s);
    emit dataChanged(index(row, 0), index(row, m_columns.size() - 1));
}

void WsListModel::clearMarks()
{
    m_userSelected = false;
    if (m_marks.isEmpty())
        return;
    m_marks.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, m_columns.size() - 1));
}

QVariant WsListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int row = index.row();
    const WsColumn &col = m_columns[index.column()];
    const int src = m_source[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        if (col.check)
            return QVariant();
        if (src < 0)
            return QVariant();
        const QVariant v = m_query->valueAt(row, src);
        if (m_kind == 4 && col.field == QLatin1String("DKFYBZ")) {
            const QString t = oradb::valueText(v);
            return t == QLatin1String("1") ? QStringLiteral("是") : t == QLatin1String("0") ? QStringLiteral("否") : t;
        }
        return v.isNull() ? QVariant() : QVariant(oradb::valueText(v));
    }
    case Qt::CheckStateRole: {
        if (col.check == 1)
            return isMarked(row) ? Qt::Checked : Qt::Unchecked;
        if (col.check == 2 && src >= 0)
            return oradb::valueText(m_query->valueAt(row, src)) == QLatin1String("1") ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    case Qt::ForegroundRole: {
        if (m_kind <= 3 && m_cxbzCol >= 0) {
            const QString cx = oradb::valueText(m_query->valueAt(row, m_cxbzCol));
            if (cx.contains(QLatin1Char('+')) || cx.contains(QLatin1Char('-')) || cx.contains(QLatin1Char('*')))
                return QColor(Qt::red);
        }
        if (m_kind == 1 && machineQtRule && m_jkpyztCol >= 0
            && oradb::valueText(m_query->valueAt(row, m_jkpyztCol)) == QLatin1String("0"))
            return QColor(Qt::red);
        if (m_kind == 5 && col.field == QLatin1String("SFGW00") && src >= 0
            && oradb::valueText(m_query->valueAt(row, src)) == QStringLiteral("高危"))
            return QColor(Qt::red);
        return QVariant();
    }
    case Qt::BackgroundRole: {
        if ((m_kind == 1 || m_kind == 2 || m_kind == 5) && col.field == QLatin1String("YYCWDJ") && src >= 0) {
            const QString lv = oradb::valueText(m_query->valueAt(row, src));
            if (lv == QLatin1String("6") || lv == QLatin1String("7"))
                return QColor(Qt::red);
        }
        if ((m_kind == 1 || m_kind == 4) && isMarked(row))
            return kMarkBack;
        return QVariant();
    }
    case Qt::FontRole: {
        bool bold = col.bold;
        if (!bold && (m_kind == 1 || m_kind == 2 || m_kind == 5) && col.field == QLatin1String("YYCWDJ") && src >= 0) {
            const QString lv = oradb::valueText(m_query->valueAt(row, src));
            bold = lv == QLatin1String("6") || lv == QLatin1String("7");
        }
        if (!bold && m_kind == 5 && col.field == QLatin1String("SFGW00") && src >= 0)
            bold = oradb::valueText(m_query->valueAt(row, src)) == QStringLiteral("高危");
        if (bold) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant WsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].caption.isEmpty() ? m_columns[section].field : m_columns[section].caption;
    if (role == ColumnNameRole)
        return m_columns[section].field;
    return QVariant();
}

Qt::ItemFlags WsListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && m_columns[index.column()].check == 1)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool WsListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || m_columns[index.column()].check != 1)
        return false;
    const bool marked = value.toInt() == Qt::Checked;
    m_userSelected = m_userSelected || marked;
    setMarked(index.row(), marked);
    if (onMarkChanged)
        onMarkChanged(index.row(), marked);
    return true;
}

QString WsListModel::footerText() const
{
    const int n = rowCount();
    QString t = QStringLiteral("合计: ") + QString::number(n) + QStringLiteral(" 张");
    if (m_amountCol >= 0 && n > 0) {
        double sum = 0;
        const auto &rows = m_query->data().rows;
        for (const auto &r : rows)
            sum += r[m_amountCol].toDouble();
        t += QStringLiteral("  金额: ") + QString::number(sum, 'f', 2);
    }
    return t;
}

}  // namespace mzpy
