#include "HostTestSupport.h"
#include "TestData.h"

#include <QFile>

using namespace LLObjectsCOM;

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
    EXPECT_FALSE(Server::init(dir.filePath(QStringLiteral("bad")), 7, &error));
    EXPECT_FALSE(error.isEmpty());

    // The local server answers to its usual names, a port included.
    ASSERT_TRUE(Server::init(Server::defaultLocalFolder(), 6));
    for (const char* name : {".", "(local)", "LOCALHOST", "localhost,30015", ""})
        EXPECT_EQ(Server::find(QLatin1String(name))->folder(), Server::defaultLocalFolder())
            << name;
    // Registered names, then plain folders.
    ASSERT_TRUE(Server::registerServer(QStringLiteral("Dbhost01"), six.folder(), &error))
        << error.toStdString();
    EXPECT_EQ(Server::find(QStringLiteral("dbhost01,1433"))->folder(), six.folder());
    EXPECT_EQ(Server::find(six.folder())->folder(), six.folder());
    EXPECT_FALSE(Server::find(QStringLiteral("nowhere"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nowhere")));
    EXPECT_FALSE(Server::registerServer(QStringLiteral("x"), dir.filePath(QStringLiteral("none"))));
}

TEST_F(HostWorld, SharePathsResolveToTheServersShare) {
    const Server six = makeServer(6);
    ASSERT_TRUE(Server::registerServer(QStringLiteral("dbhost"), six.folder()));
    EXPECT_EQ(Server::resolveSharePath(QStringLiteral("\\\\dbhost\\LL_SHR\\Mirrova\\Worksheets")),
              six.sharePath() + QStringLiteral("/Mirrova/Worksheets"));
    EXPECT_EQ(Server::resolveSharePath(QStringLiteral("//DBHOST,30015/ll_shr")), six.sharePath());
    EXPECT_EQ(Server::resolveSharePath(QStringLiteral("C:\\Data\\x.xml")),
              QStringLiteral("C:/Data/x.xml"));
    EXPECT_EQ(Server::resolveSharePath(QStringLiteral("\\\\unknown\\LL_SHR\\a")),
              QStringLiteral("//unknown/LL_SHR/a"));
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
    EXPECT_FALSE(six.trusts(QStringLiteral("someone-else")));
    EXPECT_FALSE(six.checkLogin(QStringLiteral("sa"), QStringLiteral("secret")));
    ASSERT_TRUE(six.setLogin(QStringLiteral("sa"), QStringLiteral("s3cr'et\"")));
    EXPECT_TRUE(six.checkLogin(QStringLiteral("SA"), QStringLiteral("s3cr'et\"")));
    EXPECT_FALSE(six.checkLogin(QStringLiteral("sa"), QStringLiteral("S3CR'ET\"")));
    EXPECT_FALSE(six.setLogin(QStringLiteral("a b"), QStringLiteral("x")));
    QFile ini(six.folder() + QStringLiteral("/server.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("s3cr")) << "passwords are never stored in clear";
}

TEST(Password, SaltedHashes) {
    Password::setIterationsForTesting(10);
    const QString a = Password::hash(QStringLiteral("lobster"));
    const QString b = Password::hash(QStringLiteral("lobster"));
    EXPECT_NE(a, b) << "every hash has its own salt";
    EXPECT_FALSE(a.contains(QStringLiteral("lobster")));
    EXPECT_TRUE(Password::verify(QStringLiteral("lobster"), a));
    EXPECT_FALSE(Password::verify(QStringLiteral("Lobster"), a));
    EXPECT_FALSE(Password::verify(QString(), a));
    for (const char* stored :
         {"", "lobster", "pbkdf2-sha256$x$y$z", "pbkdf2-sha256$10$$", "md5$1$abc$def"})
        EXPECT_FALSE(Password::verify(QStringLiteral("lobster"), QLatin1String(stored))) << stored;
    const QString unicode = Password::hash(QStringLiteral("Grüße 😀"));
    EXPECT_TRUE(Password::verify(QStringLiteral("Grüße 😀"), unicode));
}
