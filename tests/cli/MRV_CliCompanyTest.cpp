#include "CliTestSupport.h"
#include "TestData.h"
#include "config/LogTestSupport.h"
#include "config/MRV_RunLock.h"
#include "di/MRV_ConnectionContext.h"
#include "host/HostTestSupport.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLRecordset.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using logtest::readBytes;
using logtest::writeBytes;
using namespace clitest;

namespace {

// Commands that log in to a company of a private server.
class CliCompany : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(6));
        createCompany(*server, u"DEMO"_s);
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

    // The command for the company DEMO.
    Result run(QStringList args) {
        args << u"--server"_s << server->folder() << u"--db"_s << u"DEMO"_s;
        return plain(args);
    }
    static Result plain(const QStringList& args) { return clitest::run(args); }
    // A standard demo company BASE and an empty company TARGET.
    void baseAndTarget() {
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, u"BASE"_s, u"standard"_s, 1, &error))
            << error.toStdString();
        createCompany(*server, u"TARGET"_s, u"Target Ltd"_s);
    }
    // A new worksheet at ws for base and target companies of the server,
    // selecting the given categories.
    Result newWorksheet(const QString& ws, const QString& base, const QString& target,
                        const QStringList& categories) {
        QStringList args{u"worksheet"_s, u"new"_s, ws};
        args << u"--server"_s << server->folder() << u"--db"_s << base << u"--target-db"_s
             << target;
        for (const QString& category : categories)
            args << u"--select"_s << category;
        return plain(args);
    }
    Result select(const QString& ws, const QStringList& choices) {
        return plain(QStringList{u"worksheet"_s, u"select"_s, ws} + choices);
    }
    QString setting(const Result& r, const QString& name) {
        for (const QString& line : r.out.split(u'\n'))
            if (line.startsWith(name + u' '))
                return line.mid(20);
        return u"<none>"_s;
    }

    std::optional<LLObjectsCOM::Server> server;
    QByteArray savedPassword;
};

TEST_F(CliCompany, SettingsOfANewCompanyAreShownWithoutWritingThenMadeAndChanged) {
    // Showing writes nothing: a company the program was never used with
    // shows the defaults and keeps no table of the program.
    const auto tables = [this] {
        LLObjectsCOM::Company c;
        connect(c, *server, u"DEMO"_s);
        std::unique_ptr<LLObjectsCOM::Recordset> rs = c.GetRecordset();
        rs->DoQuery(u"SELECT COUNT(*) FROM OUTB WHERE TableName LIKE 'MRV%'"_s);
        return rs->Field(0).toInt();
    };
    const Result shown = run({u"settings"_s});
    ASSERT_TRUE(exits(shown, 0));
    EXPECT_EQ(setting(shown, u"copy-method"_s), u"1 (Replace All)"_s);
    EXPECT_EQ(setting(shown, u"response"_s), u"0 (Continue copy process)"_s);
    EXPECT_EQ(setting(shown, u"force-backup"_s), u"yes"_s);
    EXPECT_TRUE(holds(shown.out, u"these are the defaults"_s));
    EXPECT_EQ(tables(), 0);

    const QString folder = dir.filePath(u"o'brien/Mirrova"_s);
    const Result changed =
        run({u"settings"_s, u"--set"_s, u"copy-method=4"_s, u"--set=force-backup=no"_s, u"--set"_s,
             u"worksheet-folder="_s + folder});
    ASSERT_TRUE(exits(changed, 0));
    EXPECT_GT(tables(), 0);
    const Result again = run({u"settings"_s});
    EXPECT_EQ(setting(again, u"copy-method"_s),
              u"4 (Add New Records and Update Existing Records)"_s);
    EXPECT_EQ(setting(again, u"force-backup"_s), u"no"_s);
    EXPECT_EQ(setting(again, u"worksheet-folder"_s), folder);
    EXPECT_TRUE(setting(again, u"log-folder"_s).endsWith(u"Log files"_s));
    EXPECT_FALSE(again.out.contains(u"these are the defaults"_s));

    // A wrong assignment is refused before any login (no password here).
    qunsetenv("MIRROVA_PASSWORD");
    for (const char* wrong :
         {"copy-method=5", "response=x", "force-backup=maybe", "colour=red", "copy-method"}) {
        const Result r = run({u"settings"_s, u"--set"_s, QString::fromLatin1(wrong)});
        EXPECT_EQ(r.status, 2) << wrong << r.err.toStdString();
    }
    qputenv("MIRROVA_PASSWORD", "lobster");
    EXPECT_EQ(setting(run({u"settings"_s}), u"copy-method"_s).left(1), u"4"_s);
}

