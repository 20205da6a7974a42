#include "HostTestSupport.h"
#include "TestData.h"

#include <QFile>

using namespace LLObjectsCOM;

TEST_F(HostWorld, AdminCreatesAServerACompanyAndQueriesIt) {
    const QString s = dir.filePath(QStringLiteral("S"));
    CliResult r = admin(words("server init") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("company create")
              << QStringLiteral("Demo US") << words("--db DEMO_US --server") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("company list --server") << s);
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("DEMO_US")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Demo US")));
    EXPECT_TRUE(r.out.contains(QString::number(Admin::DefaultVersion)));

    r = admin(words("sql DEMO_US") << QStringLiteral("SELECT USER_CODE, SUPERUSER FROM OUSR")
                                   << QStringLiteral("--server") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].simplified(), QStringLiteral("USER_CODE SUPERUSER"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("lobster Y"));

    r = admin(words("sql DEMO_US --xml")
              << QStringLiteral("SELECT USER_CODE FROM OUSR") << QStringLiteral("--server=") + s);
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                              "<row><USER_CODE>lobster</USER_CODE></row>"));

    // Passwords come from the environment or from a file of the owner's.
    qputenv("LEDGERLINE_PASSWORD", "m");
    r = admin(words("user add DEMO_US manager --superuser --server") << s);
    qunsetenv("LEDGERLINE_PASSWORD");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString secret = dir.filePath(QStringLiteral("secret"));
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("new\r\nnot this\n");
    }
    const QStringList passwd = words("user passwd DEMO_US lobster --password-file")
                               << secret << QStringLiteral("--server") << s;
    for (const QFileDevice::Permissions open :
         {QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
          QFileDevice::ReadOwner | QFileDevice::ReadOther}) {
        ASSERT_TRUE(QFile::setPermissions(secret, open));
        r = admin(passwd);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("may be read or written by others")))
            << r.err.toStdString();
    }
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    r = admin(passwd);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("server init") << dir.filePath(QStringLiteral("L"))
                                   << words("--login sa --password-file") << secret);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    Company company;
    logOn(company, s, QStringLiteral("DEMO_US"));
    EXPECT_EQ(company.Connect(), errWrongUserOrPassword);
    company.Password = QStringLiteral("new");
    EXPECT_EQ(company.Connect(), 0);
    company.Disconnect();
    r = admin(words("user list DEMO_US --server") << s);
    EXPECT_TRUE(r.out.contains(QStringLiteral("manager")));

    r = admin(words("backup DEMO_US --server") << s);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("company drop DEMO_US --server") << s);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(Admin::companies(*Server::open(s)).isEmpty());
}

TEST_F(HostWorld, AdminErrorsAreOneLineAndNonZero) {
    const QString s = dir.filePath(QStringLiteral("S"));
    ASSERT_EQ(admin(words("server init") << s).status, 0);
    ASSERT_EQ(admin(words("demo --db SHOW --profile empty --server") << s).status, 0);
    // The server is added to those that name none.
    const QList<std::pair<const char*, int>> onServer{
        {"company drop NONE --server", 1},
        {"demo --profile standard --server", 2},
        {"demo --db X --server", 2},
        {"demo --db X --profile huge --server", 2},
        {"demo --db X --profile empty --seed -1 --server", 2},
        {"demo extra --db X --profile empty --server", 2},
        // A database that exists already is a failure, not a usage error.
        {"demo --db SHOW --profile empty --server", 1},
    };
    QList<std::pair<QStringList, int>> cases{
        {{}, 2},
        {words("frobnicate"), 2},
        {words("company create X"), 2},
        {words("company list --bogus"), 2},
        {words("server init") << s, 1},
        {words("company list --server nowhere"), 1},
        {words("server init") << dir.filePath(QStringLiteral("T")) << words("--type 9"), 1},
        // No password on the command line.
        {words("user add DEMO_US x --password pw"), 2},
        {words("server init") << dir.filePath(QStringLiteral("U")) << words("--login sa:pw"), 2},
        {words("sql NONE") << QStringLiteral("SELECT 1") << QStringLiteral("--server") << s, 1},
        {words("user passwd DEMO_US x --password-file")
             << dir.filePath(QStringLiteral("no")) << QStringLiteral("--server") << s,
         1},
    };
    for (const auto& [line, status] : onServer)
        cases.append({words(line) << s, status});
    for (const auto& [args, status] : cases) {
        const CliResult r = admin(args);
        EXPECT_EQ(r.status, status) << args.join(u' ').toStdString();
        EXPECT_EQ(r.err.count(u'\n'), status == 2 ? 2 : 1) << r.err.toStdString();
    }
    const CliResult help = admin(words("user --help"));
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: ledgerline-admin")));
    EXPECT_TRUE(AdminCli::usage().contains(QStringLiteral("demo --db DB --profile")));
}
