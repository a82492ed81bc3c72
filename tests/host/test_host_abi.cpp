// Drives the module the way a host does: the library is loaded from the
// build folder and reached only through the public headers.
#include "DLL_MZPY_KTRB.h"
#include "HisHostMessage.h"
#include "HostParamsBuilder.h"
#include "MessageSink.h"
#include "TestEnv.h"

#include <QApplication>
#include <QFile>
#include <QLibrary>
#include <gtest/gtest.h>

namespace {

struct LoadedModule {
    QLibrary lib;
    ShowDLLNormalFormProc show = nullptr;
    OperateDllNormalFormProc operate = nullptr;

    bool load()
    {
        lib.setFileName(qEnvironmentVariable("MZPY_BIN_DIR") + QStringLiteral("/DLL_MZPY_KTRB.so"));
        if (!lib.load())
            return false;
        show = reinterpret_cast<ShowDLLNormalFormProc>(lib.resolve("ShowDLLNormalForm"));
        operate = reinterpret_cast<OperateDllNormalFormProc>(lib.resolve("OperateDllNormalForm"));
        return show && operate;
    }
};

class HostAbi : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("MZPY_HOST_DIR", env.hostDir().toUtf8());
        qputenv("MZPY_PROMPTS_FILE", (env.hostDir() + "prompts.txt").toUtf8());
        ASSERT_TRUE(module.load()) << module.lib.errorString().toStdString();
    }
    void TearDown() override
    {
        module.operate(0, 2, "");  // close all before the next test
    }
    QString prompts() const { return QString::fromUtf8(env.readFile(QStringLiteral("prompts.txt"))); }

    TestEnv env;
    LoadedModule module;
    HostParamsBuilder host;
};

TEST_F(HostAbi, VersionReplyIsExactAndCountsBytesWithoutTheZero)
{
    MessageSink sink;
    module.operate(0, 8, "abc");
    module.operate(0, 0x108, "x");   // only the lowest byte counts
    module.operate(0, 3, "ignored"); // other operations do nothing
    ASSERT_EQ(sink.messages.size(), 2);
    const QString expected = QStringLiteral(
        "GETDLLFILEVERSION@<DllDBVerNo>CSBB</DllDBVerNo><DllFileVerNo></DllFileVerNo>"
        "<DllFileSysId>R</DllFileSysId><DllOperateParm>abc</DllOperateParm>");
    EXPECT_EQ(sink.messages[0], expected);
    EXPECT_TRUE(sink.messages[1].endsWith(QStringLiteral("<DllOperateParm>x</DllOperateParm>")));
    const HisCopyData &cd = sink.records[0];
    EXPECT_EQ(cd.cbData, uint32_t(expected.size()));
    EXPECT_EQ(cd.dwData, uintptr_t(expected.size()));
}

TEST_F(HostAbi, WithoutAMainWindowNothingIsSentAndNothingFails)
{
    module.operate(0, 8, "abc");
    EXPECT_EQ(module.show(qApp, nullptr, env.db(), "ACT_PY_UNKNOWN", "", host.params()), 0);
}

TEST_F(HostAbi, UnknownActionInAnyCaseIsReportedAndThePageClosed)
{
    MessageSink sink;
    QWidget page;
    EXPECT_EQ(module.show(qApp, &page, env.db(), "act_py_unknown", "hint", host.params()), 0);
    ASSERT_FALSE(sink.messages.isEmpty());
    EXPECT_EQ(sink.messages.last(), QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@DLL_MZPY_KTRB.so,None,act_py_unknown"));
    EXPECT_TRUE(prompts().contains(QStringLiteral("DLL_MZPY_KTRB.so找不到菜单对应的功能模块"))) << prompts().toStdString();
}

TEST_F(HostAbi, MissingDatabaseHandleClosesThePageWithTheDataModuleError)
{
    MessageSink sink;
    QWidget page;
    EXPECT_EQ(module.show(qApp, &page, nullptr, "ACT_PY_MZPYXT", "", host.params()), 0);
    EXPECT_TRUE(prompts().contains(QStringLiteral("◆ 创建DLL的数据模块出错!")));
    ASSERT_FALSE(sink.messages.isEmpty());
    EXPECT_EQ(sink.messages.last(), QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@DLL_MZPY_KTRB.so,None,ACT_PY_MZPYXT"));
}

TEST_F(HostAbi, RecordWithNullMembersAndEmptyTablesIsHarmless)
{
    HisHostParams empty{};
    HisHostParamSet emptySet{};
    MessageSink sink;
    EXPECT_EQ(module.show(qApp, nullptr, env.db(), "ACT_PY_NONE", nullptr, &empty), 0);
    module.operate(0, 2, "");
    empty.paramSet = &emptySet;
    EXPECT_EQ(module.show(qApp, nullptr, env.db(), nullptr, nullptr, &empty), 0);
    module.operate(0, 2, "");
    EXPECT_EQ(module.show(qApp, nullptr, env.db(), "X", "", nullptr), 0);
    EXPECT_EQ(sink.messages.filter(QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@")).size(), 3);
}

TEST_F(HostAbi, CloseAllThenStartAgainAndUnload)
{
    MessageSink sink;
    EXPECT_EQ(module.show(qApp, nullptr, env.db(), "ACT_PY_NONE", "", host.params()), 0);
    module.operate(0, 2, "");
    module.operate(12345, 2, "");  // a handle of no form: nothing
    EXPECT_EQ(module.show(qApp, nullptr, env.db(), "ACT_PY_NONE", "", host.params()), 0);
    module.operate(0, 2, "");
    EXPECT_EQ(sink.messages.filter(QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@")).size(), 2);
    EXPECT_TRUE(module.lib.unload());
    ASSERT_TRUE(module.load());
    module.operate(0, 8, "again");
    EXPECT_TRUE(sink.messages.last().endsWith(QStringLiteral("<DllOperateParm>again</DllOperateParm>")));
}

}  // namespace