TEST_F(CliCompany, AWrongLoginIsRefusedWithoutTouchingTheCompany) {
    qputenv("MIRROVA_PASSWORD", "wrong");
    const Result r = run({u"settings"_s});
    EXPECT_TRUE(exits(r, 1));
    EXPECT_TRUE(holds(r.err, u"cannot log in"_s));

    qunsetenv("MIRROVA_PASSWORD");
    const Result none = run({u"settings"_s});
    EXPECT_TRUE(exits(none, 1));
    EXPECT_TRUE(holds(none.err, u"MIRROVA_PASSWORD"_s));

    // A password file others may read is no secret: refused; its owner's
    // alone logs in.
    QTemporaryDir files;
    const QString secret = files.filePath(u"secret"_s);
    ASSERT_TRUE(writeBytes(secret, "lobster\n"));
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther));
    const Result open = run({u"settings"_s, u"--password-file"_s, secret});
    EXPECT_TRUE(exits(open, 1));
    EXPECT_TRUE(holds(open.err, u"may be read or written by others"_s));
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(run({u"settings"_s, u"--password-file"_s, secret}).status, 0);
}

TEST_F(CliCompany, AWorksheetIsMadeShownSelectedAndSavedAgainByteForByte) {
    ASSERT_NO_FATAL_FAILURE(baseAndTarget());
    const QString ws = dir.filePath(u"roll-out.xml"_s);
    const QString base = u"BASE"_s;
    const QString target = u"TARGET"_s;
    // An entry of the catalogue that holds no records of its own is refused,
    // named, and nothing is written.
    Result r = newWorksheet(ws, base, target, {u"MRV_TRN_OWNERSHIP_100"_s});
    EXPECT_TRUE(exits(r, 2));
    EXPECT_TRUE(holds(r.err, u"MRV_TRN_OWNERSHIP_100 cannot be selected"_s));
    EXPECT_FALSE(QFile::exists(ws));
    r = newWorksheet(ws, base, target, {u"MRV_TRN_MANUFACTURERS_100"_s});
    ASSERT_TRUE(exits(r, 0));

    const auto show = [&] {
        const Result shown = plain({u"worksheet"_s, u"show"_s, ws});
        EXPECT_TRUE(exits(shown, 0));
        return shown.out;
    };
    QString shown = show();
    EXPECT_TRUE(holds(shown, u"Target: TARGET on "_s));
    EXPECT_TRUE(holds(shown, u"[x] Manufacturers  (MRV_TRN_MANUFACTURERS_100)"_s));
    EXPECT_TRUE(holds(shown, u"[~] Setup  (MRV_TRN_LOGISTICSDEFS_100)"_s));

    // Read and written again without a change: the same bytes.
    const QByteArray first = readBytes(ws);
    ASSERT_EQ(select(ws, {u"MRV_TRN_MANUFACTURERS_100"_s}).status, 0);
    EXPECT_EQ(readBytes(ws), first);

    // Single records, checked against the base's keys (the base is logged
    // in to for them); an unknown key is refused and names itself.
    r = select(ws, {u"MRV_TRN_MANUFACTURERS_100=1,3"_s});
    ASSERT_TRUE(exits(r, 0));
    EXPECT_TRUE(show().contains(u"[~] Manufacturers  (MRV_TRN_MANUFACTURERS_100, 2 records)"_s));
    const QByteArray picked = readBytes(ws);
    r = select(ws, {u"MRV_TRN_MANUFACTURERS_100=1,999"_s});
    EXPECT_TRUE(exits(r, 2));
    EXPECT_TRUE(holds(r.err, u"no record of MRV_TRN_MANUFACTURERS_100 with the key "
                             "'999'"_s));
    EXPECT_EQ(readBytes(ws), picked);

    // A folder is selected as the tree does, with everything below it;
    // cleared, everything below it is.
    r = select(ws, {u"MRV_TRN_CUSTOMIZATION_100"_s});
    ASSERT_TRUE(exits(r, 0));
    shown = show();
    EXPECT_TRUE(holds(shown, u"[x] Customization  (MRV_TRN_CUSTOMIZATION_100)"_s));
    EXPECT_TRUE(holds(shown, u"[x] Query Print Layouts  (MRV_TRN_QUERYLAYOUTS_100)"_s));
    ASSERT_EQ(select(ws, {u"MRV_TRN_LOGISTICS_100="_s, u"MRV_TRN_CUSTOMIZATION_100="_s}).status, 0);
    shown = show();
    EXPECT_TRUE(holds(shown, u"[ ] Manufacturers  (MRV_TRN_MANUFACTURERS_100)"_s));
    EXPECT_TRUE(holds(shown, u"[ ] Logistics  (MRV_TRN_LOGISTICS_100)"_s));
    EXPECT_EQ(select(ws, {u"MRV_TRN_NOSUCH_100"_s}).status, 2);
    EXPECT_EQ(select(ws, {u"MRV_TRN_LOGISTICS_100=1"_s}).status, 2);

    // The same company as base and target is refused.
    EXPECT_EQ(newWorksheet(ws, base, base, {u"MRV_TRN_MANUFACTURERS_100"_s}).status, 1);

    // A broken worksheet says which file, where and why.
    ASSERT_TRUE(QFile::resize(ws, first.size() / 2));
    for (const QStringList& command :
         {QStringList{u"worksheet"_s, u"show"_s, ws},
          QStringList{u"worksheet"_s, u"select"_s, ws, u"MRV_TRN_MANUFACTURERS_100"_s},
          QStringList{u"copy"_s, ws, u"--yes"_s}}) {
        r = plain(command);
        EXPECT_EQ(r.status, 1) << command.join(u' ').toStdString();
        EXPECT_TRUE(holds(r.err, u"The worksheet cannot be read: "_s + ws + u','));
    }
}

