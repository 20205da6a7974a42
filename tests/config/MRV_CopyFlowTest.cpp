#include "config/MRV_CopyFlow.h"
#include "LogTestSupport.h"
#include "TestData.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "config/MRV_ConfigurationController.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_LogFile.h"
#include "di/EngineTestSupport.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_InitialPasswords.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "host/HostTestSupport.h"
#include "host/admin/LLDemo.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_SelectionManager.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QXmlStreamReader>

#include <csignal>
#include <cstdlib>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int Yes = MRV_Interaction::ButtonYes;
constexpr int No = MRV_Interaction::ButtonNo;

using logtest::utf16Text;

// A standard demo company as base and an empty company as target, with a
// worksheet over them, as the copy command finds them.
// Lets go of the target's lock when the first category has failed for it.
class UnlocksAtTheFirstFailure : public MRV_ScriptedInteraction {
public:
    std::function<void()> unlock;

protected:
    void statusText(const QString& text, bool bold, int clearAfterMs) override {
        MRV_ScriptedInteraction::statusText(text, bold, clearAfterMs);
        if (bold && unlock && text.contains(u"could not be written"_s))
            std::exchange(unlock, nullptr)();
    }
};

class CopyFlow : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(serverType()));
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, u"BASE"_s, u"standard"_s, 7, &error))
            << error.toStdString();
        createCompany(*server, u"TARGET"_s, u"Target Ltd"_s);
        context.company = company(u"BASE"_s);
        context.baseCompany = context.company;
        context.targetCompany = company(u"TARGET"_s);
        context.targetCompanyName = u"Target Ltd"_s;
        ASSERT_NO_FATAL_FAILURE(storeSettings());
        selection = std::make_unique<MRV_SelectionManager>(&context);
        ASSERT_EQ(selection->openWorksheet(), S_OK);
    }
    // The program's settings in the company the context runs in, logs in
    // the test's folder; runs replace all and ask for no backup.
    void storeSettings() {
        ASSERT_GE(MRV_UDTManager(&context).checkCompany(), 0);
        MRV_SettingsManager settings(&context);
        settings.setDefaultSettings();
        settings.setLogFileFolder(dir.filePath(u"logs"_s));
        QDir().mkpath(settings.logFileFolder());
        ASSERT_EQ(settings.saveSettingsToDatabase(), S_OK);
        context.copyMethod = 1;
        context.forceBackup = false;
    }

    virtual int serverType() const { return 6; }
    std::shared_ptr<LLObjectsCOM::Company> company(const QString& db) {
        auto c = std::make_shared<LLObjectsCOM::Company>();
        connect(*c, *server, db);
        return c;
    }
    MRV_Worksheet& worksheet() { return selection->worksheet(); }
    void select(std::initializer_list<const char*> ids) {
        for (const char* id : ids)
            worksheet().select(worksheet().findLeaf(QLatin1String(id))->leafId, 1);
    }
    // A run of the copy over the worksheet as it stands, the user giving
    // answers (through manager when given); its log is then at logPath.
    HRESULT copy(QList<int> answers = {Yes}, MRV_ConfigurationManager* manager = nullptr) {
        ui.transcript.clear();
        ui.answers = std::move(answers);
        std::optional<MRV_ConfigurationManager> own;
        if (!manager)
            manager = &own.emplace(context);
        MRV_CopyFlow flow(context, worksheet(), *manager);
        const HRESULT hr = flow.copyToTargetCompany();
        logPath = flow.logPath();
        return hr;
    }
    std::string said() const { return ui.transcript.join(u'\n').toStdString(); }
    // The log's rows, which must load; ended tells whether it has its end line.
    static QList<MRV_LogFile::Row> logRows(const QString& path, bool* ended = nullptr) {
        MRV_LogFile log(path);
        EXPECT_EQ(log.loadLogFile(), S_OK) << path.toStdString();
        if (ended)
            *ended = log.hasEndLine();
        return log.rows();
    }
    // The failed lines of the last run's log, as "base code error".
    QStringList failedLines() const {
        QStringList failed;
        for (const MRV_LogFile::Row& row : logRows(logPath))
            if (row[MRV_LogFile::Result] == u"Failed")
                failed << row[MRV_LogFile::BaseCode] + u' ' + row[MRV_LogFile::Error];
        return failed;
    }
    void selectEveryCategoryWithAManager() {
        for (const auto& node : worksheet().nodes)
            if (node->leaf && MRV_DataInterfaceFactory::hasManager(node->categoryId))
                worksheet().select(node->leafId, 1);
    }
    static QStringList column(LLObjectsCOM::Company& c, const QString& sql) {
        return EngineWorld::column(c, sql);
    }
    // The manufacturers' names, by default but the host's own "-1" record.
    QStringList firms(LLObjectsCOM::Company& c, const QString& where = u"FirmCode <> -1"_s) {
        return column(c, u"SELECT FirmName FROM OMRC WHERE %1 ORDER BY 1"_s.arg(where));
    }
    // Statements run past the host, straight on a company's file.
    QSqlDatabase raw(const QString& db) {
        QSqlDatabase file = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        file.setDatabaseName(server->folder() + u'/' + db + u".db"_s);
        EXPECT_TRUE(file.open());
        return file;
    }
    // A run while another program holds the target locked, answered through
    // locked; with release, the lock goes once a category failed for it.
    HRESULT copyWhileLocked(UnlocksAtTheFirstFailure& locked, bool release) {
        qputenv("LEDGERLINE_BUSY_TIMEOUT_MS", "20");
        context.targetCompany = company(u"TARGET"_s);
        HRESULT status = E_UNEXPECTED;
        {
            QSqlDatabase locker = raw(u"TARGET"_s);
            QSqlQuery hold(locker);
            EXPECT_TRUE(hold.exec(u"BEGIN EXCLUSIVE"_s));
            if (release)
                locked.unlock = [&] { hold.exec(u"ROLLBACK"_s); };
            locked.answers = {Yes};
            MRV_InteractionScope scope{locked};
            MRV_ConfigurationManager manager(context);
            MRV_CopyFlow flow(context, worksheet(), manager);
            status = flow.copyToTargetCompany();
            logPath = flow.logPath();
            hold.exec(u"ROLLBACK"_s);
            locker.close();
        }
        QSqlDatabase::removeDatabase(u"raw"_s);
        qunsetenv("LEDGERLINE_BUSY_TIMEOUT_MS");
        return status;
    }

    std::optional<LLObjectsCOM::Server> server;
    MRV_ConnectionContext context;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    std::unique_ptr<MRV_SelectionManager> selection;
    QString logPath;
};

