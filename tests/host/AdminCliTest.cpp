#include "HostTestSupport.h"
#include "TestData.h"

#include "host/admin/LLAdminCli.h"

#include <QFile>

using namespace LLObjectsCOM;

namespace {

struct Result {
    int status;
    QString out;
    QString err;
};

Result admin(const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = AdminCli(o, e).run(args);
    return {status, out, err};
}

} // namespace

TEST_F(HostWorld, AdminCreatesAServerACompanyAndQueriesIt) {
    const QString s = dir.filePath(QStringLiteral("S"));
    Result r = admin({QStringLiteral("server"), QStringLiteral("init"), s});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin({QStringLiteral("company"), QStringLiteral("create"), QStringLiteral("Demo US"),
               QStringLiteral("--db"), QStringLiteral("DEMO_US"), QStringLiteral("--server"), s});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = admin({QStringLiteral("company"), QStringLiteral("list"), QStringLiteral("--server"), s});
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("DEMO_US")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Demo US")));
    EXPECT_TRUE(r.out.contains(QString::number(Admin::DefaultVersion)));

    r = admin({QStringLiteral("sql"), QStringLiteral("DEMO_US"),
               QStringLiteral("SELECT USER_CODE, SUPERUSER FROM OUSR"), QStringLiteral("--server"),
               s});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].simplified(), QStringLiteral("USER_CODE SUPERUSER"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("lobster Y"));

    r = admin({QStringLiteral("sql"), QStringLiteral("DEMO_US"), QStringLiteral("--xml"),
               QStringLiteral("SELECT USER_CODE FROM OUSR"), QStringLiteral("--server=") + s});
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                              "<row><USER_CODE>lobster</USER_CODE></row>"));

    // Passwords come from the environment or from a file of the owner's.
    qputenv("LEDGERLINE_PASSWORD", "m");
    r = admin({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("DEMO_US"),
               QStringLiteral("manager"), QStringLiteral("--superuser"), QStringLiteral("--server"),
               s});
    qunsetenv("LEDGERLINE_PASSWORD");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString secret = dir.filePath(QStringLiteral("secret"));
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("new\r\nnot this\n");
    }
    const QStringList passwd{QStringLiteral("user"),
                             QStringLiteral("passwd"),
                             QStringLiteral("DEMO_US"),
                             QStringLiteral("lobster"),
                             QStringLiteral("--password-file"),
                             secret,
                             QStringLiteral("--server"),
                             s};
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
    r = admin({QStringLiteral("server"), QStringLiteral("init"), dir.filePath(QStringLiteral("L")),
               QStringLiteral("--login"), QStringLiteral("sa"), QStringLiteral("--password-file"),
               secret});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    Company company;
    company.Server = s;
    company.CompanyDB = QStringLiteral("DEMO_US");
    company.UserName = QStringLiteral("lobster");
    company.Password = QStringLiteral("lobster");
    company.UseTrusted = true;
    EXPECT_EQ(company.Connect(), errWrongUserOrPassword);
    company.Password = QStringLiteral("new");
    EXPECT_EQ(company.Connect(), 0);
    company.Disconnect();
    r = admin({QStringLiteral("user"), QStringLiteral("list"), QStringLiteral("DEMO_US"),
               QStringLiteral("--server"), s});
    EXPECT_TRUE(r.out.contains(QStringLiteral("manager")));

    r = admin({QStringLiteral("backup"), QStringLiteral("DEMO_US"), QStringLiteral("--server"), s});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = admin({QStringLiteral("company"), QStringLiteral("drop"), QStringLiteral("DEMO_US"),
               QStringLiteral("--server"), s});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(Admin::companies(*Server::open(s)).isEmpty());
}

TEST_F(HostWorld, AdminErrorsAreOneLineAndNonZero) {
    const QString s = dir.filePath(QStringLiteral("S"));
    ASSERT_EQ(admin({QStringLiteral("server"), QStringLiteral("init"), s}).status, 0);
    const QList<std::pair<QStringList, int>> cases{
        {{}, 2},
        {{QStringLiteral("frobnicate")}, 2},
        {{QStringLiteral("company"), QStringLiteral("create"), QStringLiteral("X")}, 2},
        {{QStringLiteral("company"), QStringLiteral("list"), QStringLiteral("--bogus")}, 2},
        {{QStringLiteral("server"), QStringLiteral("init"), s}, 1},
        {{QStringLiteral("company"), QStringLiteral("list"), QStringLiteral("--server"),
          QStringLiteral("nowhere")},
         1},
        {{QStringLiteral("sql"), QStringLiteral("NONE"), QStringLiteral("SELECT 1"),
          QStringLiteral("--server"), s},
         1},
        {{QStringLiteral("company"), QStringLiteral("drop"), QStringLiteral("NONE"),
          QStringLiteral("--server"), s},
         1},
        {{QStringLiteral("server"), QStringLiteral("init"), dir.filePath(QStringLiteral("T")),
          QStringLiteral("--type"), QStringLiteral("9")},
         1},
        // No password on the command line.
        {{QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("DEMO_US"),
          QStringLiteral("x"), QStringLiteral("--password"), QStringLiteral("pw")},
         2},
        {{QStringLiteral("server"), QStringLiteral("init"), dir.filePath(QStringLiteral("U")),
          QStringLiteral("--login"), QStringLiteral("sa:pw")},
         2},
        {{QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("DEMO_US"),
          QStringLiteral("x"), QStringLiteral("--password-file"),
          dir.filePath(QStringLiteral("no")), QStringLiteral("--server"), s},
         1},
    };
    for (const auto& [args, status] : cases) {
        const Result r = admin(args);
        EXPECT_EQ(r.status, status) << args.join(u' ').toStdString();
        EXPECT_EQ(r.err.count(u'\n'), status == 2 ? 2 : 1) << r.err.toStdString();
    }
    const Result help = admin({QStringLiteral("user"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: ledgerline-admin")));
}
