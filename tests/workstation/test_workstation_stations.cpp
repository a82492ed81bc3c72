// Two workstations of one pharmacy, each in its own process on the same
// database file, press the same command on the same queue group at once:
// exactly one moves it, the other is refused, nothing is doubled or lost.
#include "TestEnv.h"

#include "hisdb/hisdb.h"
#include "hisdb/seed.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QString serial(int nn)
{
    return QStringLiteral("10000000000000") + QStringLiteral("%1").arg(nn, 2, 10, QLatin1Char('0'));
}

struct Station {
    QString operatorId, card;
    QProcess process;
    QString output;
};

}  // namespace

TEST(Stations, SameGroupAtTheSameMomentMovesOnce)
{
    const QString helper = qEnvironmentVariable("MZPY_BIN_DIR") + QStringLiteral("/workstation_station");
    ASSERT_TRUE(QFile::exists(helper)) << helper.toStdString();
    const struct {
        const char *command;
        int first, second;        // one queue group
        const char *before, *after;
        const char *winnerColumn; // who is recorded as having done it
    } cases[] = {{"dispense", 5, 6, "1", "2", "FHR001"}, {"issue", 22, 23, "2", "3", "FYR000"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
        TestEnv env;
        env.writeFile(QStringLiteral("Login.ini"), "[MZPY]\r\nCKBH_PY=1\r\nCKBH_FY=3\r\n");
        ASSERT_EQ(env.scalar("select group_concat(ZT0000) from YF_CFDL00 where CFLSH0 in ('" + serial(c.first) + "','"
                             + serial(c.second) + "')"),
                  QString::fromLatin1(c.before) + "," + c.before);
        const QString go = env.hostDir() + QStringLiteral("go");
        Station stations[2];
        stations[0].operatorId = "1001";
        stations[0].card = "K1001";
        stations[1].operatorId = "1003";
        stations[1].card = "K1003";
        for (Station &s : stations) {
            const QString dir = env.hostDir() + s.card + "/";
            QDir().mkpath(dir);
            QFile::copy(env.hostDir() + "Login.ini", dir + "Login.ini");
            s.process.start(helper, {env.dbPath(), dir, s.operatorId, s.card, QString::fromLatin1(c.command),
                                     serial(c.first), go});
        }
        for (Station &s : stations) {
            ASSERT_TRUE(s.process.waitForReadyRead(60000)) << s.process.readAllStandardError().toStdString();
            s.output = QString::fromUtf8(s.process.readLine());
            ASSERT_EQ(s.output.trimmed(), "ready") << s.process.readAllStandardError().toStdString();
        }
        QFile(go).open(QIODevice::WriteOnly);  // both press at once
        for (Station &s : stations) {
            ASSERT_TRUE(s.process.waitForFinished(60000));
            s.output = QString::fromUtf8(s.process.readAllStandardOutput());
            EXPECT_EQ(s.process.exitCode(), 0) << s.process.readAllStandardError().toStdString();
        }
        // the group moved once, as a whole
        EXPECT_EQ(env.scalar("select group_concat(ZT0000) from YF_CFDL00 where CFLSH0 in ('" + serial(c.first) + "','"
                             + serial(c.second) + "')"),
                  QString::fromLatin1(c.after) + "," + c.after);
        const QString winner = env.scalar(QStringLiteral("select group_concat(distinct ") + c.winnerColumn
                                          + " ) from YF_MZCF00 where CFLSH0 in ('" + serial(c.first) + "','"
                                          + serial(c.second) + "')");
        ASSERT_TRUE(winner == "1001" || winner == "1003") << winner.toStdString();
        const Station &loser = stations[winner == "1001" ? 1 : 0];
        const Station &won = stations[winner == "1001" ? 0 : 1];
        std::printf("[%s] winner %s\n[winner]\n%s[loser]\n%s", c.command, qPrintable(winner), qPrintable(won.output),
                    qPrintable(loser.output));
        // the winner saw no refusal; the loser was refused by the procedure or by the lock
        EXPECT_FALSE(won.output.contains(QStringLiteral("提示："))) << won.output.toStdString();
        EXPECT_TRUE(won.output.contains("message: \n")) << won.output.toStdString();
        EXPECT_TRUE(loser.output.contains(QStringLiteral("不能")) || loser.output.contains(QStringLiteral("提示：")))
            << loser.output.toStdString();
        // both stations' lists show the truth after their rebuild
        for (const Station *s : {&won, &loser}) {
            if (QString::fromLatin1(c.command) == "dispense")
                EXPECT_TRUE(s->output.contains("dp: 0\ndf: 1\n")) << s->output.toStdString();
            else
                EXPECT_TRUE(s->output.contains("df: 0\nyf: 1\n")) << s->output.toStdString();
        }
        // nothing doubled: one call order for the dispensed group, one issue date
        EXPECT_EQ(env.scalar("select count(*) from YF_CFDL00 where CFLSH0 in ('" + serial(c.first) + "','"
                             + serial(c.second) + "')"),
                  "2");
        hisdb::setFixedNow(QString());
    }
}