// The standard company copied whole into an empty one, on each dialect.
// Outside MS-SQL the user-defined tables and fields stay behind, and the
// records are written without their fields.
class WholeCopy : public CopyFlow, public ::testing::WithParamInterface<int> {
protected:
    int serverType() const override { return GetParam(); }
    void SetUp() override {
        CopyFlow::SetUp();
        context.ignoreMissingUdf = GetParam() != 6;
    }
    // The last log's lines that did not succeed, or those that added a record.
    QStringList lines(bool added) {
        bool ended = false;
        QStringList found;
        for (const MRV_LogFile::Row& row : logRows(logPath, &ended))
            if (added ? row[MRV_LogFile::TransType] == ui.text(212)
                      : row[MRV_LogFile::Result] != ui.text(402))
                found << row.join(u'|');
        EXPECT_TRUE(ended);
        return found;
    }
};

TEST_P(WholeCopy, EveryRecordArrivesOnceAndARerunAddsNothing) {
    selectEveryCategoryWithAManager();
    // Categories whose needed categories are not selected, those that
    // refuse the copy method (copied another way), the backup question, and
    // outside MS-SQL going on without the user-defined elements.
    MRV_ConfigurationManager manager(context);
    ASSERT_EQ(copy({Yes, Yes, Yes, Yes}, &manager), S_OK) << said();
    EXPECT_TRUE(ui.shown(u"unscripted"_s).isEmpty());
    EXPECT_EQ(lines(false), QStringList());
    LLObjectsCOM::Company& base = *context.baseCompany;
    LLObjectsCOM::Company& target = *context.targetCompany;
    // Records known by the same codes everywhere arrive under them; those
    // the target numbers arrive as many.
    QStringList queries{u"SELECT FirmCode || FirmName FROM OMRC ORDER BY 1"_s,
                        u"SELECT PrjCode FROM OPRJ ORDER BY 1"_s,
                        u"SELECT CardCode || CardType || COALESCE(FatherCard, '') FROM OCRD "
                        u"ORDER BY 1"_s,
                        u"SELECT ItemCode || ItemName FROM OITM ORDER BY 1"_s,
                        u"SELECT TreeCode FROM OITT ORDER BY 1"_s,
                        u"SELECT AlcCode FROM OALC ORDER BY 1"_s,
                        u"SELECT Name FROM OUDG ORDER BY 1"_s};
    for (const QString& table : u"ITM1 CRD1 OCPR ITT1 OSPP OSCN OALI OJDT JDT1 ODUT OFRM CUMI CPRF "
                                u"HLD1 ADM1"_s.split(u' '))
        queries << u"SELECT COUNT(*) FROM "_s + table;
    // Between MS-SQL databases the user-defined tables, fields, content and
    // objects arrive too, fields by table and name.
    if (GetParam() == 6)
        queries << u"SELECT TableName || ObjectType FROM OUTB WHERE TableName NOT LIKE 'MRV%' AND "
                   u"TableName <> 'TSEXTDBVERSION' ORDER BY 1"_s
                << u"SELECT TableID || AliasID || TypeID FROM CUFD WHERE TableID NOT LIKE '@MRV%' "
                   u"AND TableID <> '@TSEXTDBVERSION' AND TableID NOT LIKE 'A%' AND SYS <> 'Y' "
                   u"ORDER BY 1"_s
                << u"SELECT v.TableID || v.FldValue FROM UFD1 v JOIN CUFD f ON f.TableID = "
                   u"v.TableID AND f.FieldID = v.FieldID WHERE f.SYS <> 'Y' AND v.TableID NOT "
                   u"LIKE '@MRV%' AND v.TableID <> '@TSEXTDBVERSION' ORDER BY 1"_s
                << u"SELECT Code || Name FROM [@SHIPZONES] ORDER BY 1"_s
                << u"SELECT Code || TableName FROM OUDO ORDER BY 1"_s
                << u"SELECT COUNT(*) FROM UDO2"_s;
    for (const QString& sql : std::as_const(queries)) {
        const QStringList expected = column(base, sql);
        EXPECT_FALSE(expected.isEmpty()) << sql.toStdString();
        EXPECT_EQ(column(target, sql), expected) << sql.toStdString();
    }
    EXPECT_EQ(column(target, u"SELECT TransId FROM JDT1 GROUP BY TransId HAVING "
                             u"ROUND(SUM(Debit) - SUM(Credit), 2) <> 0"_s),
              QStringList());

    // A rerun that adds and updates finds every record there.
    context.copyMethod = 4;
    ASSERT_EQ(copy({Yes, Yes, Yes, Yes}, &manager), S_OK) << said();
    EXPECT_EQ(lines(false), QStringList());
    EXPECT_EQ(lines(true), QStringList());
    EXPECT_EQ(column(target, u"SELECT COUNT(*) FROM OJDT"_s),
              column(base, u"SELECT COUNT(*) FROM OJDT"_s));
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, WholeCopy, ::testing::Values(6, 5, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Type" + std::to_string(info.param);
                         });

