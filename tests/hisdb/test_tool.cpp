// The hisdb command-line tool, run as support staff would run it.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int code;
    QString out, err;
};

ToolRun hisdbTool(const QStringList &args)
{
    const QString bin = qEnvironmentVariable("MZPY_BIN_DIR") + QStringLiteral("/hisdb");
    QProcess p;
    p.start(bin, args);
    if (!p.waitForFinished(120000))
        return {-1, {}, QStringLiteral("did not finish: ") + bin};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(HisdbTool, CreatesSeedsInspectsAndQueries)
{
    if (!QFile::exists(qEnvironmentVariable("MZPY_BIN_DIR") + QStringLiteral("/hisdb")))
        GTEST_SKIP() << "hisdb tool not built";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.db"));
    ToolRun r = hisdbTool({QStringLiteral("create"), file});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = hisdbTool({QStringLiteral("seed"), file, QStringLiteral("--fixture")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = hisdbTool({QStringLiteral("info"), file});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression(QStringLiteral("YF_MZCF00\\s+\\t37\\n")))) << r.out.toStdString();
    // Oracle SQL through the adapter: rownum, lpad, to_char, nvl, dual
    r = hisdbTool({QStringLiteral("sql"), file,
                   QStringLiteral("select a.CFLSH0, (select lpad(CKMC00,2,'0') from bm_ckbm00 where ckbh00=a.FYCKBH and rownum=1)||"
                                  "lpad(to_char(a.FYDLXH),4,'0') PresNO from YF_CFDL00 a where a.CFLSH0 = '1000000000000014'")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("CFLSH0\tPresNO\n1000000000000014\t030008\n"));
    r = hisdbTool({QStringLiteral("sql"), file, QStringLiteral("update BM_CKBM00 set JZCKBZ = 'Y' where CKBH00 = '03'")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("1 "))) << r.out.toStdString();
    r = hisdbTool({QStringLiteral("sql"), file, QStringLiteral("select JZCKBZ from BM_CKBM00 where CKBH00 = 3")});
    EXPECT_EQ(r.out, QStringLiteral("JZCKBZ\nY\n"));
    // errors go to stderr with a non-zero exit
    r = hisdbTool({QStringLiteral("sql"), file, QStringLiteral("select nothing from NO_SUCH_TABLE")});
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_NE(hisdbTool({QStringLiteral("frobnicate"), file}).code, 0);
    EXPECT_NE(hisdbTool({QStringLiteral("info"), dir.filePath(QStringLiteral("missing.db"))}).code, 0);
}

}  // namespace
