#include "CommonFixture.h"

#include "common/Log.h"

using namespace mzpy;

class LogTest : public CommonFixture {};

TEST_F(LogTest, WriteLogAppendsGbkLinesToTheDayFile)
{
    WriteLog(QStringLiteral("开始配药"));
    clockAt = clockAt.addMSecs(1000);
    WriteLog(QStringLiteral("second"));
    EXPECT_EQ(readBytes("Log/20240305.log"),
              toGbk(QStringLiteral("/*09:05:03:045 */  开始配药\r\n/*09:05:04:045 */  second\r\n")));

    clockAt = QDateTime(QDate(2024, 3, 6), QTime(0, 0, 0, 1));
    WriteLog("next day");
    EXPECT_EQ(readBytes("Log/20240306.log"), QByteArray("/*00:00:00:001 */  next day\r\n"));
    EXPECT_TRUE(recorder->entries.isEmpty());
}

TEST_F(LogTest, NamedLogUsesItsFolderUnderTheHostFolder)
{
    WriteNamedLog(QStringLiteral("推送的JSON串:{}"), QStringLiteral("药品核销接口"));
    EXPECT_EQ(readBytes(QStringLiteral("药品核销接口/20240305.log")),
              toGbk(QStringLiteral("/*09:05:03:045 */  推送的JSON串:{}\r\n")));
    WriteNamedLog("plain", QString());
    EXPECT_EQ(readBytes("Log/20240305.log"), QByteArray("/*09:05:03:045 */  plain\r\n"));
}

TEST_F(LogTest, InterfaceLogGoesToTheMonthFolderWhateverTheTrailingSeparator)
{
    const char *folders[] = {"BYJJK\\", "BYJJK", "BYJJK/"};
    for (const char *folder : folders)
        WriteInterfaceLog(QString::fromLatin1(folder), QString::fromLatin1(folder));
    EXPECT_EQ(readBytes("Log/BYJJK/202403/20240305.log"),
              QByteArray("09:05:03:045  BYJJK\\\r\n09:05:03:045  BYJJK\r\n09:05:03:045  BYJJK/\r\n"));
    EXPECT_FALSE(QDir(path("Log/BYJJK\\")).exists());

    WriteInterfaceLog(QStringLiteral("门诊处方打印日志"), QStringLiteral("处方号:1"));
    EXPECT_EQ(readBytes(QStringLiteral("Log/门诊处方打印日志/202403/20240305.log")),
              toGbk(QStringLiteral("09:05:03:045  处方号:1\r\n")));
}

TEST_F(LogTest, FailureShowsAPromptAndTheCallerGoesOn)
{
    // A plain file where the Log folder should be: no folder can be made.
    writeBytes("Log", "not a folder");
    WriteLog("a");
    WriteNamedLog("b", "Log");
    WriteInterfaceLog("CAlog", "c");
    EXPECT_EQ(recorder->texts(),
              QStringList({QStringLiteral("写入日志错误"), QStringLiteral("写入日志错误"),
                           QStringLiteral("写入日志信息错误")}));
    EXPECT_EQ(recorder->entries.at(0).buttons, btOk);
    EXPECT_EQ(recorder->entries.at(0).icon, icNone);
}
