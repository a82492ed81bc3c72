#include "CommonFixture.h"

#include <QCoreApplication>

using namespace mzpy;

TEST(Codec, GbkBothWays)
{
    EXPECT_EQ(toGbk(QStringLiteral("药房A")), QByteArray("\xD2\xA9\xB7\xBF" "A"));
    EXPECT_EQ(fromGbk(QByteArray("\xD2\xA9\xB7\xBF" "A")), QStringLiteral("药房A"));
    EXPECT_EQ(fromGbk(static_cast<const char *>(nullptr)), QString());
    EXPECT_EQ(fromGbk("\xB7\xA2\xD2\xA9"), QStringLiteral("发药"));
    const QString mixed = QStringLiteral("门诊配药 Log\\20240305 ！*");
    EXPECT_EQ(fromGbk(toGbk(mixed)), mixed);
}

TEST(Env, HostDirPrecedence)
{
    const QByteArray saved = qgetenv("MZPY_HOST_DIR");
    setHostDir(QString());
    qunsetenv("MZPY_HOST_DIR");
    EXPECT_EQ(hostDir(), QCoreApplication::applicationDirPath() + "/");
    qputenv("MZPY_HOST_DIR", "/tmp/host-a");
    EXPECT_EQ(hostDir(), "/tmp/host-a/");
    setHostDir("/tmp/host-b/");
    EXPECT_EQ(hostDir(), "/tmp/host-b/");
    setHostDir("/tmp/host-c");
    EXPECT_EQ(hostDir(), "/tmp/host-c/");
    setHostDir(QString());
    EXPECT_EQ(hostDir(), "/tmp/host-a/");
    if (saved.isNull())
        qunsetenv("MZPY_HOST_DIR");
    else
        qputenv("MZPY_HOST_DIR", saved);
}

TEST(Env, ClockCanBeFixed)
{
    const QDateTime fixed(QDate(2024, 3, 5), QTime(23, 59, 59, 999));
    setClock([fixed] { return fixed; });
    EXPECT_EQ(now(), fixed);
    setClock({});
    EXPECT_LT(qAbs(now().secsTo(QDateTime::currentDateTime())), 60);
}

class FindFileTest : public CommonFixture {};

TEST_F(FindFileTest, IgnoresLetterCase)
{
    writeBytes("LocalSet.INI", "x");
    EXPECT_EQ(findFileNoCase(tmp.path(), "localset.ini"), path("LocalSet.INI"));
    EXPECT_EQ(findFileNoCase(tmp.path() + "/", "LOCALSET.ini"), path("LocalSet.INI"));
    EXPECT_EQ(findFileNoCase(tmp.path(), "Login.ini"), path("Login.ini"));  // none: folder + name
}