TEST_F(CliCompany, CopyAndSaveConfigRunTheWorksheetAndSayHowItWent) {
    ASSERT_NO_FATAL_FAILURE(baseAndTarget());
    const QString ws = dir.filePath(u"ws.xml"_s);
    const Result made = newWorksheet(ws, u"BASE"_s, u"TARGET"_s,
                                     {u"MRV_TRN_MANUFACTURERS_100"_s, u"MRV_TRN_COUNTRIES_100"_s});
    ASSERT_TRUE(exits(made, 0));

    // Nobody to answer the copy dialog: stopped, nothing written.
    Result r = plain({u"copy"_s, ws});
    EXPECT_TRUE(exits(r, 3));
    EXPECT_TRUE(holds(r.err, u"--yes"_s));

    // Countries need address formats, which the worksheet does not copy:
    // those records fail, the run goes on, and the exit status says so.
    r = plain({u"copy"_s, ws, u"--yes"_s});
    EXPECT_TRUE(exits(r, 1));
    EXPECT_TRUE(holds(r.out, QRegularExpression(u"Manufacturers +8 +0 +0 +0"_s)));
    EXPECT_TRUE(holds(r.out, QRegularExpression(u"Countries +0 +0 +0 +\\d+"_s)));
    EXPECT_TRUE(holds(r.out, u"Log: "_s));
    // The force-backup setting of a new company: backed up first, and said.
    EXPECT_TRUE(holds(r.out, u"Backup of the target: "_s + server->backupsPath() + u"/TARGET_"_s));

    // While another run writes into the target, a copy is refused, naming it.
    {
        MRV_RunLock other;
        QString holder;
        ASSERT_TRUE(other.acquire(server->folder(), u"TARGET"_s, u"the other run"_s, holder))
            << holder.toStdString();
        r = plain({u"copy"_s, ws, u"--yes"_s});
        EXPECT_TRUE(exits(r, 1));
        EXPECT_TRUE(
            holds(r.err, u"Another copy into the company TARGET is running: the other run."_s));
        EXPECT_FALSE(holds(r.out, u"Log: "_s));
    }

    // Manufacturers only: every record copies (again: updated this time).
    ASSERT_EQ(select(ws, {u"MRV_TRN_COUNTRIES_100="_s}).status, 0);
    r = plain({u"copy"_s, ws, u"--yes"_s, u"--copy-method"_s, u"2"_s});
    EXPECT_TRUE(exits(r, 0));
    EXPECT_TRUE(holds(r.out, QRegularExpression(u"Manufacturers +0 +8 +0 +0"_s)));
    // The command line and the worksheet are checked before any login:
    // no password is needed to be told what is wrong.
    qunsetenv("MIRROVA_PASSWORD");
    for (const char* method : {"9", "0", "x"}) {
        r = plain({u"copy"_s, ws, u"--copy-method"_s, QLatin1String(method)});
        EXPECT_EQ(r.status, 2) << method;
        EXPECT_TRUE(holds(r.err, u"--copy-method takes 1 to 4"_s));
    }
    qputenv("MIRROVA_PASSWORD", "lobster");

    const QString config = dir.filePath(u"base.xml"_s);
    r = plain({u"save-config"_s, ws, config, u"--yes"_s});
    ASSERT_TRUE(exits(r, 0));
    EXPECT_TRUE(readBytes(config).startsWith("\xff\xfe"));

    // A run that adds users names the file with their first passwords after
    // its summary; the passwords themselves never reach the terminal.
    ASSERT_EQ(select(ws, {u"MRV_TRN_MANUFACTURERS_100="_s, u"MRV_TRN_USERSLEAF_100"_s}).status, 0);
    r = plain({u"copy"_s, ws, u"--yes"_s, u"--copy-method"_s, u"4"_s});
    ASSERT_TRUE(exits(r, 0));
    const QRegularExpressionMatch named =
        QRegularExpression(u"\\nInitial passwords: ([^\\n]+)\\n"_s).match(r.out);
    ASSERT_TRUE(named.hasMatch()) << r.out.toStdString();
    QFile file(named.captured(1));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << named.captured(1).toStdString();
    qsizetype listed = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.isEmpty() && !line.startsWith(u'#')) {
            ++listed;
            EXPECT_FALSE(r.out.contains(line.section(u'\t', 1)) ||
                         r.err.contains(line.section(u'\t', 1)));
        }
    EXPECT_GT(listed, 0);
}

} // namespace

