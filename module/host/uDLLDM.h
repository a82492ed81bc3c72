// The data module: the module's one connection (attached to the host's
// handle), the shared queries and the query operations every screen uses.
#pragma once

#include "OraConnection.h"

#include <QColor>
#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

namespace mzpy {

class TBaseDLLForm;

// A data set in the manner of the forms: an SQL text with named text
// parameters, opened into rows held in memory, with a current row.
class TQuery : public QObject {
    Q_OBJECT
public:
    explicit TQuery(QObject *owner = nullptr, const QString &name = QString());

    QString sql;
    oradb::Params params;

    void setSql(const QString &text) { sql = text; }
    void setParam(const QString &name, const QVariant &value);
    void clearParams() { params.clear(); }

    // Opens the SQL on the module connection; errors reach the caller as
    // oradb::DbError. The input security check of the form the query was
    // bound to runs first.
    void open();
    void close();
    // Runs the SQL as a statement (no rows kept).
    int execSql();
    bool active() const { return m_active; }

    int recordCount() const { return m_data.rows.size(); }
    bool isEmpty() const { return m_data.rows.isEmpty(); }
    int recNo() const { return m_row; }     // 0-based current row, -1 when empty
    void setRecNo(int row);
    void first() { setRecNo(0); }
    void last() { setRecNo(recordCount() - 1); }
    bool next();                            // false at the end (stays on the last row)
    bool prior();
    bool eof() const { return m_eof; }

    QVariant value(const QString &field) const;           // current row; null when missing
    QString text(const QString &field) const;             // as text
    QVariant valueAt(int row, int column) const { return m_data.rows[row][column]; }
    bool hasField(const QString &field) const { return m_data.columnIndex(field) >= 0; }
    const oradb::ResultSet &data() const { return m_data; }

    // The form whose input security check guards this query.
    QPointer<TBaseDLLForm> checkForm;
    // Called whenever the rows change (open, close): models listen here.
    std::function<void()> onChanged;

private:
    oradb::ResultSet m_data;
    int m_row = -1;
    bool m_active = false;
    bool m_eof = true;
};

// Code drop-down: the entries show texts, Values holds the value of each.
class TExpandComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TExpandComboBox(QWidget *parent = nullptr);
    QStringList Values;
    QString currentValue() const;
};

class TDLLDM : public QObject {
    Q_OBJECT
public:
    // Attaches to the host's connection handle (an sqlite3*).
    explicit TDLLDM(void *databaseHandle);
    ~TDLLDM() override;

    oradb::Connection &connection();
    bool attached() const { return m_connection != nullptr; }

    TQuery *qryGeneral;
    TQuery *qryCmd;
    TQuery *QryTemp;
    TQuery *QryCmd2;
    TQuery *qryGeneral2;
    TQuery *qryGeneral3;

    // Row styles of the grids.
    QColor cxSingle{0xDD, 0xEB, 0xFD};  // 16640989
    QColor cxDouble{Qt::white};

    // Query operations with their failure contracts.
    bool DbOpen(TQuery *query, const QString &sql);
    bool DbExec(const QString &sql, bool commit);
    void DbExecText(const QString &sql);
    void DbExecParams(const QString &sql, const QString &name, const QVariant &value);
    void DbExecParams(const QString &sql, const QString &name1, const QVariant &value1,
                      const QString &name2, const QVariant &value2);
    QString DbValue(const QString &sql, bool asBlob = false);
    QString DbValueParams(const QString &sql, const oradb::Params &params, bool asBlob = false);
    void DbReopen(TQuery *query, const QString &sql);
    void DbReopenParams(TQuery *query, const QString &sql, const oradb::Params &params);
    void DbRefresh(TQuery *query);
    void FillComboFromSql(QComboBox *combo, const QString &sql, bool addBlankFirst);
    bool FillCodeCombo(TExpandComboBox *combo, const QString &table, const QString &shownField,
                       const QString &valueField, const QString &condition, const QString &order,
                       bool addFirst, const QString &firstText, const QString &firstValue,
                       int indexToSelect);
    static QString NextRowValue(TQuery *query, const QString &field);

    // Stored procedure call with named inputs; returns the outputs. Errors
    // reach the caller as oradb::DbError.
    QVariantMap CallProc(const QString &name, const oradb::Params &inputs);

private:
    std::unique_ptr<oradb::Connection> m_connection;
};

// The module's data module; nullptr before start-up and after close-all.
TDLLDM *DLLDM();
// The module connection; throws oradb::DbError when there is none.
oradb::Connection &Db();

}  // namespace mzpy