// Some accounts of the chart alone are copied only after the user agreed
// that the chart cannot be copied in part.
TEST_F(CopyFlow, APartOfTheChartIsCopiedOnlyWhenTheUserAgrees) {
    MRV_WorksheetNode* accounts = worksheet().findLeaf(u"MRV_TRN_ACCOUNTS_100"_s);
    ASSERT_NE(accounts, nullptr);
    const QString code =
        column(*context.baseCompany, u"SELECT AcctCode FROM OACT WHERE Postable = 'Y' ORDER BY 1"_s)
            .value(0);
    MRV_SelectionObject one;
    one.keys = {{u"AcctCode"_s, code, u"string"_s}};
    worksheet().selectRecords(accounts->leafId, {one});
    EXPECT_EQ(copy({No}), S_FALSE);
    EXPECT_EQ(ui.shown(u"question: "_s), QStringList{ui.text(10059)});
    EXPECT_TRUE(ui.shown(u"copy dialog"_s).isEmpty());
    worksheet().select(accounts->leafId, MRV_WorksheetNode::Selected);
    EXPECT_EQ(copy({No}), S_FALSE); // the backup question
    EXPECT_FALSE(ui.shown(u"question: "_s).contains(ui.text(10059)));
}

TEST_F(CopyFlow, TheChecksStopTheRunBeforeAnythingIsWritten) {
    selectEveryCategoryWithAManager();
    // Authorizations and the users' settings without the users they need.
    worksheet().select(worksheet().findLeaf(u"MRV_TRN_USERSLEAF_100"_s)->leafId, 0);
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    const QString countries = u"SELECT Code FROM OCRY"_s;
    const QStringList before = column(*context.targetCompany, countries);
    const auto run = [&](QList<int> answers) {
        ui.answers = std::move(answers);
        return flow.copyToTargetCompany();
    };

    ui.confirmCopies = false;
    EXPECT_EQ(run({}), S_FALSE);
    ui.confirmCopies = true;
    EXPECT_EQ(run({No}), S_FALSE);           // without the categories they need: no
    EXPECT_EQ(run({Yes, No}), S_FALSE);      // Currency Settings another way: no
    EXPECT_EQ(run({Yes, Yes, No}), S_FALSE); // no backup yet
    EXPECT_TRUE(ui.answers.isEmpty());
    // A forced backup is made by the run itself; one that cannot be made
    // stops it, saying why.
    context.forceBackup = true;
    ASSERT_TRUE(QDir(server->backupsPath()).removeRecursively());
    QFile blocker(server->backupsPath());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder would be
    blocker.close();
    EXPECT_EQ(run({Yes, Yes}), S_FALSE);
    const QString warning = ui.shown(u"warning: "_s).value(0);
    EXPECT_TRUE(warning.startsWith(
        u"You must backup your target database before performing the copy process\r\n"_s))
        << warning.toStdString();
    EXPECT_TRUE(warning.contains(u"could not be backed up"_s)) << warning.toStdString();
    EXPECT_TRUE(flow.logPath().isEmpty()) << "no log is opened before the checks pass";
    EXPECT_TRUE(flow.backupPath().isEmpty());
    EXPECT_EQ(column(*context.targetCompany, countries), before);
}

// With forced backup the target is backed up right before the run: the
// backup holds the target as it was, and the log names it.
TEST_F(CopyFlow, AForcedBackupIsMadeBeforeTheFirstWriteAndTheLogNamesIt) {
    select({"MRV_TRN_MANUFACTURERS_100"});
    context.forceBackup = true;
    const QString manufacturers = u"SELECT FirmName FROM OMRC ORDER BY FirmName"_s;
    const QStringList before = column(*context.targetCompany, manufacturers);
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    ui.answers = {Yes};
    ASSERT_EQ(flow.copyToTargetCompany(), S_OK) << said();
    const QString backup = flow.backupPath();
    ASSERT_TRUE(QFileInfo(backup).isFile()) << backup.toStdString();
    EXPECT_EQ(QFileInfo(backup).absolutePath(), QDir(server->backupsPath()).absolutePath());
    EXPECT_NE(column(*context.targetCompany, manufacturers), before);
    QString error;
    const std::unique_ptr<LLObjectsCOM::Database> copy =
        LLObjectsCOM::Database::open(*server, backup, &error);
    ASSERT_TRUE(copy) << error.toStdString();
    QSqlQuery q(copy->connection());
    ASSERT_TRUE(q.exec(manufacturers)) << q.lastError().text().toStdString();
    QStringList saved;
    while (q.next())
        saved << q.value(0).toString();
    EXPECT_EQ(saved, before);
    MRV_LogFile log(flow.logPath());
    ASSERT_EQ(log.loadLogFile(), S_OK);
    EXPECT_EQ(log.backupFile(), backup);
}

