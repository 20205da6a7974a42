#include "HostTestSupport.h"
#include "TestData.h"

#include <QFile>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

TEST_F(HostWorld, AdminCreatesAServerACompanyAndQueriesIt) {
    const QString s = dir.filePath(u"S"_s);
    CliResult r = admin(words("server init") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("company create") << u"Demo US"_s << words("--db DEMO_US --server") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("company list --server") << s);
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(u"DEMO_US"_s));
    EXPECT_TRUE(r.out.contains(u"Demo US"_s));
    EXPECT_TRUE(r.out.contains(QString::number(Admin::DefaultVersion)));

    r = admin(words("sql DEMO_US")
              << u"SELECT USER_CODE, SUPERUSER FROM OUSR"_s << u"--server"_s << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].simplified(), u"USER_CODE SUPERUSER"_s);
    EXPECT_EQ(lines[2].simplified(), u"lobster Y"_s);

    r = admin(words("sql DEMO_US --xml") << u"SELECT USER_CODE FROM OUSR"_s << u"--server="_s + s);
    EXPECT_EQ(r.out.trimmed(), u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                               u"<row><USER_CODE>lobster</USER_CODE></row>"_s);

    // Passwords come from the environment or from a file of the owner's.
    qputenv("LEDGERLINE_PASSWORD", "m");
    r = admin(words("user add DEMO_US manager --superuser --server") << s);
    qunsetenv("LEDGERLINE_PASSWORD");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString secret = dir.filePath(u"secret"_s);
    writeTestFile(secret, "new\r\nnot this\n");
    const QStringList passwd = words("user passwd DEMO_US lobster --password-file")
                               << secret << u"--server"_s << s;
    for (const QFileDevice::Permissions open :
         {QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
          QFileDevice::ReadOwner | QFileDevice::ReadOther}) {
        ASSERT_TRUE(QFile::setPermissions(secret, open));
        r = admin(passwd);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(u"may be read or written by others"_s)) << r.err.toStdString();
    }
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    r = admin(passwd);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("server init")
              << dir.filePath(u"L"_s) << words("--login sa --password-file") << secret);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    Company company;
    logOn(company, s, u"DEMO_US"_s);
    EXPECT_EQ(company.Connect(), errWrongUserOrPassword);
    company.Password = u"new"_s;
    EXPECT_EQ(company.Connect(), 0);
    company.Disconnect();
    r = admin(words("user list DEMO_US --server") << s);
    EXPECT_TRUE(r.out.contains(u"manager"_s));

    r = admin(words("backup DEMO_US --server") << s);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = admin(words("check DEMO_US --server") << s);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, u"ok\n"_s);
    {
        // A page overwritten behind the server's back is what the check is for.
        QFile file(Server::open(s)->databasePath(u"DEMO_US"_s));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 3 * 4096);
        ASSERT_TRUE(file.seek(2 * 4096));
        file.write(QByteArray(4096, '\xff'));
    }
    r = admin(words("check DEMO_US --server") << s);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(u"DEMO_US: "_s) || r.err.contains(u"malformed"_s))
        << r.err.toStdString();
    r = admin(words("company drop DEMO_US --server") << s);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(Admin::companies(*Server::open(s)).isEmpty());
}

// A demo company made from the command line, then every command that goes
// wrong: one line and a status that is not zero.
TEST_F(HostWorld, AdminMakesADemoAndSaysWhatWentWrongInOneLine) {
    const QString s = dir.filePath(u"S"_s);
    ASSERT_EQ(admin(words("server init") << s).status, 0);
    // A demo company, named, that the other commands see.
    CliResult r = admin(words("demo --db SHOW --profile empty --name")
                        << u"Showroom Inc."_s << words("--seed 42 --server") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count(u'\n'), 1);
    EXPECT_TRUE(r.out.contains(u"tables filled"_s) && r.out.contains(u"rows written"_s))
        << r.out.toStdString();
    r = admin(words("company list --server") << s);
    EXPECT_TRUE(r.out.contains(u"SHOW"_s) && r.out.contains(u"Showroom Inc."_s))
        << r.out.toStdString();
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
        {words("server init") << dir.filePath(u"T"_s) << words("--type 9"), 1},
        // No password on the command line.
        {words("user add DEMO_US x --password pw"), 2},
        {words("server init") << dir.filePath(u"U"_s) << words("--login sa:pw"), 2},
        {words("sql NONE") << u"SELECT 1"_s << u"--server"_s << s, 1},
        {words("user passwd DEMO_US x --password-file")
             << dir.filePath(u"no"_s) << u"--server"_s << s,
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
    EXPECT_TRUE(help.out.startsWith(u"Usage: ledgerline-admin"_s));
    EXPECT_TRUE(AdminCli::usage().contains(u"demo --db DB --profile"_s));
}
