// Table model of the workstation lists over a query's rows. Columns are
// resolved to row indexes once per rebuild; display texts are made only for
// the cells a view asks for. Selection marks ("选", NX) are kept as the set
// of marked serial numbers.
#pragma once

#include "host/uDLLDM.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QSet>
#include <QVector>

namespace mzpy {

struct WsColumn {
    QString field;
    QString caption;       // empty: the field name
    bool hidden = false;
    int check = 0;         // 0 text, 1 check box "Y"/"N" (the mark), 2 check box "1"/"0"
    bool bold = false;
};

class WsListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // kind: 1 to-dispense, 2 dispensed, 3 issued, 4 query, 5 detail
    WsListModel(TQuery *query, int kind, QVector<WsColumn> columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    const QVector<WsColumn> &columns() const { return m_columns; }
    int columnOf(const QString &field) const;          // model column, -1 when not listed
    QString text(int row, const QString &field) const; // any field of the query's row
    int findRow(const QString &field, const QString &value) const;  // first row whose trimmed text matches; -1

    bool isMarked(int row) const;
    void setMarked(int row, bool marked);
    int markedCount() const { return m_marks.size(); }
    // The user has ticked a row since the list was last built afresh. A row
    // ticked and unticked again stays selected in the grid without a mark, so
    // a command on the marked rows then has nothing to do rather than falling
    // back to the current row.
    bool hasSelection() const { return m_userSelected || !m_marks.isEmpty(); }
    void clearMarks();
    // Called when the user changes a mark (row, new value); may refuse it by
    // throwing SilentAbort or reset the mark itself.
    std::function<void(int row, bool marked)> onMarkChanged;

    // Red text for rows of the dispensing machine vendor "QT" with JKPYZT "0".
    bool machineQtRule = false;
    // Keep the marks of serial numbers still listed over the next rebuild.
    bool keepMarksOnce = false;

    QString footerText() const;

private:
    void rebuild();
    TQuery *m_query;
    int m_kind;
    QVector<WsColumn> m_columns;
    QVector<int> m_source;       // query column of each model column
    int m_serialCol = -1, m_cxbzCol = -1, m_yycwdjCol = -1, m_sfgwCol = -1, m_jkpyztCol = -1, m_amountCol = -1;
    QSet<QString> m_marks;       // marked serial numbers
    bool m_userSelected = false; // a mark was set by the user since the last fresh rebuild
};

}  // namespace mzpy