namespace {

// Preview shows what a copy would change without changing the target; a
// worksheet that asks for approval copies only while the approved state
// holds; verify after the copy finds nothing, and finds what was changed
// behind the program's back.
TEST_F(CliCompany, PreviewApproveCopyAndVerifyEndToEnd) {
    ASSERT_NO_FATAL_FAILURE(baseAndTarget());
    const QString ws = dir.filePath(u"ws.xml"_s);
    Result r = plain({u"worksheet"_s, u"new"_s, ws, u"--server"_s, server->folder(), u"--db"_s,
                      u"BASE"_s, u"--target-db"_s, u"TARGET"_s, u"--select"_s,
                      u"MRV_TRN_PROJECTS_100"_s, u"--approval"_s});
    ASSERT_TRUE(exits(r, 0));
    LLObjectsCOM::Company base, target;
    connect(base, *server, u"BASE"_s);
    connect(target, *server, u"TARGET"_s);
    const QString code = scalar(base, u"SELECT MIN(PrjCode) FROM OPRJ"_s).toString();
    ASSERT_FALSE(code.isEmpty());
    // A name a spreadsheet would run as a formula, with CSV's separators.
    scalar(base, u"UPDATE OPRJ SET PrjName = N'=cmd|x,\"y\"' WHERE PrjCode = N'%1'"_s.arg(code));
    scalar(target, u"INSERT INTO OPRJ (PrjCode, PrjName) VALUES (N'%1', N'Old name')"_s.arg(code));
    const auto names = [&] {
        return scalar(target, u"SELECT COUNT(*) || '/' || MIN(PrjName) FROM OPRJ"_s).toString();
    };
    const QString before = names();
    const int companies = int(LLObjectsCOM::Admin::companies(*server).size());
    const QStringList copy{u"copy"_s, ws, u"--yes"_s, u"--copy-method"_s, u"4"_s};
    r = plain(copy);
    EXPECT_TRUE(exits(r, 1));
    EXPECT_TRUE(holds(r.err, u"preview it and approve what it shows first"_s))
        << r.err.toStdString();
    EXPECT_EQ(names(), before);

    const QString csv = dir.filePath(u"preview.csv"_s);
    r = plain({u"preview"_s, ws, u"--yes"_s, u"--copy-method"_s, u"4"_s, u"--csv"_s, csv,
               u"--approve"_s});
    ASSERT_TRUE(exits(r, 0));
    EXPECT_TRUE(holds(r.out, QRegularExpression(u"Projects +\\d+ +1 +0 +0"_s)));
    EXPECT_TRUE(holds(r.out, u"Approved: "_s + ws + u".approval"_s));
    EXPECT_EQ(names(), before) << "the preview wrote into the target";
    EXPECT_EQ(LLObjectsCOM::Admin::companies(*server).size(), companies) << "its copy stays";
    const QStringList lines = QString::fromUtf8(readBytes(csv)).split(u"\r\n"_s);
    EXPECT_TRUE(lines.contains(
        u"Projects,Update,OPRJ,%1,PrjName,Old name,\"'=cmd|x,\"\"y\"\"\","_s.arg(code)))
        << lines.mid(0, 5).join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(u"Projects,Add,OPRJ,"_s).size() > 0);