// The run's file is its own and gone when the run ends; a private folder
// that is a link stops the run, saying so, before the log is begun.
TEST_F(CopyFlow, TheRunsFileIsGoneAfterItAndALinkedFolderStopsItWithAMessage) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = dir.filePath(u"run"_s);
    const QString own = runtime + u"/mirrova"_s;
    ASSERT_TRUE(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    select({"MRV_TRN_MANUFACTURERS_100"});
    const QString logs = dir.filePath(u"logs"_s);
    {
        ui.answers = {Yes};
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, worksheet(), manager);
        EXPECT_EQ(flow.copyToTargetCompany(), S_OK) << said();
        EXPECT_GT(flow.intermediateFileSize(), 0);
        EXPECT_TRUE(QDir(own).isEmpty());
    }
    ASSERT_TRUE(QDir(own).removeRecursively());
    ASSERT_TRUE(QFile::link(dir.path(), own));
    const qsizetype logsBefore = QDir(logs).entryList(QDir::Files).size();
    EXPECT_EQ(copy(), E_FAIL);
    EXPECT_TRUE(ui.shown(u"error: "_s).value(0).contains(u"mirrova is a symbolic link"_s))
        << said();
    EXPECT_EQ(QDir(logs).entryList(QDir::Files).size(), logsBefore);
    qputenv("XDG_RUNTIME_DIR", saved);
}

// Base and target are compared when the target is confirmed: a base of a
// higher release is refused (releases compare as numbers, the patch level
// aside), other localizations are asked about and what may not cross them
// is left out, saying so.
TEST_F(CopyFlow, ABaseOfAHigherReleaseIsRefusedAndAnotherLocalizationIsAsked) {
    const auto setCompany = [&](const QString& db, int version, const char* localization) {
        column(*company(db), u"UPDATE CINF SET Version = %1, LawsSet = '%2'"_s.arg(version).arg(
                                 QLatin1String(localization)));
        (db == u"BASE" ? context.baseCompany : context.targetCompany) = company(db);
    };
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_CURRENCYSETTINGS_100"});
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    setCompany(u"BASE"_s, 880202, "US");
    for (const auto& [target, expected] : {std::pair{870000, E_FAIL}, std::pair{879999, E_FAIL},
                                           std::pair{880100, S_OK}, std::pair{1000000, S_OK}}) {
        setCompany(u"TARGET"_s, target, "US");
        ui.transcript.clear();
        EXPECT_EQ(flow.checkTarget(), expected) << target;
        EXPECT_EQ(ui.shown(u"error: "_s).size(), expected == S_OK ? 0 : 1) << target;
    }
    // In the run itself, before anything is written; a base file's own
    // version counts where there is no base company.
    setCompany(u"TARGET"_s, 870000, "US");
    ui.transcript.clear();
    EXPECT_EQ(flow.copyToTargetCompany(), E_FAIL);
    EXPECT_EQ(ui.shown(u"error: "_s),
              QStringList{u"Cannot copy when base version is higher than target version."_s});
    EXPECT_TRUE(flow.logPath().isEmpty());
    {
        const auto base = std::exchange(context.baseCompany, nullptr);
        manager.header().dbVersion = u"1000000"_s;
        manager.header().localization = u"US"_s;
        setCompany(u"TARGET"_s, 880202, "US");
        EXPECT_EQ(flow.checkTarget(), E_FAIL);
        context.baseCompany = base;
    }

    // Another localization: "No" stops the run, "Yes" copies what may
    // cross localizations and names what is left out.
    setCompany(u"TARGET"_s, 880202, "DE");
    ui.answers = {No};
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    EXPECT_TRUE(firms(*context.targetCompany).isEmpty());
    ui.transcript.clear();
    ui.answers = {Yes, Yes};
    EXPECT_EQ(flow.copyToTargetCompany(), S_OK) << said();
    EXPECT_EQ(firms(*context.targetCompany).size(), 8);
    EXPECT_EQ(ui.shown(u"warning: "_s),
              QStringList{u"These categories cannot be copied between different localizations "
                          u"and are not copied: Currency Settings"_s});
    EXPECT_EQ(worksheet().findLeaf(u"MRV_TRN_CURRENCYSETTINGS_100"_s)->selected,
              MRV_WorksheetNode::NotSelected);
}

// User-defined tables and fields go only between two MS-SQL databases:
// outside them the user is asked, "No" stops the run before anything is
// written, "Yes" copies the rest and names what is left out. Between MS-SQL
// databases nobody is asked and the tables arrive.
class UserDefinedElements : public CopyFlow, public ::testing::WithParamInterface<int> {
protected:
    int serverType() const override { return GetParam(); }
};

