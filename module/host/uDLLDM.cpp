#include "uDLLDM.h"

#include "ModuleState.h"
#include "uBaseDLLForm.h"
#include "common/Prompts.h"

namespace mzpy {

// ---------------------------------------------------------------- TQuery

TQuery::TQuery(QObject *owner, const QString &name) : QObject(owner)
{
    setObjectName(name);
}

void TQuery::setParam(const QString &name, const QVariant &value)
{
    for (auto &p : params) {
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    }
    params.append({name, value});
}

void TQuery::open()
{
    // The rows are replaced in one step: listeners hear of the change once,
    // when the new rows are there (or when a failure left the query closed).
    const bool had = m_active || !m_data.rows.isEmpty();
    m_active = false;
    m_data = oradb::ResultSet();
    m_row = -1;
    m_eof = true;
    try {
        if (checkForm)
            checkForm->InputSecurityCheck();
        m_data = Db().select(sql, params);
    } catch (...) {
        if (had && onChanged)
            onChanged();
        throw;
    }
    m_active = true;
    m_row = m_data.rows.isEmpty() ? -1 : 0;
    m_eof = m_data.rows.isEmpty();
    if (onChanged)
        onChanged();
}

void TQuery::close()
{
    const bool was = m_active || !m_data.rows.isEmpty();
    m_active = false;
    m_data = oradb::ResultSet();
    m_row = -1;
    m_eof = true;
    if (was && onChanged)
        onChanged();
}

int TQuery::execSql()
{
    close();
    if (checkForm)
        checkForm->InputSecurityCheck();
    return Db().execute(sql, params);
}

void TQuery::setRecNo(int row)
{
    if (m_data.rows.isEmpty()) {
        m_row = -1;
        m_eof = true;
        return;
    }
    m_row = qBound(0, row, m_data.rows.size() - 1);
    m_eof = false;
}

bool TQuery::next()
{
    if (m_row + 1 >= m_data.rows.size()) {
        m_eof = true;
        return false;
    }
    ++m_row;
    return true;
}

bool TQuery::prior()
{
    if (m_row <= 0)
        return false;
    --m_row;
    m_eof = false;
    return true;
}

QVariant TQuery::value(const QString &field) const
{
    if (m_row < 0 || m_row >= m_data.rows.size())
        return QVariant();
    const int c = m_data.columnIndex(field);
    return c < 0 ? QVariant() : m_data.rows[m_row][c];
}

QString TQuery::text(const QString &field) const
{
    return oradb::valueText(value(field));
}

// ---------------------------------------------------------- TExpandComboBox

TExpandComboBox::TExpandComboBox(QWidget *parent) : QComboBox(parent) {}

QString TExpandComboBox::currentValue() const
{
    const int i = currentIndex();
    return (i >= 0 && i < Values.size()) ? Values[i] : QString();
}

// ------------------------------------------------------------------ TDLLDM

TDLLDM::TDLLDM(void *databaseHandle)
{
    setObjectName(QStringLiteral("DLLDM"));
    qryGeneral = new TQuery(this, QStringLiteral("qryGeneral"));
    qryCmd = new TQuery(this, QStringLiteral("qryCmd"));
    QryTemp = new TQuery(this, QStringLiteral("QryTemp"));
    QryCmd2 = new TQuery(this, QStringLiteral("QryCmd2"));
    qryGeneral2 = new TQuery(this, QStringLiteral("qryGeneral2"));
    qryGeneral3 = new TQuery(this, QStringLiteral("qryGeneral3"));
    if (!databaseHandle)
        throw oradb::DbError(QStringLiteral("未指定数据库连接"));
    m_connection = oradb::attachSqlite(static_cast<sqlite3 *>(databaseHandle));
}

TDLLDM::~TDLLDM() = default;

oradb::Connection &TDLLDM::connection()
{
    if (!m_connection)
        throw oradb::DbError(QStringLiteral("未指定数据库连接"));
    return *m_connection;
}

bool TDLLDM::DbOpen(TQuery *query, const QString &sql)
{
    try {
        query->setSql(sql);
        query->open();  // closes the query first
    } catch (const oradb::DbError &e) {
        ShowError(QStringLiteral("查询语句错误！错误信息") + e.message());
        throw SilentAbort();
    }
    return true;
}

bool TDLLDM::DbExec(const QString &sql, bool commit)
{
    try {
        connection().execute(sql);
        if (commit)
            connection().execute(QStringLiteral("Commit"));
    } catch (const oradb::DbError &e) {
        ShowError(QStringLiteral("执行语句错误！错误信息") + e.message());
        throw SilentAbort();
    }
    return true;
}

void TDLLDM::DbExecText(const QString &sql)
{
    DbExec(sql, false);
}

void TDLLDM::DbExecParams(const QString &sql, const QString &name, const QVariant &value)
{
    try {
        connection().execute(sql, {{name, value}});
    } catch (const oradb::DbError &e) {
        ShowError(QStringLiteral("执行语句错误！错误信息") + e.message());
        throw SilentAbort();
    }
}

void TDLLDM::DbExecParams(const QString &sql, const QString &name1, const QVariant &value1,
                          const QString &name2, const QVariant &value2)
{
    try {
        connection().execute(sql, {{name1, value1}, {name2, value2}});
    } catch (const oradb::DbError &e) {
        ShowError(QStringLiteral("执行语句错误！错误信息") + e.message());
        throw SilentAbort();
    }
}

static QString firstValue(const TQuery *q, bool asBlob)
{
    if (q->isEmpty() || q->data().columns.isEmpty())
        return QString();
    const QVariant v = q->valueAt(0, 0);
    if (!asBlob)
        return oradb::valueText(v);
    // One character per byte of the column.
    const QByteArray bytes = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
    return QString::fromLatin1(bytes);
}

QString TDLLDM::DbValue(const QString &sql, bool asBlob)
{
    try {
        qryGeneral->close();
        qryGeneral->clearParams();
        qryGeneral->setSql(sql);
        qryGeneral->open();
        return firstValue(qryGeneral, asBlob);
    } catch (const oradb::DbError &) {
        return QStringLiteral("-1");
    }
}

QString TDLLDM::DbValueParams(const QString &sql, const oradb::Params &params, bool asBlob)
{
    QString result;
    try {
        qryGeneral->close();
        qryGeneral->setSql(sql);
        qryGeneral->params = params;
        qryGeneral->open();
        result = firstValue(qryGeneral, asBlob);
    } catch (const oradb::DbError &) {
        result.clear();
    }
    qryGeneral->close();
    qryGeneral->clearParams();
    return result;
}

void TDLLDM::DbReopen(TQuery *query, const QString &sql)
{
    query->setSql(sql);
    try {
        query->open();
    } catch (const oradb::DbError &) {
        query->close();
    }
}

void TDLLDM::DbReopenParams(TQuery *query, const QString &sql, const oradb::Params &params)
{
    query->setSql(sql);
    query->params = params;
    try {
        query->open();
    } catch (const oradb::DbError &) {
        query->close();
    }
}

void TDLLDM::DbRefresh(TQuery *query)
{
    if (query->sql.trimmed().isEmpty())
        return;
    query->open();
}

void TDLLDM::FillComboFromSql(QComboBox *combo, const QString &sql, bool addBlankFirst)
{
    qryGeneral->clearParams();
    DbReopen(qryGeneral, sql);
    combo->clear();
    if (addBlankFirst)
        combo->addItem(QString());
    for (const auto &row : qryGeneral->data().rows)
        combo->addItem(row.isEmpty() ? QString() : oradb::valueText(row[0]));
}

bool TDLLDM::FillCodeCombo(TExpandComboBox *combo, const QString &table, const QString &shownField,
                           const QString &valueField, const QString &condition, const QString &order,
                           bool addFirst, const QString &firstText, const QString &firstValue,
                           int indexToSelect)
{
    if (table.isEmpty() || shownField.isEmpty() || valueField.isEmpty())
        return false;
    combo->clear();
    combo->Values.clear();
    QString sql = QStringLiteral("select ") + shownField + "," + valueField + " from " + table
                  + " where 1=1 " + condition;
    if (!order.trimmed().isEmpty())
        sql += QStringLiteral(" order by ") + order;
    qryGeneral->clearParams();
    DbReopen(qryGeneral, sql);
    if (addFirst) {
        if (firstText.isEmpty()) {
            combo->addItem(QString());
            combo->Values.append(QString());
        } else {
            combo->addItem(firstText);
            combo->Values.append(firstValue);
        }
    }
    for (const auto &row : qryGeneral->data().rows) {
        combo->addItem(row.size() > 0 ? oradb::valueText(row[0]) : QString());
        combo->Values.append(row.size() > 1 ? oradb::valueText(row[1]) : QString());
    }
    if (indexToSelect >= 0)
        combo->setCurrentIndex(indexToSelect < combo->count() ? indexToSelect : -1);
    return true;
}

QString TDLLDM::NextRowValue(TQuery *query, const QString &field)
{
    const int count = query->recordCount();
    if (count == 1)
        return QStringLiteral("-1");
    const int row = query->recNo();
    const int c = query->data().columnIndex(field);
    if (c < 0 || row < 0)
        return QString();
    if (row + 1 < count)
        return oradb::valueText(query->valueAt(row + 1, c));
    if (row > 0)
        return oradb::valueText(query->valueAt(row - 1, c));
    return QString();
}

QVariantMap TDLLDM::CallProc(const QString &name, const oradb::Params &inputs)
{
    return connection().callProcedure(name, inputs);
}

TDLLDM *DLLDM()
{
    return Module().dataModule;
}

oradb::Connection &Db()
{
    if (!Module().dataModule)
        throw oradb::DbError(QStringLiteral("数据模块未创建"));
    return Module().dataModule->connection();
}

}  // namespace mzpy
