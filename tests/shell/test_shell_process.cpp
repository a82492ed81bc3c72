// The built shell run as a process, unattended and offscreen, with the real
// module: what a reviewer's command line gets.
#include "hisdb/hisdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString kVersionReply = QStringLiteral(
    "GETDLLFILEVERSION@<DllDBVerNo>CSBB</DllDBVerNo><DllFileVerNo></DllFileVerNo><DllFileSysId>R</DllFileSysId>"
    "<DllOperateParm>abc</DllOperateParm>");

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList fileLines(const QString &path)
{
    return QString::fromUtf8(fileBytes(path)).split('\n', Qt::SkipEmptyParts);
}

std::string text(const QStringList &lines) { return lines.join('\n').toStdString(); }

struct ShellRun {
    int exitCode = -1;
    bool crashed = false;
    QString stderrText;
};

class ShellProcessTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Runs the shell with --db, --config and --host-dir in the test folder
    // (unless given) and --quit.
    ShellRun run(QStringList args)
    {
        if (!args.contains(QStringLiteral("--db")))
            args << QStringLiteral("--db") << path(QStringLiteral("hospital.db"));
        if (!args.contains(QStringLiteral("--config")))
            args << QStringLiteral("--config") << path(QStringLiteral("shell.ini"));
        args << QStringLiteral("--host-dir") << path(QStringLiteral("host")) << QStringLiteral("--quit");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("MZPY_HOST_DIR"));
        env.remove(QStringLiteral("MZPY_PROMPTS_FILE"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir.path());
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/shell"), args);
        ShellRun result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "shell did not finish";
        }
        result.crashed = process.exitStatus() != QProcess::NormalExit;
        result.exitCode = process.exitCode();
        result.stderrText = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir m_dir;
};

TEST_F(ShellProcessTest, UnknownActionPromptsAndAsksToCloseItsPage)
{
    const ShellRun r = run({"--action", "act_py_unknown", "--messages", path("m.txt"), "--prompts", path("p.txt")});
    ASSERT_FALSE(r.crashed) << r.stderrText.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.stderrText.toStdString();
    // The first message answers the action; the ones after it come from the
    // close-all when the shell exits.
    const QStringList lines = fileLines(path("m.txt"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first().toStdString(), "CLOSEMAINFORMACTIVEPAGEEX@DLL_MZPY_KTRB.so,None,act_py_unknown");
    EXPECT_EQ(lines.filter(QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@")).size(), 1) << text(lines);
    const QString prompts = QString::fromUtf8(fileBytes(path("p.txt")));
    EXPECT_TRUE(prompts.contains(QStringLiteral("DLL_MZPY_KTRB.so找不到菜单对应的功能模块")))
        << prompts.toStdString();
}

TEST_F(ShellProcessTest, VersionOperationRepliesExactly)
{
    const ShellRun r = run({"--operate", "0,8,abc", "--messages", path("m.txt")});
    ASSERT_FALSE(r.crashed) << r.stderrText.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.stderrText.toStdString();
    EXPECT_EQ(text(fileLines(path("m.txt"))), kVersionReply.toStdString());
}

TEST_F(ShellProcessTest, FirstStartWritesTheExampleConfigAndCreatesTheDatabase)
{
    const ShellRun first = run({"--operate", "0,8,abc", "--messages", path("m.txt")});
    ASSERT_FALSE(first.crashed) << first.stderrText.toStdString();
    EXPECT_EQ(first.exitCode, 0) << first.stderrText.toStdString();
    EXPECT_TRUE(first.stderrText.contains(QStringLiteral("已写入示例配置"))) << first.stderrText.toStdString();

    const QByteArray config = fileBytes(path("shell.ini"));
    EXPECT_TRUE(config.startsWith(';'));
    EXPECT_TRUE(config.contains("[SysParams1]"));

    QString error;
    hisdb::OpenOptions options;
    options.create = false;
    options.ensureSchema = false;
    sqlite3 *db = hisdb::open(path("hospital.db"), &error, options);
    ASSERT_NE(db, nullptr) << error.toStdString();
    EXPECT_TRUE(hisdb::hasSchema(db));
    hisdb::close(db);

    // The second start reads the written example without a complaint and
    // leaves it as it is.
    const ShellRun second = run({"--operate", "0,8,abc", "--messages", path("m.txt")});
    EXPECT_EQ(second.exitCode, 0) << second.stderrText.toStdString();
    EXPECT_FALSE(second.stderrText.contains(QStringLiteral("错误"))) << second.stderrText.toStdString();
    EXPECT_FALSE(second.stderrText.contains(QStringLiteral("示例配置"))) << second.stderrText.toStdString();
    EXPECT_EQ(fileBytes(path("shell.ini")), config);
    EXPECT_EQ(text(fileLines(path("m.txt"))), text({kVersionReply, kVersionReply}));
}

TEST_F(ShellProcessTest, MalformedConfigIsReportedAndLeftAlone)
{
    const QByteArray bad = QByteArray("[Operator\nId=x\nnot a line\n[Login/PRINTER]\nPRINTMODE=V\n") + QByteArray(1, '\xff');
    {
        QFile f(path("bad.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bad);
    }
    const ShellRun r = run({"--config", path("bad.ini"), "--action", "ACT_PY_MZPYXT", "--operate", "0,8,abc",
                       "--messages", path("m.txt"), "--prompts", path("p.txt")});
    ASSERT_FALSE(r.crashed) << r.stderrText.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.stderrText.toStdString();
    EXPECT_TRUE(r.stderrText.contains(path("bad.ini") + QStringLiteral(":1:"))) << r.stderrText.toStdString();
    EXPECT_TRUE(r.stderrText.contains(path("bad.ini") + QStringLiteral(":3:"))) << r.stderrText.toStdString();
    EXPECT_EQ(fileBytes(path("bad.ini")), bad);
    EXPECT_TRUE(fileLines(path("m.txt")).contains(kVersionReply)) << text(fileLines(path("m.txt")));
}

TEST_F(ShellProcessTest, DatabaseWithoutTheSchemaIsReportedAndLeftAlone)
{
    const QString dbPath = path("other.db");
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(dbPath.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "create table T(a)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    const QByteArray before = fileBytes(dbPath);
    const ShellRun r = run({"--db", dbPath, "--action", "ACT_PY_MZPYXT", "--operate", "0,8,abc", "--messages",
                       path("m.txt")});
    ASSERT_FALSE(r.crashed) << r.stderrText.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.stderrText.toStdString();
    EXPECT_TRUE(r.stderrText.contains(QStringLiteral("没有医院数据库结构"))) << r.stderrText.toStdString();
    EXPECT_TRUE(r.stderrText.contains(QStringLiteral("没有可用的医院数据库，不能打开 ACT_PY_MZPYXT")))
        << r.stderrText.toStdString();
    EXPECT_EQ(fileBytes(dbPath), before);
    // The module is still there for what needs no database.
    EXPECT_EQ(text(fileLines(path("m.txt"))), kVersionReply.toStdString());
}

TEST_F(ShellProcessTest, ScreenshotOfTheMainWindowIsWritten)
{
    const ShellRun r = run({"--screenshot", path("shots/main.png")});
    ASSERT_FALSE(r.crashed) << r.stderrText.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.stderrText.toStdString();
    const QImage image(path("shots/main.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 470);
}

TEST_F(ShellProcessTest, BadCommandLineEndsWithAMessage)
{
    const ShellRun r = run({"--operate", "zero,8,abc"});
    ASSERT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.stderrText.contains(QStringLiteral("--operate zero,8,abc"))) << r.stderrText.toStdString();
}

}  // namespace
