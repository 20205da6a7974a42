#include "HostTestSupport.h"
#include "TestData.h"

#include <QFile>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

TEST_F(HostWorld, ServerFoldersAndTheirNames) {
    const Server six = makeServer(6);
    EXPECT_EQ(six.type(), 6);
    EXPECT_TRUE(six.caseInsensitive());
    EXPECT_TRUE(QDir(six.sharePath()).exists());
    EXPECT_TRUE(QDir(six.backupsPath()).exists());
    EXPECT_FALSE(Server::init(six.folder(), 6)) << "a server folder is never made twice";
    EXPECT_FALSE(makeServer(5).caseInsensitive());
    EXPECT_FALSE(makeServer(2).caseInsensitive());
    QString error;
    EXPECT_FALSE(Server::init(dir.filePath(u"bad"_s), 7, &error));
    EXPECT_FALSE(error.isEmpty());

    // The local server answers to its usual names, a port included.
    ASSERT_TRUE(Server::init(Server::defaultLocalFolder(), 6));
    for (const char* name : {".", "(local)", "LOCALHOST", "localhost,30015", ""})
        EXPECT_EQ(Server::find(QLatin1String(name))->folder(), Server::defaultLocalFolder())
            << name;
    // Registered names, then plain folders.
    ASSERT_TRUE(Server::registerServer(u"Dbhost01"_s, six.folder(), &error)) << error.toStdString();
    EXPECT_EQ(Server::find(u"dbhost01,1433"_s)->folder(), six.folder());
    EXPECT_EQ(Server::find(six.folder())->folder(), six.folder());
    EXPECT_FALSE(Server::find(u"nowhere"_s, &error));
    EXPECT_TRUE(error.contains(u"nowhere"_s));
    EXPECT_FALSE(Server::registerServer(u"x"_s, dir.filePath(u"none"_s)));
}

TEST_F(HostWorld, SharePathsResolveToTheServersShare) {
    const Server six = makeServer(6);
    ASSERT_TRUE(Server::registerServer(u"dbhost"_s, six.folder()));
    EXPECT_EQ(Server::resolveSharePath(u"\\\\dbhost\\LL_SHR\\Mirrova\\Worksheets"_s),
              six.sharePath() + u"/Mirrova/Worksheets"_s);
    EXPECT_EQ(Server::resolveSharePath(u"//DBHOST,30015/ll_shr"_s), six.sharePath());
    EXPECT_EQ(Server::resolveSharePath(u"C:\\Data\\x.xml"_s), u"C:/Data/x.xml"_s);
    EXPECT_EQ(Server::resolveSharePath(u"\\\\unknown\\LL_SHR\\a"_s), u"//unknown/LL_SHR/a"_s);
}

TEST_F(HostWorld, DatabaseNamesArePlainFileNames) {
    for (const char* good : {"DEMO_US", "LED-2", "Company 1", "a.b"})
        EXPECT_TRUE(Server::isValidDatabaseName(QLatin1String(good))) << good;
    for (const char* bad : {"", "../x", "a/b", "a\\b", ".hidden", " lead", "trail ", "msdb", "MSDB",
                            "x'y", "a;b", "name.", "[@MRVSETT]"})
        EXPECT_FALSE(Server::isValidDatabaseName(QLatin1String(bad))) << bad;
    EXPECT_FALSE(Server::isValidDatabaseName(QString(101, u'x')));
}

TEST_F(HostWorld, DatabaseLoginsAndTrust) {
    Server six = makeServer(6);
    EXPECT_TRUE(six.trusts(Server::currentOsUser()));
    EXPECT_FALSE(six.trusts(u"someone-else"_s));
    EXPECT_FALSE(six.checkLogin(u"sa"_s, u"secret"_s));
    ASSERT_TRUE(six.setLogin(u"sa"_s, u"s3cr'et\""_s));
    EXPECT_TRUE(six.checkLogin(u"SA"_s, u"s3cr'et\""_s));
    EXPECT_FALSE(six.checkLogin(u"sa"_s, u"S3CR'ET\""_s));
    EXPECT_FALSE(six.setLogin(u"a b"_s, u"x"_s));
    QFile ini(six.folder() + u"/server.ini"_s);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("s3cr")) << "passwords are never stored in clear";
}

TEST(Password, SaltedHashes) {
    Password::setIterationsForTesting(10);
    const QString a = Password::hash(u"lobster"_s);
    const QString b = Password::hash(u"lobster"_s);
    EXPECT_NE(a, b) << "every hash has its own salt";
    EXPECT_FALSE(a.contains(u"lobster"_s));
    EXPECT_TRUE(Password::verify(u"lobster"_s, a));
    EXPECT_FALSE(Password::verify(u"Lobster"_s, a));
    EXPECT_FALSE(Password::verify(QString(), a));
    for (const char* stored :
         {"", "lobster", "pbkdf2-sha256$x$y$z", "pbkdf2-sha256$10$$", "md5$1$abc$def"})
        EXPECT_FALSE(Password::verify(u"lobster"_s, QLatin1String(stored))) << stored;
    const QString unicode = Password::hash(u"Grüße 😀"_s);
    EXPECT_TRUE(Password::verify(u"Grüße 😀"_s, unicode));
}