    r = plain(copy);
    ASSERT_TRUE(exits(r, 0));
    const QString log = QRegularExpression(u"\nLog: ([^\n]+)\n"_s).match(r.out).captured(1);
    r = plain({u"verify"_s, ws, log, u"--yes"_s});
    EXPECT_TRUE(exits(r, 0));
    EXPECT_TRUE(holds(r.out, u"0 missing, 0 differing, 0 that cannot be checked"_s));
    const QString report =
        QFileInfo(log).path() + u'/' + QFileInfo(log).completeBaseName() + u"_verify.txt"_s;
    EXPECT_TRUE(holds(QString::fromUtf8(readBytes(report)), u"0 missing"_s));

    scalar(target, u"UPDATE OPRJ SET PrjName = N'Tampered' WHERE PrjCode = N'%1'"_s.arg(code));
    scalar(target, u"DELETE FROM OPRJ WHERE PrjCode = (SELECT MAX(PrjCode) FROM OPRJ)"_s);
    r = plain({u"verify"_s, ws, log, u"--yes"_s});
    EXPECT_TRUE(exits(r, 1));
    EXPECT_TRUE(holds(r.out, u"1 missing, 1 differing, 0 that cannot be checked"_s));
    EXPECT_TRUE(
        holds(r.out, u"Differs\tProjects\tOPRJ %1\tPrjName: target 'Tampered'"_s.arg(code)));
    EXPECT_TRUE(holds(r.out, u"the log says it was copied"_s));
    // What was approved is the target before the copy.
    r = plain(copy);
    EXPECT_TRUE(exits(r, 1));
    EXPECT_TRUE(holds(r.err, u"no longer holds: the target changed since"_s))
        << r.err.toStdString();
}

} // namespace
