// The rows of a select through the adapter, compared cell by cell with the
// same statement read straight through sqlite3: the adapter shares repeated
// texts and reuses statements, and must still give every value with the type
// of its storage class (null, qlonglong, double, QString, QByteArray).
#include "test_db_support.h"

namespace {

QVector<QVector<QVariant>> readDirect(sqlite3 *db, const char *sql, qlonglong limit)
{
    QVector<QVector<QVariant>> rows;
    sqlite3_stmt *st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK);
    sqlite3_bind_int64(st, 1, limit);
    while (sqlite3_step(st) == SQLITE_ROW) {
        QVector<QVariant> row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                row << QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, c)));
                break;
            case SQLITE_FLOAT:
                row << QVariant(sqlite3_column_double(st, c));
                break;
            case SQLITE_TEXT:
                row << QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                                  sqlite3_column_bytes(st, c)));
                break;
            case SQLITE_BLOB:
                row << QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c)));
                break;
            default:
                row << QVariant();
            }
        }
        rows << row;
    }
    sqlite3_finalize(st);
    return rows;
}

TEST(AdapterRows, EveryCellKeepsItsValueAndType)
{
    TempDb db;
    // C: texts repeated out of order, more distinct ones than a small table
    // holds, prefixes of each other, empty, Chinese, null; M: every storage
    // class in one column; K: one constant text
    db.exec(QStringLiteral(
        "create table T_MIX(ID integer primary key, C text, M, K text);"
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 400) "
        "insert into T_MIX select i, case i % 7 when 0 then null when 1 then '' when 2 then '张三' "
        "  else 'v' || ((i * 37) % 90) || substr('xxxx', 1, i % 3) end, "
        "  case i % 6 when 0 then i when 1 then i + 0.5 when 2 then 'a' || (i % 4) when 3 then x'00ff' || i "
        "  when 4 then x'' else null end, '窗口1' from n;"));
    auto conn = oradb::attachSqlite(db.db());
    // the same statement again (cached, with the last run's row count), with
    // fewer rows, none, and all again
    for (const qlonglong limit : {400, 400, 25, 0, 400}) {
        const auto rs = conn->select(QStringLiteral("select C, M, K, ID from T_MIX where ID <= :N order by (ID * 13) % 400"),
                                     {{"N", QString::number(limit)}});
        const auto expected = readDirect(db.db(), "select C, M, K, ID from T_MIX where ID <= ?1 order by (ID * 13) % 400", limit);
        ASSERT_EQ(rs.rows.size(), expected.size()) << limit;
        for (int r = 0; r < expected.size(); ++r)
            for (int c = 0; c < expected[r].size(); ++c) {
                const QVariant &got = rs.rows[r][c];
                const QVariant &want = expected[r][c];
                ASSERT_EQ(got.typeId(), want.typeId()) << "row " << r << " column " << c;
                ASSERT_EQ(got.isNull(), want.isNull()) << "row " << r << " column " << c;
                ASSERT_TRUE(got == want) << "row " << r << " column " << c << ": " << oradb::valueText(got).toStdString()
                                         << " for " << oradb::valueText(want).toStdString();
            }
    }
}

}  // namespace