TEST_P(UserDefinedElements, OutsideMsSqlTheUserDecides) {
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_UDT_100", "MRV_TRN_UDF_100"});
    const bool outside = GetParam() != 6;
    const QStringList question{ui.text(10052)};
    LLObjectsCOM::Company& target = *context.targetCompany;
    const QString tables = u"SELECT TableName FROM OUTB WHERE TableName NOT LIKE 'MRV%' AND "
                           u"TableName <> 'TSEXTDBVERSION' ORDER BY 1"_s;
    if (outside) {
        EXPECT_EQ(copy({No}), S_FALSE);
        EXPECT_EQ(ui.shown(u"question: "_s), question);
        EXPECT_TRUE(firms(target).isEmpty());
        EXPECT_TRUE(logPath.isEmpty());
    }
    EXPECT_EQ(copy({Yes, Yes}), S_OK) << said();
    EXPECT_EQ(firms(target).size(), 8);
    EXPECT_EQ(ui.shown(u"question: "_s).contains(question.first()), outside);
    EXPECT_EQ(ui.shown(u"warning: "_s),
              outside ? QStringList{u"These categories can only be copied between two "
                                    u"MS-SQL databases and are not copied: User-Defined Fields, "
                                    u"User-Defined Tables"_s}
                      : QStringList());
    const QStringList baseTables = column(*context.baseCompany, tables);
    ASSERT_FALSE(baseTables.isEmpty());
    EXPECT_EQ(column(target, tables), outside ? QStringList() : baseTables);
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, UserDefinedElements, ::testing::Values(6, 5, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Type" + std::to_string(info.param);
                         });

// A target that another program holds locked: the category that cannot be
// written is shown with the host's reason and logged as failed, and the
// run says it failed.
TEST_F(CopyFlow, ALockedTargetIsReportedWithItsReason) {
    select({"MRV_TRN_MANUFACTURERS_100"});
    UnlocksAtTheFirstFailure locked;
    EXPECT_EQ(copyWhileLocked(locked, false), E_FAIL);
    const QStringList errors = locked.shown(u"status bold: "_s);
    ASSERT_FALSE(errors.isEmpty()) << locked.transcript.join(u'\n').toStdString();
    // A run that replaces is one transaction: it fails whole, each of its
    // categories logged with why.
    EXPECT_TRUE(errors.last().startsWith(
        u"The copy was not kept, and the target company has nothing of it: "_s))
        << errors.last().toStdString();
    EXPECT_TRUE(errors.last().contains(u"locked"_s)) << errors.last().toStdString();
    const QList<MRV_LogFile::Row> rows = logRows(logPath);
    ASSERT_EQ(rows.size(), 1);
    for (const MRV_LogFile::Row& row : rows) {
        EXPECT_EQ(row[MRV_LogFile::Result], u"Failed"_s);
        EXPECT_EQ(row[MRV_LogFile::Category], u"Manufacturers"_s);
        EXPECT_TRUE(row[MRV_LogFile::Error].contains(u"locked"_s));
    }
}

// A category that failed whole still fails the run when the categories after
// it are written: the run once said it succeeded then.
TEST_F(CopyFlow, AFailedCategoryFailsTheRunThoughLaterOnesAreWritten) {
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_PROJECTS_100"});
    // Each category its own transaction (a run that replaces is one).
    context.copyMethod = 4;
    UnlocksAtTheFirstFailure locked;
    EXPECT_EQ(copyWhileLocked(locked, true), E_FAIL);
    EXPECT_FALSE(locked.unlock) << "no category failed";
    QStringList failed;
    for (const MRV_LogFile::Row& row : logRows(logPath))
        if (row[MRV_LogFile::Result] == u"Failed")
            failed << row[MRV_LogFile::Category];
    EXPECT_EQ(failed.size(), 1) << failed.join(u", "_s).toStdString();
    // The later categories were written.
    EXPECT_FALSE(firms(*context.targetCompany).isEmpty());
}

// Stands for a user whose program is killed while a question is open.
class KilledAtAFailure : public MRV_ScriptedInteraction {
protected:
    int messageBox(Kind kind, const QString& caption, const QString& text, bool withCancel,
                   int defaultButton) override {
        if (text.startsWith(u"The following record failed"_s))
            ::raise(SIGKILL);
        return MRV_ScriptedInteraction::messageBox(kind, caption, text, withCancel, defaultButton);
    }
};

