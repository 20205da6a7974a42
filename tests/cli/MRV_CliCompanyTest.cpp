#include "TestData.h"
#include "cli/MRV_Cli.h"
#include "host/HostTestSupport.h"
#include "host/admin/LLDemo.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// Commands that log in to a company of a private server.
class CliCompany : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(6));
        createCompany(*server, QStringLiteral("DEMO"));
        savedPassword = qgetenv("MIRROVA_PASSWORD");
        qputenv("MIRROVA_PASSWORD", "lobster");
    }
    void TearDown() override {
        if (savedPassword.isNull())
            qunsetenv("MIRROVA_PASSWORD");
        else
            qputenv("MIRROVA_PASSWORD", savedPassword);
        HostWorld::TearDown();
    }

    struct Result {
        int status;
        QString out;
        QString err;
    };
    // The command for the company DEMO.
    Result run(QStringList args) {
        args << QStringLiteral("--server") << server->folder() << QStringLiteral("--db")
             << QStringLiteral("DEMO");
        return plain(args);
    }
    Result plain(const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = MRV_Cli(o, e).run(args);
        return {status, out, err};
    }
    QString setting(const Result& r, const QString& name) {
        for (const QString& line : r.out.split(u'\n'))
            if (line.startsWith(name + u' '))
                return line.mid(20);
        return QStringLiteral("<none>");
    }

    std::optional<LLObjectsCOM::Server> server;
    QByteArray savedPassword;
};

TEST_F(CliCompany, SettingsOfANewCompanyAreMadeShownAndChanged) {
    const Result first = run({QStringLiteral("settings")});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(setting(first, QStringLiteral("copy-method")), QStringLiteral("1 (Replace All)"));
    EXPECT_EQ(setting(first, QStringLiteral("response")),
              QStringLiteral("0 (Continue copy process)"));
    EXPECT_EQ(setting(first, QStringLiteral("force-backup")), QStringLiteral("yes"));
    EXPECT_TRUE(setting(first, QStringLiteral("log-folder")).endsWith(QStringLiteral("Log files")));

    const QString folder = dir.filePath(QStringLiteral("o'brien/Mirrova"));
    const Result changed =
        run({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("copy-method=4"),
             QStringLiteral("--set=force-backup=no"), QStringLiteral("--set"),
             QStringLiteral("worksheet-folder=") + folder});
    ASSERT_EQ(changed.status, 0) << changed.err.toStdString();
    const Result again = run({QStringLiteral("settings")});
    EXPECT_EQ(setting(again, QStringLiteral("copy-method")),
              QStringLiteral("4 (Add New Records and Update Existing Records)"));
    EXPECT_EQ(setting(again, QStringLiteral("force-backup")), QStringLiteral("no"));
    EXPECT_EQ(setting(again, QStringLiteral("worksheet-folder")), folder);

    for (const char* wrong :
         {"copy-method=5", "response=x", "force-backup=maybe", "colour=red", "copy-method"}) {
        const Result r =
            run({QStringLiteral("settings"), QStringLiteral("--set"), QString::fromLatin1(wrong)});
        EXPECT_EQ(r.status, 2) << wrong;
    }
    EXPECT_EQ(setting(run({QStringLiteral("settings")}), QStringLiteral("copy-method")).left(1),
              QStringLiteral("4"));
}

