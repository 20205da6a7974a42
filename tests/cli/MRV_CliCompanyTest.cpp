#include "TestData.h"
#include "cli/MRV_Cli.h"
#include "di/MRV_ConnectionContext.h"
#include "host/HostTestSupport.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLRecordset.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"

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
    // A standard demo company BASE and an empty company TARGET.
    void baseAndTarget() {
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, QStringLiteral("BASE"),
                                               QStringLiteral("standard"), 1, &error))
            << error.toStdString();
        createCompany(*server, QStringLiteral("TARGET"), QStringLiteral("Target Ltd"));
    }
    // A new worksheet at ws for base and target companies of the server,
    // selecting the given categories.
    Result newWorksheet(const QString& ws, const QString& base, const QString& target,
                        const QStringList& categories) {
        QStringList args{QStringLiteral("worksheet"), QStringLiteral("new"), ws};
        args << QStringLiteral("--server") << server->folder() << QStringLiteral("--db") << base
             << QStringLiteral("--target-db") << target;
        for (const QString& category : categories)
            args << QStringLiteral("--select") << category;
        return plain(args);
    }
    Result select(const QString& ws, const QStringList& choices) {
        return plain(QStringList{QStringLiteral("worksheet"), QStringLiteral("select"), ws} +
                     choices);
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

TEST_F(CliCompany, SettingsOfANewCompanyAreShownWithoutWritingThenMadeAndChanged) {
    // Showing writes nothing: a company the program was never used with
    // shows the defaults and keeps no table of the program.
    const auto tables = [this] {
        LLObjectsCOM::Company c;
        connect(c, *server, QStringLiteral("DEMO"));
        std::unique_ptr<LLObjectsCOM::Recordset> rs = c.GetRecordset();
        rs->DoQuery(QStringLiteral("SELECT COUNT(*) FROM OUTB WHERE TableName LIKE 'MRV%'"));
        return rs->Field(0).toInt();
    };
    const Result shown = run({QStringLiteral("settings")});
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
    EXPECT_EQ(setting(shown, QStringLiteral("copy-method")), QStringLiteral("1 (Replace All)"));
    EXPECT_EQ(setting(shown, QStringLiteral("response")),
              QStringLiteral("0 (Continue copy process)"));
    EXPECT_EQ(setting(shown, QStringLiteral("force-backup")), QStringLiteral("yes"));
    EXPECT_TRUE(shown.out.contains(QStringLiteral("these are the defaults")));
    EXPECT_EQ(tables(), 0);

    const QString folder = dir.filePath(QStringLiteral("o'brien/Mirrova"));
    const Result changed =
        run({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("copy-method=4"),
             QStringLiteral("--set=force-backup=no"), QStringLiteral("--set"),
             QStringLiteral("worksheet-folder=") + folder});
    ASSERT_EQ(changed.status, 0) << changed.err.toStdString();
    EXPECT_GT(tables(), 0);
    const Result again = run({QStringLiteral("settings")});
    EXPECT_EQ(setting(again, QStringLiteral("copy-method")),
              QStringLiteral("4 (Add New Records and Update Existing Records)"));
    EXPECT_EQ(setting(again, QStringLiteral("force-backup")), QStringLiteral("no"));
    EXPECT_EQ(setting(again, QStringLiteral("worksheet-folder")), folder);
    EXPECT_TRUE(setting(again, QStringLiteral("log-folder")).endsWith(QStringLiteral("Log files")));
    EXPECT_FALSE(again.out.contains(QStringLiteral("these are the defaults")));

    // A wrong assignment is refused before any login (no password here).
    qunsetenv("MIRROVA_PASSWORD");
    for (const char* wrong :
         {"copy-method=5", "response=x", "force-backup=maybe", "colour=red", "copy-method"}) {
        const Result r =
            run({QStringLiteral("settings"), QStringLiteral("--set"), QString::fromLatin1(wrong)});
        EXPECT_EQ(r.status, 2) << wrong << r.err.toStdString();
    }
    qputenv("MIRROVA_PASSWORD", "lobster");
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

    // A password file others may read is no secret: refused; its owner's
    // alone logs in.
    QTemporaryDir files;
    const QString secret = files.filePath(QStringLiteral("secret"));
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("lobster\n");
    }
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther));
    const Result open =
        run({QStringLiteral("settings"), QStringLiteral("--password-file"), secret});
    EXPECT_EQ(open.status, 1);
    EXPECT_TRUE(open.err.contains(QStringLiteral("may be read or written by others")))
        << open.err.toStdString();
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(run({QStringLiteral("settings"), QStringLiteral("--password-file"), secret}).status,
              0);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(CliCompany, AWorksheetIsMadeShownSelectedAndSavedAgainByteForByte) {
    ASSERT_NO_FATAL_FAILURE(baseAndTarget());
    const QString ws = dir.filePath(QStringLiteral("roll-out.xml"));
    const QString base = QStringLiteral("BASE");
    const QString target = QStringLiteral("TARGET");
    // A category no manager copies yet is refused, named, and nothing is
    // written.
    Result r = newWorksheet(ws, base, target, {QStringLiteral("MRV_TRN_QUERIES_100")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Queries (MRV_TRN_QUERIES_100)")))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(ws));
    r = newWorksheet(ws, base, target, {QStringLiteral("MRV_TRN_MANUFACTURERS_100")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    const auto show = [&] {
        const Result shown = plain({QStringLiteral("worksheet"), QStringLiteral("show"), ws});
        EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
        return shown.out;
    };
    QString shown = show();
    EXPECT_TRUE(shown.contains(QStringLiteral("Target: TARGET on ")));
    EXPECT_TRUE(shown.contains(QStringLiteral("[x] Manufacturers  (MRV_TRN_MANUFACTURERS_100)")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("[~] Setup  (MRV_TRN_LOGISTICSDEFS_100)")))
        << shown.toStdString();

    // Read and written again without a change: the same bytes.
    const QByteArray first = bytesOf(ws);
    ASSERT_EQ(select(ws, {QStringLiteral("MRV_TRN_MANUFACTURERS_100")}).status, 0);
    EXPECT_EQ(bytesOf(ws), first);

    // Single records, checked against the base's keys (the base is logged
    // in to for them); an unknown key is refused and names itself.
    r = select(ws, {QStringLiteral("MRV_TRN_MANUFACTURERS_100=1,3")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(show().contains(
        QStringLiteral("[~] Manufacturers  (MRV_TRN_MANUFACTURERS_100, 2 records)")));
    const QByteArray picked = bytesOf(ws);
    r = select(ws, {QStringLiteral("MRV_TRN_MANUFACTURERS_100=1,999")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no record of MRV_TRN_MANUFACTURERS_100 with the key "
                                              "'999'")))
        << r.err.toStdString();
    EXPECT_EQ(bytesOf(ws), picked);

    // A folder is selected as the tree does, with everything below it: a
    // folder holding categories no manager copies yet is refused naming
    // each; cleared, everything below it is.
    r = select(ws, {QStringLiteral("MRV_TRN_CUSTOMIZATION_100")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("(MRV_TRN_QUERIES_100)"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("(MRV_TRN_UDT_100)"))) << r.err.toStdString();
    ASSERT_EQ(select(ws, {QStringLiteral("MRV_TRN_LOGISTICS_100=")}).status, 0);
    shown = show();
    EXPECT_TRUE(shown.contains(QStringLiteral("[ ] Manufacturers  (MRV_TRN_MANUFACTURERS_100)")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("[ ] Logistics  (MRV_TRN_LOGISTICS_100)")));
    EXPECT_EQ(select(ws, {QStringLiteral("MRV_TRN_NOSUCH_100")}).status, 2);
    EXPECT_EQ(select(ws, {QStringLiteral("MRV_TRN_LOGISTICS_100=1")}).status, 2);

    // The same company as base and target is refused.
    EXPECT_EQ(newWorksheet(ws, base, base, {QStringLiteral("MRV_TRN_MANUFACTURERS_100")}).status,
              1);

    // A broken worksheet says which file, where and why.
    ASSERT_TRUE(QFile::resize(ws, first.size() / 2));
    for (const QStringList& command :
         {QStringList{QStringLiteral("worksheet"), QStringLiteral("show"), ws},
          QStringList{QStringLiteral("worksheet"), QStringLiteral("select"), ws,
                      QStringLiteral("MRV_TRN_MANUFACTURERS_100")},
          QStringList{QStringLiteral("copy"), ws, QStringLiteral("--yes")}}) {
        r = plain(command);
        EXPECT_EQ(r.status, 1) << command.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("The worksheet cannot be read: ") + ws + u','))
            << r.err.toStdString();
    }
}

TEST_F(CliCompany, CopyAndSaveConfigRunTheWorksheetAndSayHowItWent) {
    ASSERT_NO_FATAL_FAILURE(baseAndTarget());
    QString error;
    ASSERT_TRUE(LLObjectsCOM::Admin::backup(*server, QStringLiteral("TARGET"), QDateTime(), nullptr,
                                            &error));
    const QString ws = dir.filePath(QStringLiteral("ws.xml"));
    const Result made = newWorksheet(
        ws, QStringLiteral("BASE"), QStringLiteral("TARGET"),
        {QStringLiteral("MRV_TRN_MANUFACTURERS_100"), QStringLiteral("MRV_TRN_COUNTRIES_100")});
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
    ASSERT_EQ(select(ws, {QStringLiteral("MRV_TRN_COUNTRIES_100=")}).status, 0);
    r = plain({QStringLiteral("copy"), ws, QStringLiteral("--yes"), QStringLiteral("--copy-method"),
               QStringLiteral("2")});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression(QStringLiteral("Manufacturers +0 +8 +0 +0"))))
        << r.out.toStdString();
    // The command line and the worksheet are checked before any login:
    // no password is needed to be told what is wrong.
    qunsetenv("MIRROVA_PASSWORD");
    for (const char* method : {"9", "0", "x"}) {
        r = plain(
            {QStringLiteral("copy"), ws, QStringLiteral("--copy-method"), QLatin1String(method)});
        EXPECT_EQ(r.status, 2) << method;
        EXPECT_TRUE(r.err.contains(QStringLiteral("--copy-method takes 1 to 4")))
            << r.err.toStdString();
    }
    {
        // A worksheet edited elsewhere to select a category no manager
        // copies yet: refused, named, for both commands.
        MRV_ConnectionContext none;
        MRV_Worksheet edited;
        ASSERT_EQ(MRV_WorksheetManager(&none).readWorksheet(edited, ws), S_OK);
        MRV_WorksheetNode* queries = edited.findNode(QStringLiteral("1.1"));
        ASSERT_NE(queries, nullptr);
        queries->selected = MRV_WorksheetNode::Selected;
        ASSERT_EQ(MRV_WorksheetManager(&none).saveWorksheet(edited, ws), S_OK);
    }
    for (const QStringList& command :
         {QStringList{QStringLiteral("copy"), ws, QStringLiteral("--yes")},
          QStringList{QStringLiteral("save-config"), ws, dir.filePath(QStringLiteral("x.xml"))}}) {
        r = plain(command);
        EXPECT_EQ(r.status, 2) << command.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("(MRV_TRN_QUERIES_100)"))) << r.err.toStdString();
    }
    qputenv("MIRROVA_PASSWORD", "lobster");
    ASSERT_EQ(select(ws, {QStringLiteral("MRV_TRN_QUERIES_100=")}).status, 0);

    const QString config = dir.filePath(QStringLiteral("base.xml"));
    r = plain({QStringLiteral("save-config"), ws, config, QStringLiteral("--yes")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(2);
    EXPECT_EQ(head, QByteArray("\xff\xfe", 2));
}

} // namespace