// A run killed in the middle of a category leaves the target without the
// category's records, and the log without their lines.
TEST_F(CopyFlow, AKilledRunLogsNothingOfTheCategoryTheTargetRolledBack) {
    LLObjectsCOM::Company& target = *context.targetCompany;
    const QString last = column(*context.baseCompany, u"SELECT FirmName FROM OMRC WHERE FirmCode = "
                                                      u"(SELECT MAX(FirmCode) FROM OMRC)"_s)
                             .value(0);
    ASSERT_FALSE(last.isEmpty());
    column(target, u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (90, '%1')"_s.arg(
                       QString(last).replace(u'\'', u"''"_s)));
    const QStringList before = firms(target);
    select({"MRV_TRN_MANUFACTURERS_100"});
    // Add new records only: the last one exists already and fails, and the
    // question about it is where the run dies.
    context.copyMethod = 3;
    context.responseToFailure = 1;
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            KilledAtAFailure killed;
            killed.answers = {Yes};
            MRV_InteractionScope killedScope{killed};
            MRV_ConfigurationManager manager(context);
            MRV_CopyFlow(context, worksheet(), manager).copyToTargetCompany();
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");

    EXPECT_EQ(firms(target), before);
    QStringList logs;
    for (QDirIterator it(dir.filePath(u"logs"_s), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        logs << it.next();
    ASSERT_EQ(logs.size(), 1);
    bool ended = true;
    for (const MRV_LogFile::Row& row : logRows(logs.first(), &ended))
        EXPECT_NE(row[MRV_LogFile::Category], u"Manufacturers"_s) << row.join(u'|').toStdString();
    EXPECT_FALSE(ended);
}

// Base records that cannot travel: values holding characters XML cannot
// carry (a business object's and a table row's), and a key the base lists
// but its object cannot read. Each fails alone, with why; the rest goes on.
TEST_F(CopyFlow, ABaseRecordThatCannotTravelFailsAloneWithItsReason) {
    QString firstProject;
    {
        QSqlDatabase file = raw(u"BASE"_s);
        QSqlQuery q(file);
        for (const char* sql :
             {// A value the server would refuse, planted past its checks.
              "PRAGMA ignore_check_constraints = ON",
              "UPDATE OMRC SET FirmName = 'Bad' || char(0) || 'Name' WHERE FirmCode = 1",
              "INSERT INTO OMRC (FirmCode, FirmName) VALUES (90000, 'Too far')",
              "UPDATE OPRJ SET PrjName = 'P' || char(1) WHERE rowid = "
              "(SELECT MIN(rowid) FROM OPRJ)"})
            ASSERT_TRUE(q.exec(QLatin1String(sql))) << sql << q.lastError().text().toStdString();
        ASSERT_TRUE(q.exec(u"SELECT PrjCode FROM OPRJ ORDER BY rowid LIMIT 1"_s));
        ASSERT_TRUE(q.next());
        firstProject = q.value(0).toString();
        q.finish();
        file.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    LLObjectsCOM::Company& base = *context.baseCompany;
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_PROJECTS_100"});
    const QStringList failures{
        "'Manufacturers': the base record 1 is not copied: The value of ManufacturerName holds "
        "a character that XML cannot carry (U+0000)",
        "'Manufacturers': the base record 90000 is not copied: ",
        "'Projects': the base record " + firstProject +
            " is not copied: The value of PrjName holds a character that XML cannot carry "
            "(U+0001)"};
    const auto expectFailures = [&] {
        const QStringList shown = ui.shown(u"status bold: "_s);
        ASSERT_GE(shown.size(), failures.size()) << said();
        for (const QString& failure : failures)
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                    [&](const QString& s) { return s.startsWith(failure); }))
                << failure.toStdString() << "\n"
                << shown.join(u'\n').toStdString();
    };

    // The file holds the others and every parser reads it.
    const QString path = dir.filePath(u"out.xml"_s);
    {
        MRV_ConfigurationManager manager(context);
        EXPECT_EQ(MRV_CopyFlow(context, worksheet(), manager).saveConfigurationFile(path), S_FALSE);
        expectFailures();
        MRV_ConfigurationManager reader(context);
        ASSERT_EQ(reader.openFile(path), S_OK) << said();
        QList<ConfigurationTableData> tables;
        reader.getData(u"MRV_TRN_MANUFACTURERS_100"_s, tables);
        ASSERT_EQ(tables.size(), 1);
        EXPECT_EQ(tables[0].documents.size(), firms(base).size() - 2);
    }

    // Told to stop at the first failure, the run stops before it writes.
    LLObjectsCOM::Company& target = *context.targetCompany;
    const QString projects = u"SELECT PrjCode FROM OPRJ ORDER BY 1"_s;
    context.responseToFailure = 2;
    EXPECT_EQ(copy(), E_ABORT);
    EXPECT_TRUE(column(target, projects).isEmpty());

    // Going on past failures, the copy writes the others, logs the three
    // and fails.
    context.responseToFailure = 0;
    EXPECT_EQ(copy(), E_FAIL);
    expectFailures();
    EXPECT_EQ(firms(target), firms(base, u"FirmCode NOT IN (-1, 1, 90000)"_s));
    EXPECT_EQ(column(target, projects),
              column(base, u"SELECT PrjCode FROM OPRJ WHERE PrjCode <> '%1' ORDER BY 1"_s.arg(
                               firstProject)));
    const QStringList failed = failedLines();
    ASSERT_EQ(failed.size(), 3) << failed.join(u'\n').toStdString();
    // Projects are written before manufacturers.
    EXPECT_TRUE(failed[0].startsWith(firstProject + u" The value of PrjName"_s));
    EXPECT_TRUE(failed[1].startsWith(u"1 The value of ManufacturerName"_s));
    EXPECT_TRUE(failed[2].startsWith(u"90000 "_s));
    EXPECT_TRUE(failed[2].contains(u"not a whole number"_s));
}

// Names travel as they are, blanks and line ends only included; on a server
// that ignores case two names that differ only in case are one record to the
// target: the first is copied, the second fails naming it, on every run,
// and no run makes a duplicate.
TEST_F(CopyFlow, NamesArriveAsTheyAreAndOnceAsTheServerComparesThem) {
    LLObjectsCOM::Company& base = *context.baseCompany;
    column(base, u"DELETE FROM OMRC WHERE FirmCode <> -1"_s);
    const QStringList names{"   ", "\r", " \r\n ", "NULL", "null"};
    for (qsizetype i = 0; i < names.size(); ++i)
        column(base, u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (%1, N'%2')"_s.arg(i + 1).arg(
                         names[i]));
    const QString byCode = u"SELECT FirmName FROM OMRC WHERE FirmCode > 0 ORDER BY FirmCode"_s;
    ASSERT_EQ(column(base, byCode), names);
    select({"MRV_TRN_MANUFACTURERS_100"});
    context.copyMethod = 4;
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(copy(), S_OK) << said();
        EXPECT_EQ(column(*context.targetCompany, byCode), names.mid(0, 4)) << "run " << run;
        EXPECT_EQ(failedLines(),
                  QStringList("5 The target company takes this record for the base record 4 "
                              "written before it (their keys or names differ only in case)"))
            << "run " << run;
    }
}

