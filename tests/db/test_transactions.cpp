// Oracle's transaction model on one WAL file shared by two connections
// (two computers of one pharmacy).
#include "test_db_support.h"

using oradb::DbError;

namespace {

class Transactions : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("create table T_ROW(ID integer primary key, V text)"));
        otherHandle = db.openAnother(200);
        a = oradb::attachSqlite(db.db());
        b = oradb::attachSqlite(otherHandle);
    }
    void TearDown() override
    {
        a.reset();
        b.reset();
        hisdb::close(otherHandle);
    }
    static QString count(oradb::Connection &c)
    {
        return oradb::valueText(c.select(QStringLiteral("select count(*) from T_ROW")).rows.value(0).value(0));
    }

    TempDb db;
    sqlite3 *otherHandle = nullptr;
    std::unique_ptr<oradb::Connection> a, b;
};

TEST_F(Transactions, ChangesAreSeenByOthersOnlyAfterCommit)
{
    EXPECT_FALSE(a->inTransaction());
    a->select(QStringLiteral("select * from T_ROW"));
    EXPECT_FALSE(a->inTransaction()) << "a select opens no transaction";

    a->execute(QStringLiteral("insert into T_ROW values (1, 'a')"));
    EXPECT_TRUE(a->inTransaction());
    EXPECT_EQ(count(*a), QStringLiteral("1")) << "own uncommitted row visible";
    EXPECT_EQ(count(*b), QStringLiteral("0")) << "other computer must not see it";

    a->execute(QStringLiteral("commit"));
    EXPECT_FALSE(a->inTransaction());
    EXPECT_EQ(count(*b), QStringLiteral("1"));

    a->execute(QStringLiteral("update T_ROW set V='b' where ID=1"));
    a->execute(QStringLiteral("Rollback"));
    EXPECT_EQ(oradb::valueText(b->select(QStringLiteral("select V from T_ROW")).rows.value(0).value(0)), QStringLiteral("a"));
}

TEST_F(Transactions, CommitAndRollbackWithNothingOpenAreFine)
{
    EXPECT_NO_THROW(a->commit());
    EXPECT_NO_THROW(a->rollback());
    EXPECT_NO_THROW(a->execute(QStringLiteral("RollBack")));
    EXPECT_NO_THROW(a->execute(QStringLiteral("commit;")));
    EXPECT_NO_THROW(a->select(QStringLiteral("commit")));
}

TEST_F(Transactions, SecondWriterWaitsThenFailsWhileTheFirstHoldsItsTransaction)
{
    a->execute(QStringLiteral("insert into T_ROW values (1, 'a')"));
    // b's busy timeout is short; its write cannot start while a's is open
    try {
        b->execute(QStringLiteral("insert into T_ROW values (2, 'b')"));
        ADD_FAILURE() << "second writer did not wait for the first";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("locked"))) << e.message().toStdString();
    }
    EXPECT_FALSE(b->inTransaction());
    // reading is not blocked
    EXPECT_EQ(count(*b), QStringLiteral("0"));
    a->commit();
    b->execute(QStringLiteral("insert into T_ROW values (2, 'b')"));
    b->commit();
    EXPECT_EQ(count(*a), QStringLiteral("2"));
}

TEST_F(Transactions, AFailedStatementKeepsTheEarlierWorkOfTheTransaction)
{
    a->execute(QStringLiteral("insert into T_ROW values (1, 'a')"));
    EXPECT_THROW(a->execute(QStringLiteral("insert into T_ROW values (1, 'dup')")), DbError);
    EXPECT_TRUE(a->inTransaction());
    a->execute(QStringLiteral("commit"));
    EXPECT_EQ(count(*b), QStringLiteral("1"));
}

TEST_F(Transactions, AFailedFirstStatementLeavesNoLockBehind)
{
    // The failing statement opened the transaction; nothing else is in it,
    // so the other computer can write at once.
    a->execute(QStringLiteral("insert into T_ROW values (1, 'a')"));
    a->commit();
    EXPECT_THROW(a->execute(QStringLiteral("insert into T_ROW values (1, 'dup')")), DbError);
    EXPECT_FALSE(a->inTransaction());
    EXPECT_NO_THROW(b->execute(QStringLiteral("insert into T_ROW values (2, 'b')")));
    b->commit();
    EXPECT_EQ(count(*a), QStringLiteral("2"));
}

TEST_F(Transactions, CachedStatementsDoNotBlockOtherConnections)
{
    // the same select many times (cached and reset after each use)
    for (int i = 0; i < 20; ++i)
        a->select(QStringLiteral("select count(*) from T_ROW where ID > :ID"), {{"ID", QString::number(i)}});
    b->execute(QStringLiteral("insert into T_ROW values (7, 'x')"));
    b->commit();
    // a schema change: the cached statement is prepared again
    db.exec(QStringLiteral("create table T_OTHER(X)"));
    EXPECT_EQ(count(*a), QStringLiteral("1"));
}

}  // namespace
