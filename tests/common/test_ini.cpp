#include "CommonFixture.h"

#include "common/Ini.h"

using namespace mzpy;

class IniTest : public CommonFixture {};

namespace {

// Parts a real Login.ini has: text before any section, comments, blank lines,
// lines without '=', GBK values, a byte that is no GBK text at all.
QByteArray sampleFile()
{
    return "stray line\r\n"
           "; " + toGbk(QStringLiteral("门诊配药")) + "\r\n"
           "[Other]\r\n"
           "CKBH_PY=99\r\n"
           "\r\n"
           "[mzpy]\r\n"
           "ckbh_py = 12 \r\n"
           "CKBH_FY=\r\n"
           "Print_MR=\"" + toGbk(QStringLiteral("默认打印机")) + "\"\r\n"
           "no equals sign\r\n"
           "=nokey\r\n"
           "CKBH_PY=13\r\n"
           "Odd=\x81\xff\r\n"
           "\r\n"
           "[LAST]\r\n"
           "K=v\r\n";
}

}  // namespace

TEST_F(IniTest, ReadMatchesNamesIgnoringCase)
{
    writeBytes("login.ini", sampleFile());
    const QString file = path("LOGIN.INI");  // any spelling reaches login.ini
    const struct {
        const char *section;
        const char *key;
        const char *expected;
    } cases[] = {
        {"MZPY", "CKBH_PY", "12"},     // first entry wins, blanks trimmed
        {"Other", "ckbh_py", "99"},
        {"MZPY", "CKBH_FY", ""},       // present but empty: not the default
        {"MZPY", "MISSING", "dflt"},
        {"NOSECTION", "CKBH_PY", "dflt"},
        {"last", "k", "v"},
        {"MZPY", "", "dflt"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReadIniValue(file, c.section, c.key, "dflt"), QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    EXPECT_EQ(ReadIniValue(file, "MZPY", "Print_MR", ""), QStringLiteral("默认打印机"));  // quotes dropped
    EXPECT_EQ(LoginIniPath(), path("login.ini"));
    EXPECT_EQ(ReadLoginIniValue(QString(), "MzPy", "ckbh_py", ""), "12");
}

TEST_F(IniTest, MissingFileReadsEmptyAndIsNeverCreated)
{
    EXPECT_EQ(ReadIniValue(path("Login.ini"), "MZPY", "JYDY_SXMS", "3"), QString());
    EXPECT_EQ(ReadLoginIniValue(QString(), "MZPY", "JYDY_SXMS", "3"), QString());
    WriteLoginIni("MZPY", "CKBH_PY", "1");
    WriteIniValue(path("LocalSet.ini"), "A", "B", "C");
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(LoginIniPath(), path("Login.ini"));
}

TEST_F(IniTest, WritingOneKeyKeepsEveryOtherLineByteForByte)
{
    writeBytes("login.ini", sampleFile());
    WriteLoginIni("MZPY", "CKBH_PY", QStringLiteral("7"));
    QByteArray expected = sampleFile();
    expected.replace("ckbh_py = 12 \r\n", "ckbh_py =7\r\n");
    EXPECT_EQ(readBytes("login.ini"), expected);
    EXPECT_FALSE(QFile::exists(path("Login.ini")) && !QFile::exists(path("login.ini")));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList({"login.ini"}));

    // A new key goes to the end of its section, before the blank line.
    WriteIniValue(path("Login.ini"), "mzpy", "Print_CFBQ", QStringLiteral("标签机"));
    expected.replace("Odd=\x81\xff\r\n", "Odd=\x81\xff\r\nPrint_CFBQ=" + toGbk(QStringLiteral("标签机")) + "\r\n");
    EXPECT_EQ(readBytes("login.ini"), expected);
    EXPECT_EQ(ReadIniValue(path("login.ini"), "MZPY", "print_cfbq", ""), QStringLiteral("标签机"));

    // A new section is added at the end.
    WriteLoginIni("NEW", "A", "1\r\nB=2");
    expected += "\r\n[NEW]\r\nA=1 B=2\r\n";
    EXPECT_EQ(readBytes("login.ini"), expected);
    EXPECT_EQ(ReadLoginIniValue(QString(), "NEW", "B", "none"), "none");
}

TEST_F(IniTest, OddFilesDoNotBreakReadsOrWrites)
{
    const QByteArray files[] = {
        QByteArray(),                      // empty
        "\n\n\n",                          // blank lines only
        "[MZPY",                           // unterminated header
        "A=1\nB=2",                        // no section at all, no final line end
        "[MZPY]\nCKBH_PY",                 // key without '='
        QByteArray("\xEF\xBB\xBF[MZPY]\nCKBH_PY=5\n"),  // byte order mark
    };
    for (const QByteArray &content : files) {
        writeBytes("Login.ini", content);
        const QString before = ReadLoginIniValue(QString(), "MZPY", "CKBH_PY", "d");
        WriteLoginIni("MZPY", "CKBH_PY", "8");
        EXPECT_EQ(ReadLoginIniValue(QString(), "MZPY", "CKBH_PY", "d"), "8") << content.toStdString();
        if (content.contains("CKBH_PY=5"))
            EXPECT_EQ(before, "5");
        else
            EXPECT_EQ(before, "d") << content.toStdString();
    }
    // Unix line ends stay Unix line ends.
    writeBytes("Login.ini", "[MZPY]\nCKBH_PY=1\nX=2\n");
    WriteLoginIni("MZPY", "CKBH_PY", "3");
    EXPECT_EQ(readBytes("Login.ini"), QByteArray("[MZPY]\nCKBH_PY=3\nX=2\n"));
}