TEST_F(CopyFlow, APartialSelectionCopiesOnlyThePickedRecords) {
    const QString leaf = worksheet().findLeaf(u"MRV_TRN_MANUFACTURERS_100"_s)->leafId;
    QList<MRV_SelectionObject> picked;
    for (const char* code : {"1", "3"})
        picked.append({{{u"FirmCode"_s, QLatin1String(code), u"int"_s}}, {}, {}});
    ASSERT_TRUE(worksheet().selectRecords(leaf, picked));
    ASSERT_EQ(copy(), S_OK) << said();
    EXPECT_EQ(firms(*context.targetCompany), firms(*context.baseCompany, u"FirmCode IN (1, 3)"_s));
}

// The file's text with the creation date (the one value that changes from
// run to run) taken out.
QString withoutDate(const QByteArray& bytes) {
    static const QRegularExpression date(u"<creationDate>[^<]*</creationDate>"_s);
    return utf16Text(bytes).replace(date, u"<creationDate></creationDate>"_s);
}

// The file holds only the selected categories that have records: the
// commission groups, emptied in the base, leave no OBJECT.
TEST_F(CopyFlow, AKnownSelectionWritesTheStoredFileAndAnyParserReadsIt) {
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_PROJECTS_100", "MRV_TRN_SHIPPINGTYPES_100",
            "MRV_TRN_TERRITORIES_100", "MRV_TRN_COMMISIONGROUPS_100"});
    column(*context.baseCompany, u"DELETE FROM OCOG"_s);
    worksheet().creationUser = u"manager"_s;
    worksheet().additionalDescr = u"Roll-out & <test>"_s;
    MRV_ConfigurationManager manager(context);
    const QString path = dir.filePath(u"known.xml"_s);
    ASSERT_EQ(MRV_CopyFlow(context, worksheet(), manager).saveConfigurationFile(path), S_OK);
    const QByteArray bytes = logtest::readBytes(path);
    ASSERT_TRUE(bytes.startsWith("\xff\xfe"));
    const QString text = withoutDate(bytes);
    EXPECT_EQ(text, withoutDate(logtest::readBytes(u"" MIRROVA_SOURCE_DIR
                                                   "/tests/config/data/known-config.xml"_s)));

    // A parser that is not the program's own takes it.
    QXmlStreamReader xml(text);
    int elements = 0;
    while (!xml.atEnd())
        elements += xml.readNext() == QXmlStreamReader::StartElement;
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(elements, 100);
}

// The users a run adds get first passwords that only the operator's file
// beside the log holds: the run names the file, and neither the log nor a
// configuration file of the same selection holds a password.
TEST_F(CopyFlow, NewUsersFirstPasswordsAreInTheOperatorsFileOnly) {
    select({"MRV_TRN_USERSLEAF_100", "MRV_TRN_AUTHORIZATIONSLEAF_100"});
    context.copyMethod = 4;
    ASSERT_EQ(copy({Yes, Yes, Yes}), S_OK) << said();
    EXPECT_EQ(failedLines(), QStringList());
    const QString passwords = MRV_InitialPasswords::pathFor(logPath);
    EXPECT_TRUE(ui.transcript.contains(u"initial passwords: "_s + passwords)) << said();
    QFile file(passwords);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList secrets;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.isEmpty() && !line.startsWith(u'#'))
            secrets << line.section(u'\t', 1);
    ASSERT_FALSE(secrets.isEmpty()); // the manager's suite counts them
    MRV_ConfigurationManager manager(context);
    const QString config = dir.filePath(u"users.xml"_s);
    ASSERT_EQ(MRV_CopyFlow(context, worksheet(), manager).saveConfigurationFile(config), S_OK);
    for (const QString& text :
         {utf16Text(logtest::readBytes(logPath)), utf16Text(logtest::readBytes(config))}) {
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains(u"UserPassword"_s));
        for (const QString& secret : std::as_const(secrets))
            EXPECT_FALSE(text.contains(secret));
    }
}

