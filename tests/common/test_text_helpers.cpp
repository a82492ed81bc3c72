#include "CommonFixture.h"

#include "common/TextHelpers.h"

using namespace mzpy;

namespace {

struct SplitCase {
    const char *text;
    const char *sep;
    int n;
    const char *whole;
    const char *expected;
};

}  // namespace

TEST(TextHelpers, SplitFieldFields)
{
    const SplitCase cases[] = {
        {"a;b", ";", 1, "", "a"},
        {"a;b", ";", 2, "", "b"},
        {"a;b", ";", 5, "", ""},          // fewer fields than n: empty
        {" a;b; ", ";", 2, "", "b"},      // trimmed, closing separator not doubled
        {"a;b;", ";", 3, "", ""},
        {"a;;b", ";", 2, "", ""},
        {"a;;b", ";", 3, "", "b"},
        {"a||b||c", "||", 3, "", "c"},    // separators longer than one character
        {"a|b||c", "||", 1, "", "a|b"},
        {"abc", ";", 1, "", "abc"},
        {"abc", ";", 3, "", ""},
        {"abc", ";", 3, "1", "abc"},      // whole: no separator gives the text for every n
        {" abc ", ";", 1, "1", "abc"},
        {"a;b", ";", 3, "1", ""},         // whole only matters without a separator
        {"", ";", 1, "", ""},
        {"a;b", ";", 0, "", ""},
    };
    for (const SplitCase &c : cases) {
        EXPECT_EQ(SplitField(QString::fromUtf8(c.text), QString::fromUtf8(c.sep), c.n,
                             QString::fromUtf8(c.whole)),
                  QString::fromUtf8(c.expected))
            << c.text << " sep " << c.sep << " n " << c.n << " whole " << c.whole;
    }
}

TEST(TextHelpers, SplitCharFallsBackToLastField)
{
    const struct {
        const char *text;
        int n;
        const char *expected;
    } cases[] = {
        {"a;b", 1, "a"},
        {"a;b", 5, "b"},   // beyond the fields: the last one
        {"a;b;", 3, "b"},
        {"0", 2, "0"},     // no separator: the same text for every n
        {"a;b", 0, ""},
        {"a;b", -1, ""},
        {"", 2, ""},
        {" x ;y ", 1, "x "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitChar(QString::fromUtf8(c.text), QLatin1Char(';'), c.n), QString::fromUtf8(c.expected))
            << c.text << " n " << c.n;
}

TEST(TextHelpers, IsDigitsAndToFloat)
{
    EXPECT_TRUE(IsDigits("0"));
    EXPECT_TRUE(IsDigits("007"));
    for (const char *bad : {"", " 12", "12 ", "12a", "-1", "1.0", "１２"})
        EXPECT_FALSE(IsDigits(QString::fromUtf8(bad))) << bad;

    const struct {
        const char *text;
        double expected;
    } floats[] = {{" 12.5 ", 12.5}, {"-3", -3}, {"", 0}, {"abc", 0}, {"1,5", 0}, {"12a", 0},
                  {"nan", 0},      {"inf", 0}, {"1e2", 100}};
    for (const auto &c : floats)
        EXPECT_DOUBLE_EQ(ToFloatOrZero(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(TextHelpers, DateText)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(9, 7, 8, 45));
    const struct {
        const char *format;
        const char *expected;
    } cases[] = {
        {"", "20240305"},
        {"YYYYMMDD", "20240305"},
        {"yyyy-mm-dd", "2024-03-05"},
        {"YYYY-MM-DD HH:MM:SS", "2024-03-05 09:07:08"},  // MM right after HH is minutes
        {"yyyy-MM-dd HH:mm:ss", "2024-03-05 09:07:08"},
        {"hh:nn:ss:zzz", "09:07:08:045"},
        {"yyyy/mm/dd", "2024-03-05"},                    // '/' is the date separator "-"
        {"yymmdd", "240305"},
        {"yyyy\"年\"m\"月\"d\"日\"", "2024年3月5日"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DateText(at, QString::fromUtf8(c.format)), QString::fromUtf8(c.expected)) << c.format;
    EXPECT_EQ(DateText(QDateTime(), QString()), QString());
}

TEST(TextHelpers, RangeDateTextPicksEarlierOrLater)
{
    const QDate early(2024, 2, 28), late(2024, 3, 1);
    EXPECT_EQ(RangeDateText(late, early, 0), "20240228");
    EXPECT_EQ(RangeDateText(late, early, 1), "20240301");
    EXPECT_EQ(RangeDateText(early, late, 0), "20240228");
    EXPECT_EQ(RangeDateText(early, late, 1), "20240301");
}

TEST(TextHelpers, TextBetweenAndReplaceAll)
{
    EXPECT_EQ(TextBetween("<a>x</a><a>y</a>", "<a>", "</a>"), "x");
    EXPECT_EQ(TextBetween("no start</a>", "<a>", "</a>"), "");
    EXPECT_EQ(TextBetween("<a>no end", "<a>", "</a>"), "");
    EXPECT_EQ(TextBetween("</a> <a>y</a>", "<a>", "</a>"), "y");  // end mark searched after the start
    EXPECT_EQ(TextBetween("<a></a>", "<a>", "</a>"), "");

    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");  // inserted text is not scanned again
    EXPECT_EQ(ReplaceAll("abcabc", "bc", "b"), "abab");
    EXPECT_EQ(ReplaceAll("x'y'", "'", "''"), "x''y''");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
    EXPECT_EQ(ReplaceAll("xx", "x", ""), "");
}

TEST(TextHelpers, IdNumber18)
{
    EXPECT_EQ(IdNumber18("110105491231002"), "11010519491231002x");  // lower-case x
    EXPECT_EQ(IdNumber18("320105800101001"), "320105198001010015");
    EXPECT_EQ(IdNumber18("440301750312123"), "440301197503121231");
    for (const char *bad : {"", "11010549123100", "1101054912310021", "11010549123100a", " 110105491231002"})
        EXPECT_EQ(IdNumber18(QString::fromUtf8(bad)), QString()) << bad;
}

TEST(TextHelpers, QuotedSqlDoublesApostrophes)
{
    EXPECT_EQ(QuotedSql("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuotedSql(""), "''");
    EXPECT_EQ(QuotedSql("'; drop table x --"), "'''; drop table x --'");
}

TEST(TextHelpers, InCommaList)
{
    const struct {
        const char *list;
        const char *value;
        bool expected;
    } cases[] = {
        {"1,2,3", "2", true},   {"12,3", "2", false},  {"1,23", "2", false}, {"10", "1", false},
        {"007,8", "7", true},   {"7", "007", true},    {"0", "000", true},   {"1, 2 ,3", "2", true},
        {"", "", false},        {"1,,2", "", false},   {"", "1", false},     {"A01,B02", "B02", true},
        {"A01,B02", "b02", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InCommaList(QString::fromUtf8(c.list), QString::fromUtf8(c.value)), c.expected)
            << c.list << " / " << c.value;
}

class SaveTextTest : public CommonFixture {};

TEST_F(SaveTextTest, ReplacesTheFileWithOneGbkLine)
{
    writeBytes("MZPYInPutFile.txt", QByteArray(2000, 'z'));
    ASSERT_TRUE(SaveTextAsFile(QStringLiteral("请张三到3号窗口取药"), path("MZPYInPutFile.txt")));
    EXPECT_EQ(readBytes("MZPYInPutFile.txt"), toGbk(QStringLiteral("请张三到3号窗口取药")) + "\r\n");
    EXPECT_FALSE(SaveTextAsFile("x", path("no/such/folder/f.txt")));
}