TEST_F(CliCompany, AWrongLoginIsRefusedWithoutTouchingTheCompany) {
    qputenv("MIRROVA_PASSWORD", "wrong");
    const Result r = run({QStringLiteral("settings")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot log in"))) << r.err.toStdString();

    qunsetenv("MIRROVA_PASSWORD");
    const Result none = run({QStringLiteral("settings")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("MIRROVA_PASSWORD")));
}

} // namespace

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(CliCompany, AWorksheetIsMadeShownSelectedAndSavedAgainByteForByte) {
    QString error;
    ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, QStringLiteral("BASE"),
                                           QStringLiteral("standard"), 1, &error))
        << error.toStdString();
    createCompany(*server, QStringLiteral("TARGET"), QStringLiteral("Target Ltd"));
    const QString ws = dir.filePath(QStringLiteral("roll-out.xml"));
    QStringList args{QStringLiteral("worksheet"),
                     QStringLiteral("new"),
                     ws,
                     QStringLiteral("--server"),
                     server->folder(),
                     QStringLiteral("--db"),
                     QStringLiteral("BASE"),
                     QStringLiteral("--target-db"),
                     QStringLiteral("TARGET"),
                     QStringLiteral("--select"),
                     QStringLiteral("MRV_TRN_QUERIES_100")};
    const Result made = plain(args);
    ASSERT_EQ(made.status, 0) << made.err.toStdString();

    Result shown = plain({QStringLiteral("worksheet"), QStringLiteral("show"), ws});
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("Target: TARGET on ")));
    EXPECT_TRUE(shown.out.contains(QStringLiteral("[x] Queries  (MRV_TRN_QUERIES_100)")))
        << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("[~] Customization")));

    // Read and written again without a change: the same bytes.
    const QByteArray first = bytesOf(ws);
    ASSERT_EQ(plain({QStringLiteral("worksheet"), QStringLiteral("select"), ws,
                     QStringLiteral("MRV_TRN_QUERIES_100")})
                  .status,
              0);
    EXPECT_EQ(bytesOf(ws), first);

    ASSERT_EQ(plain({QStringLiteral("worksheet"), QStringLiteral("select"), ws,
                     QStringLiteral("MRV_TRN_QUERIES_100="), QStringLiteral("MRV_TRN_UDT_100")})
                  .status,
              0);
    shown = plain({QStringLiteral("worksheet"), QStringLiteral("show"), ws});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("[ ] Queries  (MRV_TRN_QUERIES_100)")));
    EXPECT_TRUE(shown.out.contains(QStringLiteral("[x] User-Defined Tables  (MRV_TRN_UDT_100)")))
        << shown.out.toStdString();

    EXPECT_EQ(plain({QStringLiteral("worksheet"), QStringLiteral("select"), ws,
                     QStringLiteral("MRV_TRN_NOSUCH_100")})
                  .status,
              2);
    // The same company as base and target is refused.
    args[8] = QStringLiteral("BASE");
    EXPECT_EQ(plain(args).status, 1);
}

} // namespace

namespace {

TEST_F(CliCompany, CopyAndSaveConfigRunTheWorksheetAndSayHowItWent) {
    QString error;
    ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, QStringLiteral("BASE"),
                                           QStringLiteral("standard"), 1, &error))
        << error.toStdString();
    createCompany(*server, QStringLiteral("TARGET"), QStringLiteral("Target Ltd"));
    ASSERT_TRUE(LLObjectsCOM::Admin::backup(*server, QStringLiteral("TARGET"), QDateTime(), nullptr,
                                            &error));
    const QString ws = dir.filePath(QStringLiteral("ws.xml"));
    const Result made =
        plain({QStringLiteral("worksheet"), QStringLiteral("new"), ws, QStringLiteral("--server"),
               server->folder(), QStringLiteral("--db"), QStringLiteral("BASE"),
               QStringLiteral("--target-db"), QStringLiteral("TARGET"), QStringLiteral("--select"),
               QStringLiteral("MRV_TRN_MANUFACTURERS_100"), QStringLiteral("--select"),
               QStringLiteral("MRV_TRN_COUNTRIES_100")});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();

    // Nobody to answer the copy dialog: stopped, nothing written.
    Result r = plain({QStringLiteral("copy"), ws});
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("--yes")));

    // Countries need address formats, which the worksheet does not copy:
    // those records fail, the run goes on, and the exit status says so.
    r = plain({QStringLiteral("copy"), ws, QStringLiteral("--yes")});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression(QStringLiteral("Manufacturers +8 +0 +0 +0"))))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression(QStringLiteral("Countries +0 +0 +0 +\\d+"))))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Log: ")));

    // Manufacturers only: every record copies (again: updated this time).
    ASSERT_EQ(plain({QStringLiteral("worksheet"), QStringLiteral("select"), ws,
                     QStringLiteral("MRV_TRN_COUNTRIES_100=")})
                  .status,
              0);
    r = plain({QStringLiteral("copy"), ws, QStringLiteral("--yes"), QStringLiteral("--copy-method"),
               QStringLiteral("2")});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression(QStringLiteral("Manufacturers +0 +8 +0 +0"))))
        << r.out.toStdString();
    EXPECT_EQ(
        plain({QStringLiteral("copy"), ws, QStringLiteral("--copy-method"), QStringLiteral("9")})
            .status,
        2);

    const QString config = dir.filePath(QStringLiteral("base.xml"));
    r = plain({QStringLiteral("save-config"), ws, config, QStringLiteral("--yes")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(2);
    EXPECT_EQ(head, QByteArray("\xff\xfe", 2));
}

} // namespace