TEST_F(CopyFlow, AConfigurationFileIsTheBaseOfALaterRunAndABrokenOneWritesNothing) {
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_PROJECTS_100"});
    QDir().mkpath(dir.filePath(u"configs"_s));
    const QString file = dir.filePath(u"configs/base.xml"_s);
    const auto save = [&] {
        MRV_ConfigurationManager writer(context);
        return MRV_CopyFlow(context, worksheet(), writer).saveConfigurationFile(file);
    };
    ASSERT_EQ(save(), S_OK);
    // A hostile project name travels through the file unchanged; the file
    // is written over.
    const QString nasty = u"O'Brien & \"Sons\" <Ltd>\r\nline two"_s;
    column(*context.baseCompany, u"UPDATE OPRJ SET PrjName = N'%1' WHERE PrjCode = N'PRJ001'"_s.arg(
                                     QString(nasty).replace(u'\'', u"''"_s)));
    ASSERT_EQ(save(), S_OK);

    // A category the program does not know, slipped into the file, is
    // passed over.
    ASSERT_EQ(MRV_ConfigurationManager(context).writeToFile(
                  file, utf16Text(logtest::readBytes(file))
                            .replace(u"<body>\n"_s,
                                     u"<body>\n<OBJECT string_id=\"MRV_TRN_NOSUCH_100\"><table "
                                     "name=\"OMRC\"><BOM><BO><AdmInfo><Object>43</Object>"
                                     "</AdmInfo><OMRC><row><ManufacturerName>Ghost"
                                     "</ManufacturerName></row></OMRC></BO></BOM></table>"
                                     "</OBJECT>\n"_s)),
              S_OK);

    // The later run: the file is the base, the company stays the target.
    std::unique_ptr<MRV_ConfigurationManager> manager;
    std::unique_ptr<MRV_ConfigurationController> controller;
    const auto openFrom = [&](const QString& path) {
        selection.reset();
        context.reset();
        context.company = company(u"TARGET"_s);
        context.targetCompany = context.company;
        context.baseFilePath = path;
        context.databaseName = path;
        storeSettings();
        controller.reset();
        manager = std::make_unique<MRV_ConfigurationManager>(context);
        controller = std::make_unique<MRV_ConfigurationController>(context, *manager);
        selection = std::make_unique<MRV_SelectionManager>(&context, controller.get());
        return selection->openWorksheet();
    };
    ASSERT_EQ(openFrom(file), S_OK) << said();
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_PROJECTS_100"});
    ASSERT_EQ(copy({Yes}, manager.get()), S_OK) << said();
    const auto held = context.targetCompany; // the context lets go of it below
    LLObjectsCOM::Company& target = *held;
    EXPECT_EQ(column(target, u"SELECT PrjName FROM OPRJ WHERE PrjCode = N'PRJ001'"_s),
              QStringList{nasty});
    EXPECT_EQ(firms(target).size(), 8);
    EXPECT_FALSE(firms(target).contains(u"Ghost"_s));

    // A file saved from the base file carries the version of the company
    // the data came from, not 0.
    const QString again = dir.filePath(u"configs/again.xml"_s);
    ASSERT_EQ(MRV_CopyFlow(context, worksheet(), *manager).saveConfigurationFile(again), S_OK)
        << said();
    {
        MRV_ConfigurationManager reader(context);
        ASSERT_EQ(reader.openFile(again), S_OK);
        EXPECT_EQ(reader.header().dbVersion, QString::number(company(u"BASE"_s)->Version()));
        EXPECT_NE(reader.header().dbVersion, u"0"_s);
    }

    // The same file cut inside a record: it cannot be opened, and the
    // target is not touched.
    const QByteArray bytes = logtest::readBytes(file);
    const QString cut = dir.filePath(u"configs/cut.xml"_s);
    ASSERT_TRUE(
        logtest::writeBytes(cut, bytes.left(bytes.indexOf(QByteArray("O\0M\0R\0C\0", 8)) + 40)));
    column(target, u"DELETE FROM OPRJ"_s);
    EXPECT_NE(openFrom(cut), S_OK);
    EXPECT_TRUE(column(*company(u"TARGET"_s), u"SELECT PrjCode FROM OPRJ"_s).isEmpty());
}

TEST_F(CopyFlow, AFailedRecordStopsTheRunWhenTheResponseSaysSo) {
    // Countries fail (no address formats in the target); Manufacturers come
    // after them in the writing order.
    select({"MRV_TRN_COUNTRIES_100", "MRV_TRN_MANUFACTURERS_100"});

    // Terminate: the first failure ends the run; nothing after it is written.
    context.responseToFailure = 2;
    EXPECT_EQ(copy({Yes, Yes}), E_ABORT); // the unselected address formats, the backup
    EXPECT_TRUE(ui.shown(u"error: "_s).value(0).startsWith(u"Copy process terminated."_s));
    bool ended = false;
    EXPECT_EQ(logRows(logPath, &ended).size(), 1) << "the failed record, and nothing after it";
    EXPECT_TRUE(ended);
    EXPECT_TRUE(firms(*context.targetCompany).isEmpty());

    // Continue: every failure is logged and the rest is written. (The
    // answers to each failure are the engine's suite's.)
    context.responseToFailure = 0;
    EXPECT_EQ(copy({Yes, Yes}), S_OK);
    EXPECT_EQ(firms(*context.targetCompany).size(), 8);
}

// Records the host numbers itself are found in the target by name, as the
// server compares names (here without regard to case), however many there
// are; new ones get keys after the highest.
TEST_F(CopyFlow, RecordsTheHostNumbersAreFoundByNameAndNewOnesNumberedAfterTheRest) {
    LLObjectsCOM::Company& target = *context.targetCompany;
    column(target, u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (50, N'ACORN DEVICES')"_s);
    select({"MRV_TRN_MANUFACTURERS_100"});
    context.copyMethod = 4;
    for (int run = 0; run < 2; ++run)
        ASSERT_EQ(copy(), S_OK) << said();
    // Twice copied, each name once; the existing record kept its key.
    EXPECT_EQ(firms(target).size(), firms(*context.baseCompany).size());
    EXPECT_EQ(firms(target, u"FirmCode = 50"_s), QStringList{u"Acorn Devices"_s});
    EXPECT_EQ(column(target, u"SELECT MIN(FirmCode) FROM OMRC WHERE FirmName <> N'Acorn Devices' "
                             u"AND FirmCode <> -1"_s),
              QStringList{u"51"_s});
}

} // namespace
