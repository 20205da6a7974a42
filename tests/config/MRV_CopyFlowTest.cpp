#include "config/MRV_CopyFlow.h"
#include "TestData.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "config/MRV_ConfigurationController.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_LogFile.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SQLBuilder.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "host/HostTestSupport.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLRecordset.h"
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

using namespace Qt::StringLiterals;

namespace {

// A standard demo company as base and an empty company as target, with a
// worksheet over them, as the copy command finds them.
class CopyFlow : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(serverType()));
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, QStringLiteral("BASE"),
                                               QStringLiteral("standard"), 7, &error))
            << error.toStdString();
        createCompany(*server, QStringLiteral("TARGET"), QStringLiteral("Target Ltd"));
        context.company = company(QStringLiteral("BASE"));
        context.baseCompany = context.company;
        context.targetCompany = company(QStringLiteral("TARGET"));
        context.targetCompanyName = QStringLiteral("Target Ltd");
        ASSERT_GE(MRV_UDTManager(&context).checkCompany(), 0);
        MRV_SettingsManager settings(&context);
        settings.setDefaultSettings();
        settings.setLogFileFolder(dir.filePath(QStringLiteral("logs")));
        QDir().mkpath(settings.logFileFolder());
        ASSERT_EQ(settings.saveSettingsToDatabase(), S_OK);
        selection = std::make_unique<MRV_SelectionManager>(&context);
        ASSERT_EQ(selection->openWorksheet(), S_OK);
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
    // A run of the copy over the worksheet as it stands.
    HRESULT copy() {
        MRV_ConfigurationManager manager(context);
        return MRV_CopyFlow(context, worksheet(), manager).copyToTargetCompany();
    }
    // The failed lines of a copy log, as "base code error".
    static QStringList failedLines(const QString& logPath) {
        MRV_LogFile log(logPath);
        EXPECT_EQ(log.loadLogFile(), S_OK);
        QStringList failed;
        for (const MRV_LogFile::Row& row : log.rows())
            if (row[MRV_LogFile::Result] == u"Failed")
                failed << row[MRV_LogFile::BaseCode] + u' ' + row[MRV_LogFile::Error];
        return failed;
    }
    void selectEveryCategoryWithAManager() {
        for (const auto& node : worksheet().nodes)
            if (node->leaf && MRV_DataInterfaceFactory::hasManager(node->categoryId))
                worksheet().select(node->leafId, 1);
    }
    QStringList column(LLObjectsCOM::Company& c, const QString& sql) {
        std::unique_ptr<LLObjectsCOM::Recordset> rs = c.GetRecordset();
        rs->DoQuery(sql);
        QStringList values;
        for (; !rs->EoF(); rs->MoveNext())
            values << rs->Field(0).toString();
        return values;
    }

    std::optional<LLObjectsCOM::Server> server;
    MRV_ConnectionContext context;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    std::unique_ptr<MRV_SelectionManager> selection;
};

// The standard company copied whole into an empty one, on each dialect.
// The users, their branches and departments, the report types with their
// layouts and the queries come with categories of their own that this
// program does not copy yet: the target is given them first, with the
// series of its own years, and the user-defined fields are left out by the
// copy option.
class WholeCopy : public CopyFlow, public ::testing::WithParamInterface<int> {
protected:
    int serverType() const override { return GetParam(); }
    void SetUp() override {
        CopyFlow::SetUp();
        LLObjectsCOM::Company& base = *context.baseCompany;
        LLObjectsCOM::Company& target = *context.targetCompany;
        // Users under other numbers, known by their codes.
        const QStringList users = column(target, u"SELECT USER_CODE FROM OUSR"_s);
        int key = 100;
        for (const QString& code : column(base, u"SELECT USER_CODE FROM OUSR"_s))
            if (!users.contains(code))
                exec(target, u"INSERT INTO OUSR (INTERNAL_K, USERID, USER_CODE) VALUES (%1, %1, "
                             u"%2)"_s.arg(key++)
                                 .arg(literal(code)));
        // Each table's rows as the base has them; document numbering brings
        // the series of the "Default" period indicator only, and a company
        // has its own series for its years.
        for (const auto& [into, select] :
             {std::pair{"OUBR (Code, Name)", "Code, Name FROM OUBR"},
              {"OUDP (Code, Name)", "Code, Name FROM OUDP"},
              {"RTYP (TypeCode, TypeName)", "TypeCode, TypeName FROM RTYP"},
              {"RDOC (DocCode, DocName, TypeCode)", "DocCode, DocName, TypeCode FROM RDOC"},
              {"OQCN (CategoryId, CatName)", "CategoryId, CatName FROM OQCN"},
              {"OUQR (IntrnalKey, QCategory, QName, QString)",
               "IntrnalKey, QCategory, QName, QString FROM OUQR"},
              {"NNM1 (ObjectCode, Series, SeriesName, DocSubType, InitialNum, Indicator)",
               "ObjectCode, Series + 1000, SeriesName, DocSubType, InitialNum, Indicator FROM "
               "NNM1 WHERE Indicator <> 'Default'"}})
            copyRows(base, target, u"SELECT "_s + QLatin1String(select),
                     u"INSERT INTO "_s + QLatin1String(into));
        context.ignoreMissingUdf = true;
    }
    QString literal(const QString& text) const { return MRV_SQLBuilder::textLiteral(text, 6); }
    void exec(LLObjectsCOM::Company& c, const QString& sql) { c.GetRecordset()->DoQuery(sql); }
    void copyRows(LLObjectsCOM::Company& from, LLObjectsCOM::Company& to, const QString& select,
                  const QString& insert) {
        const std::unique_ptr<LLObjectsCOM::Recordset> rs = from.GetRecordset();
        rs->DoQuery(select);
        for (; !rs->EoF(); rs->MoveNext()) {
            QStringList values;
            for (int i = 0; i < rs->FieldCount(); ++i)
                values << (rs->Field(i).isNull() ? u"NULL"_s : literal(rs->Field(i).toString()));
            exec(to, insert + u" VALUES ("_s + values.join(u", "_s) + u')');
        }
    }
    // The log's lines that did not succeed, and those that added a record.
    QStringList lines(const QString& logPath, bool added) {
        MRV_LogFile log(logPath);
        EXPECT_EQ(log.loadLogFile(), S_OK);
        EXPECT_TRUE(log.hasEndLine());
        QStringList found;
        for (const MRV_LogFile::Row& row : log.rows())
            if (added ? row[MRV_LogFile::TransType] == ui.text(212)
                      : row[MRV_LogFile::Result] != ui.text(402))
                found << row.join(u'|');
        return found;
    }
};

TEST_P(WholeCopy, EveryRecordArrivesOnceAndARerunAddsNothing) {
    selectEveryCategoryWithAManager();
    // Categories whose needed categories are not selected, those that
    // refuse the copy method (copied another way), and the backup question.
    ui.answers = {MRV_Interaction::ButtonYes, MRV_Interaction::ButtonYes,
                  MRV_Interaction::ButtonYes};
    MRV_ConfigurationManager manager(context);
    {
        MRV_CopyFlow flow(context, worksheet(), manager);
        ASSERT_EQ(flow.copyToTargetCompany(), S_OK) << ui.transcript.join(u'\n').toStdString();
        EXPECT_TRUE(ui.shown(QStringLiteral("unscripted")).isEmpty());
        EXPECT_EQ(lines(flow.logPath(), false), QStringList());
    }
    LLObjectsCOM::Company& base = *context.baseCompany;
    LLObjectsCOM::Company& target = *context.targetCompany;
    // Records known by the same codes everywhere arrive under them; those
    // the target numbers arrive as many.
    for (const char* sql :
         {"SELECT FirmCode || FirmName FROM OMRC ORDER BY 1", "SELECT PrjCode FROM OPRJ ORDER BY 1",
          "SELECT CardCode || CardType || COALESCE(FatherCard, '') FROM OCRD ORDER BY 1",
          "SELECT ItemCode || ItemName FROM OITM ORDER BY 1",
          "SELECT TreeCode FROM OITT ORDER BY 1", "SELECT AlcCode FROM OALC ORDER BY 1",
          "SELECT COUNT(*) FROM ITM1", "SELECT COUNT(*) FROM CRD1", "SELECT COUNT(*) FROM OCPR",
          "SELECT COUNT(*) FROM ITT1", "SELECT COUNT(*) FROM OSPP", "SELECT COUNT(*) FROM OSCN",
          "SELECT COUNT(*) FROM OALI", "SELECT COUNT(*) FROM OJDT", "SELECT COUNT(*) FROM JDT1",
          "SELECT COUNT(*) FROM ODUT", "SELECT COUNT(*) FROM OFRM",
          "SELECT Name FROM OUDG ORDER BY 1"}) {
        const QStringList expected = column(base, QLatin1String(sql));
        EXPECT_FALSE(expected.isEmpty()) << sql;
        EXPECT_EQ(column(target, QLatin1String(sql)), expected) << sql;
    }
    EXPECT_EQ(column(target, u"SELECT TransId FROM JDT1 GROUP BY TransId HAVING "
                             u"ROUND(SUM(Debit) - SUM(Credit), 2) <> 0"_s),
              QStringList());

    // A rerun that adds and updates finds every record there.
    context.copyMethod = 4;
    ui.transcript.clear();
    ui.answers = {MRV_Interaction::ButtonYes, MRV_Interaction::ButtonYes,
                  MRV_Interaction::ButtonYes};
    MRV_CopyFlow again(context, worksheet(), manager);
    ASSERT_EQ(again.copyToTargetCompany(), S_OK) << ui.transcript.join(u'\n').toStdString();
    EXPECT_EQ(lines(again.logPath(), false), QStringList());
    EXPECT_EQ(lines(again.logPath(), true), QStringList());
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
    MRV_WorksheetNode* accounts = worksheet().findLeaf(QStringLiteral("MRV_TRN_ACCOUNTS_100"));
    ASSERT_NE(accounts, nullptr);
    const QString code =
        column(*context.baseCompany,
               QStringLiteral("SELECT AcctCode FROM OACT WHERE Postable = 'Y' ORDER BY 1"))
            .value(0);
    MRV_SelectionObject one;
    one.keys = {{QStringLiteral("AcctCode"), code, QStringLiteral("string")}};
    worksheet().selectRecords(accounts->leafId, {one});
    ui.answers = {MRV_Interaction::ButtonNo};
    EXPECT_EQ(copy(), S_FALSE);
    EXPECT_EQ(ui.shown(QStringLiteral("question: ")), QStringList{ui.text(10059)});
    EXPECT_TRUE(ui.shown(QStringLiteral("copy dialog")).isEmpty());
    worksheet().select(accounts->leafId, MRV_WorksheetNode::Selected);
    ui.transcript.clear();
    ui.answers = {MRV_Interaction::ButtonNo}; // the backup question
    EXPECT_EQ(copy(), S_FALSE);
    EXPECT_FALSE(ui.shown(QStringLiteral("question: ")).contains(ui.text(10059)));
}

TEST_F(CopyFlow, TheChecksStopTheRunBeforeAnythingIsWritten) {
    selectEveryCategoryWithAManager();
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    const QStringList before =
        column(*context.targetCompany, QStringLiteral("SELECT Code FROM OCRY"));

    ui.confirmCopies = false;
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    ui.confirmCopies = true;
    const auto yes = MRV_Interaction::ButtonYes;
    const auto no = MRV_Interaction::ButtonNo;
    ui.answers = {no}; // without the categories they need: no
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    ui.answers = {yes, no}; // Currency Settings another way: no
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    ui.answers = {yes, yes, no}; // no backup yet
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    EXPECT_TRUE(ui.answers.isEmpty());
    // A forced backup must be recent.
    context.forceBackup = true;
    ui.answers = {yes, yes};
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    EXPECT_EQ(ui.shown(QStringLiteral("warning: ")).value(0),
              QStringLiteral("You must backup your target database before performing the copy "
                             "process"));
    EXPECT_TRUE(flow.logPath().isEmpty()) << "no log is opened before the checks pass";
    EXPECT_EQ(column(*context.targetCompany, QStringLiteral("SELECT Code FROM OCRY")), before);

    // With a fresh backup the run goes on.
    QString error;
    ASSERT_TRUE(LLObjectsCOM::Admin::backup(*server, QStringLiteral("TARGET"), QDateTime(), nullptr,
                                            &error))
        << error.toStdString();
    EXPECT_TRUE(flow.hasRecentBackup());
}

// The run's file is its own and gone when the run ends; a private folder
// that is a link stops the run, saying so, before the log is begun.
TEST_F(CopyFlow, TheRunsFileIsGoneAfterItAndALinkedFolderStopsItWithAMessage) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = dir.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    select({"MRV_TRN_MANUFACTURERS_100"});
    const QString logs = dir.filePath(QStringLiteral("logs"));
    {
        ui.answers = {MRV_Interaction::ButtonYes};
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, worksheet(), manager);
        EXPECT_EQ(flow.copyToTargetCompany(), S_OK) << ui.transcript.join(u'\n').toStdString();
        EXPECT_GT(flow.intermediateFileSize(), 0);
        EXPECT_TRUE(QDir(runtime + QStringLiteral("/mirrova")).isEmpty());
    }
    ASSERT_TRUE(QDir(runtime + QStringLiteral("/mirrova")).removeRecursively());
    ASSERT_TRUE(QFile::link(dir.path(), runtime + QStringLiteral("/mirrova")));
    const qsizetype logsBefore = QDir(logs).entryList(QDir::Files).size();
    ui.transcript.clear();
    ui.answers = {MRV_Interaction::ButtonYes};
    EXPECT_EQ(copy(), E_FAIL);
    EXPECT_TRUE(ui.shown(QStringLiteral("error: "))
                    .value(0)
                    .contains(QStringLiteral("mirrova is a symbolic link")))
        << ui.transcript.join(u'\n').toStdString();
    EXPECT_EQ(QDir(logs).entryList(QDir::Files).size(), logsBefore);
    qputenv("XDG_RUNTIME_DIR", saved);
}

// Base and target are compared when the target is confirmed: a base of a
// higher release is refused (releases compare as numbers, the patch level
// aside), other localizations are asked about and what may not cross them
// is left out, saying so.
TEST_F(CopyFlow, ABaseOfAHigherReleaseIsRefusedAndAnotherLocalizationIsAsked) {
    const auto setCompany = [&](const char* db, int version, const char* localization) {
        column(*company(QLatin1String(db)),
               QStringLiteral("UPDATE CINF SET Version = %1, LawsSet = '%2'")
                   .arg(version)
                   .arg(QLatin1String(localization)));
        (QLatin1String(db) == u"BASE" ? context.baseCompany : context.targetCompany) =
            company(QLatin1String(db));
    };
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_CURRENCYSETTINGS_100"});
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    setCompany("BASE", 880202, "US");
    for (const auto& [target, expected] : {std::pair{870000, E_FAIL}, std::pair{879999, E_FAIL},
                                           std::pair{880100, S_OK}, std::pair{1000000, S_OK}}) {
        setCompany("TARGET", target, "US");
        ui.transcript.clear();
        EXPECT_EQ(flow.checkTarget(), expected) << target;
        EXPECT_EQ(ui.shown(QStringLiteral("error: ")).size(), expected == S_OK ? 0 : 1) << target;
    }
    // In the run itself, before anything is written; a base file's own
    // version counts where there is no base company.
    setCompany("TARGET", 870000, "US");
    ui.transcript.clear();
    EXPECT_EQ(flow.copyToTargetCompany(), E_FAIL);
    EXPECT_EQ(ui.shown(QStringLiteral("error: ")),
              QStringList{QStringLiteral("Cannot copy when base version is higher than target "
                                         "version.")});
    EXPECT_TRUE(flow.logPath().isEmpty());
    {
        const auto base = std::exchange(context.baseCompany, nullptr);
        manager.header().dbVersion = QStringLiteral("1000000");
        manager.header().localization = QStringLiteral("US");
        setCompany("TARGET", 880202, "US");
        EXPECT_EQ(flow.checkTarget(), E_FAIL);
        context.baseCompany = base;
    }

    // Another localization: "No" stops the run, "Yes" copies what may
    // cross localizations and names what is left out.
    setCompany("TARGET", 880202, "DE");
    const QString manufacturers = QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1");
    ui.answers = {MRV_Interaction::ButtonNo};
    EXPECT_EQ(flow.copyToTargetCompany(), S_FALSE);
    EXPECT_TRUE(column(*context.targetCompany, manufacturers).isEmpty());
    ui.transcript.clear();
    ui.answers = {MRV_Interaction::ButtonYes, MRV_Interaction::ButtonYes};
    EXPECT_EQ(flow.copyToTargetCompany(), S_OK) << ui.transcript.join(u'\n').toStdString();
    EXPECT_EQ(column(*context.targetCompany, manufacturers).size(), 8);
    EXPECT_EQ(ui.shown(QStringLiteral("warning: ")),
              QStringList{QStringLiteral("These categories cannot be copied between different "
                                         "localizations and are not copied: Currency Settings")});
    EXPECT_EQ(worksheet().findLeaf(QStringLiteral("MRV_TRN_CURRENCYSETTINGS_100"))->selected,
              MRV_WorksheetNode::NotSelected);
}

// A target that another program holds locked: the category that cannot be
// written is shown with the host's reason and logged as failed, and the
// run says it failed.
TEST_F(CopyFlow, ALockedTargetIsReportedWithItsReason) {
    qputenv("LEDGERLINE_BUSY_TIMEOUT_MS", "20");
    context.targetCompany = company(QStringLiteral("TARGET"));
    select({"MRV_TRN_MANUFACTURERS_100"});
    {
        QSqlDatabase locker =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(server->folder() + QStringLiteral("/TARGET.db"));
        ASSERT_TRUE(locker.open());
        QSqlQuery hold(locker);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        ui.answers = {MRV_Interaction::ButtonYes};
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, worksheet(), manager);
        EXPECT_EQ(flow.copyToTargetCompany(), E_FAIL);
        const QStringList errors = ui.shown(QStringLiteral("status bold: "));
        ASSERT_FALSE(errors.isEmpty()) << ui.transcript.join(u'\n').toStdString();
        EXPECT_TRUE(errors.last().startsWith(
            QStringLiteral("'Manufacturers' could not be written into the target company: ")))
            << errors.last().toStdString();
        EXPECT_TRUE(errors.last().contains(QStringLiteral("locked")))
            << errors.last().toStdString();
        MRV_LogFile log(flow.logPath());
        ASSERT_EQ(log.loadLogFile(), S_OK);
        // The removal of "Replace All" and the writing: each fails whole.
        ASSERT_EQ(log.rows().size(), 2);
        for (const MRV_LogFile::Row& row : log.rows()) {
            EXPECT_EQ(row[MRV_LogFile::Result], QStringLiteral("Failed"));
            EXPECT_EQ(row[MRV_LogFile::Category], QStringLiteral("Manufacturers"));
            EXPECT_TRUE(row[MRV_LogFile::Error].contains(QStringLiteral("locked")));
        }
        hold.exec(QStringLiteral("ROLLBACK"));
        locker.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    qunsetenv("LEDGERLINE_BUSY_TIMEOUT_MS");
}

// Stands for a user whose program is killed while a question is open.
class KilledAtAFailure : public MRV_ScriptedInteraction {
protected:
    int messageBox(Kind kind, const QString& caption, const QString& text, bool withCancel,
                   int defaultButton) override {
        if (text.startsWith(QStringLiteral("The following record failed")))
            ::raise(SIGKILL);
        return MRV_ScriptedInteraction::messageBox(kind, caption, text, withCancel, defaultButton);
    }
};

// A run killed in the middle of a category leaves the target without the
// category's records, and the log without their lines.
TEST_F(CopyFlow, AKilledRunLogsNothingOfTheCategoryTheTargetRolledBack) {
    LLObjectsCOM::Company& target = *context.targetCompany;
    const QString last =
        column(*context.baseCompany, QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode = "
                                                    "(SELECT MAX(FirmCode) FROM OMRC)"))
            .value(0);
    ASSERT_FALSE(last.isEmpty());
    column(target, QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (90, '%1')")
                       .arg(QString(last).replace(u'\'', QStringLiteral("''"))));
    const QString names = QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1");
    const QStringList before = column(target, names);
    select({"MRV_TRN_MANUFACTURERS_100"});
    // Add new records only: the last one exists already and fails, and the
    // question about it is where the run dies.
    context.copyMethod = 3;
    context.responseToFailure = 1;
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            KilledAtAFailure killed;
            killed.answers = {MRV_Interaction::ButtonYes};
            MRV_InteractionScope killedScope{killed};
            MRV_ConfigurationManager manager(context);
            MRV_CopyFlow(context, worksheet(), manager).copyToTargetCompany();
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");

    EXPECT_EQ(column(target, names), before);
    QStringList logs;
    for (QDirIterator it(dir.filePath(QStringLiteral("logs")), QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        logs << it.next();
    ASSERT_EQ(logs.size(), 1);
    MRV_LogFile log(logs.first());
    ASSERT_EQ(log.loadLogFile(), S_OK) << ui.transcript.join(u'\n').toStdString();
    EXPECT_FALSE(log.hasEndLine());
    for (const MRV_LogFile::Row& row : log.rows())
        EXPECT_NE(row[MRV_LogFile::Category], QStringLiteral("Manufacturers"))
            << row.join(u'|').toStdString();
}

// Base records that cannot travel: values holding characters XML cannot
// carry (a business object's and a table row's), and a key the base lists
// but its object cannot read. Each fails alone, with why; the rest goes on.
TEST_F(CopyFlow, ABaseRecordThatCannotTravelFailsAloneWithItsReason) {
    QString firstProject;
    {
        QSqlDatabase raw =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(server->folder() + QStringLiteral("/BASE.db"));
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        for (const char* sql :
             {// A value the server would refuse, planted past its checks.
              "PRAGMA ignore_check_constraints = ON",
              "UPDATE OMRC SET FirmName = 'Bad' || char(0) || 'Name' WHERE FirmCode = 1",
              "INSERT INTO OMRC (FirmCode, FirmName) VALUES (90000, 'Too far')",
              "UPDATE OPRJ SET PrjName = 'P' || char(1) WHERE rowid = "
              "(SELECT MIN(rowid) FROM OPRJ)"})
            ASSERT_TRUE(q.exec(QLatin1String(sql))) << sql << q.lastError().text().toStdString();
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT PrjCode FROM OPRJ ORDER BY rowid LIMIT 1")));
        ASSERT_TRUE(q.next());
        firstProject = q.value(0).toString();
        q.finish();
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
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
        const QStringList shown = ui.shown(QStringLiteral("status bold: "));
        ASSERT_GE(shown.size(), failures.size()) << ui.transcript.join(u'\n').toStdString();
        for (const QString& failure : failures)
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                    [&](const QString& s) { return s.startsWith(failure); }))
                << failure.toStdString() << "\n"
                << shown.join(u'\n').toStdString();
    };

    // The file holds the others and every parser reads it.
    const QString path = dir.filePath(QStringLiteral("out.xml"));
    {
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, worksheet(), manager);
        EXPECT_EQ(flow.saveConfigurationFile(path), S_FALSE);
        expectFailures();
        MRV_ConfigurationManager reader(context);
        ASSERT_EQ(reader.openFile(path), S_OK) << ui.transcript.join(u'\n').toStdString();
        QList<ConfigurationTableData> tables;
        reader.getData(QStringLiteral("MRV_TRN_MANUFACTURERS_100"), tables);
        ASSERT_EQ(tables.size(), 1);
        EXPECT_EQ(
            tables[0].documents.size(),
            column(base, QStringLiteral("SELECT FirmCode FROM OMRC WHERE FirmCode <> -1")).size() -
                2);
    }

    // Told to stop at the first failure, the run stops before it writes.
    LLObjectsCOM::Company& target = *context.targetCompany;
    const QString projects = QStringLiteral("SELECT PrjCode FROM OPRJ ORDER BY 1");
    context.responseToFailure = 2;
    ui.answers = {MRV_Interaction::ButtonYes};
    EXPECT_EQ(copy(), E_ABORT);
    EXPECT_TRUE(column(target, projects).isEmpty());
    context.responseToFailure = 0;

    // Going on past failures, the copy writes the others, logs the three
    // and fails.
    ui.transcript.clear();
    ui.answers = {MRV_Interaction::ButtonYes};
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    EXPECT_EQ(flow.copyToTargetCompany(), E_FAIL);
    expectFailures();
    EXPECT_EQ(column(target, QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1 "
                                            "ORDER BY 1")),
              column(base, QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode NOT IN (-1, "
                                          "1, 90000) ORDER BY 1")));
    EXPECT_EQ(column(target, projects),
              column(base, QStringLiteral("SELECT PrjCode FROM OPRJ WHERE PrjCode <> '%1' ORDER "
                                          "BY 1")
                               .arg(firstProject)));
    const QStringList failed = failedLines(flow.logPath());
    ASSERT_EQ(failed.size(), 3) << failed.join(u'\n').toStdString();
    // Projects are written before manufacturers.
    EXPECT_TRUE(failed[0].startsWith(firstProject + QStringLiteral(" The value of PrjName")));
    EXPECT_TRUE(failed[1].startsWith(QStringLiteral("1 The value of ManufacturerName")));
    EXPECT_TRUE(failed[2].startsWith(QStringLiteral("90000 ")));
    EXPECT_TRUE(failed[2].contains(QStringLiteral("not a whole number")));
}

// Names travel as they are, blanks and line ends only included; on a server
// that ignores case two names that differ only in case are one record to the
// target: the first is copied, the second fails naming it, on every run,
// and no run makes a duplicate.
TEST_F(CopyFlow, NamesArriveAsTheyAreAndOnceAsTheServerComparesThem) {
    LLObjectsCOM::Company& base = *context.baseCompany;
    column(base, QStringLiteral("DELETE FROM OMRC WHERE FirmCode <> -1"));
    const QStringList names{"   ", "\r", " \r\n ", "NULL", "null"};
    for (qsizetype i = 0; i < names.size(); ++i)
        column(base, QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (%1, N'%2')")
                         .arg(i + 1)
                         .arg(names[i]));
    const QString byCode =
        QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode > 0 ORDER BY FirmCode");
    ASSERT_EQ(column(base, byCode), names);
    select({"MRV_TRN_MANUFACTURERS_100"});
    context.copyMethod = 4;
    for (int run = 0; run < 2; ++run) {
        ui.answers = {MRV_Interaction::ButtonYes};
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, worksheet(), manager);
        ASSERT_EQ(flow.copyToTargetCompany(), S_OK) << ui.transcript.join(u'\n').toStdString();
        EXPECT_EQ(column(*context.targetCompany, byCode), names.mid(0, 4)) << "run " << run;
        EXPECT_EQ(failedLines(flow.logPath()),
                  QStringList("5 The target company takes this record for the base record 4 "
                              "written before it (their keys or names differ only in case)"))
            << "run " << run;
    }
}

TEST_F(CopyFlow, APartialSelectionCopiesOnlyThePickedRecords) {
    const QString leaf = worksheet().findLeaf(QStringLiteral("MRV_TRN_MANUFACTURERS_100"))->leafId;
    QList<MRV_SelectionObject> picked;
    for (const char* code : {"1", "3"})
        picked.append(
            {{{QStringLiteral("FirmCode"), QLatin1String(code), QStringLiteral("int")}}, {}, {}});
    ASSERT_TRUE(worksheet().selectRecords(leaf, picked));
    ui.answers = {MRV_Interaction::ButtonYes};
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    ASSERT_EQ(flow.copyToTargetCompany(), S_OK) << ui.transcript.join(u'\n').toStdString();
    EXPECT_EQ(column(*context.targetCompany,
                     QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1 ORDER BY 1")),
              column(*context.baseCompany, QStringLiteral("SELECT FirmName FROM OMRC WHERE "
                                                          "FirmCode IN (1, 3) ORDER BY 1")));
}

// The file's text as UTF-16 after its byte-order mark, with the creation
// date (the one value that changes from run to run) taken out.
QString withoutDate(const QByteArray& bytes) {
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                      (bytes.size() - 2) / 2);
    static const QRegularExpression date(QStringLiteral("<creationDate>[^<]*</creationDate>"));
    return text.replace(date, QStringLiteral("<creationDate></creationDate>"));
}

// The file holds only the selected categories that have records: the
// commission groups, emptied in the base, leave no OBJECT.
TEST_F(CopyFlow, AKnownSelectionWritesTheStoredFileAndAnyParserReadsIt) {
    select({"MRV_TRN_MANUFACTURERS_100", "MRV_TRN_PROJECTS_100", "MRV_TRN_SHIPPINGTYPES_100",
            "MRV_TRN_TERRITORIES_100", "MRV_TRN_COMMISIONGROUPS_100"});
    column(*context.baseCompany, QStringLiteral("DELETE FROM OCOG"));
    worksheet().creationUser = QStringLiteral("manager");
    worksheet().additionalDescr = QStringLiteral("Roll-out & <test>");
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, worksheet(), manager);
    const QString path = dir.filePath(QStringLiteral("known.xml"));
    ASSERT_EQ(flow.saveConfigurationFile(path), S_OK);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    ASSERT_TRUE(bytes.startsWith("\xff\xfe"));
    const QString text = withoutDate(bytes);

    QFile expected(QStringLiteral(MIRROVA_SOURCE_DIR "/tests/config/data/known-config.xml"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(text, withoutDate(expected.readAll()));

    // A parser that is not the program's own takes it.
    QXmlStreamReader xml(text);
    int elements = 0;
    while (!xml.atEnd())
        elements += xml.readNext() == QXmlStreamReader::StartElement;
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(elements, 100);
}

TEST_F(CopyFlow, AConfigurationFileIsTheBaseOfALaterRunAndABrokenOneWritesNothing) {
    select({"MRV_TRN_MANUFACTURERS_100"});
    select({"MRV_TRN_PROJECTS_100"});
    const QString file = dir.filePath(QStringLiteral("configs/base.xml"));
    QDir().mkpath(dir.filePath(QStringLiteral("configs")));
    {
        MRV_ConfigurationManager writer(context);
        ASSERT_EQ(MRV_CopyFlow(context, worksheet(), writer).saveConfigurationFile(file), S_OK);
    }
    // A hostile project name travels through the file unchanged.
    const QString nasty = QStringLiteral("O'Brien & \"Sons\" <Ltd>\r\nline two");
    column(*context.baseCompany, QStringLiteral("UPDATE OPRJ SET PrjName = N'%1' WHERE PrjCode = "
                                                "N'PRJ001'")
                                     .arg(QString(nasty).replace(u'\'', QStringLiteral("''"))));
    {
        MRV_ConfigurationManager writer(context);
        ASSERT_EQ(MRV_CopyFlow(context, worksheet(), writer).saveConfigurationFile(file), S_OK);
    }

    // A category the program does not know, slipped into the file, is
    // passed over.
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                          (bytes.size() - 2) / 2);
        text.replace(
            QStringLiteral("<body>\n"),
            QStringLiteral("<body>\n<OBJECT string_id=\"MRV_TRN_NOSUCH_100\"><table "
                           "name=\"OMRC\"><BOM><BO><AdmInfo><Object>43</Object>"
                           "</AdmInfo><OMRC><row><ManufacturerName>Ghost</ManufacturerName>"
                           "</row></OMRC></BO></BOM></table></OBJECT>\n"));
        MRV_ConfigurationManager writer(context);
        ASSERT_EQ(writer.writeToFile(file, text), S_OK);
    }

    // The later run: the file is the base, the company stays the target.
    const auto fromFile = [&](const QString& path) {
        context.reset();
        context.company = company(QStringLiteral("TARGET"));
        context.targetCompany = context.company;
        context.baseFilePath = path;
        context.databaseName = path;
        context.copyMethod = 1;
        context.forceBackup = false;
        // The program's settings in the company it now runs in.
        ASSERT_GE(MRV_UDTManager(&context).checkCompany(), 0);
        MRV_SettingsManager settings(&context);
        settings.setDefaultSettings();
        settings.setLogFileFolder(dir.filePath(QStringLiteral("logs")));
        ASSERT_EQ(settings.saveSettingsToDatabase(), S_OK);
    };
    fromFile(file);
    auto manager = std::make_unique<MRV_ConfigurationManager>(context);
    MRV_ConfigurationController controller(context, *manager);
    selection = std::make_unique<MRV_SelectionManager>(&context, &controller);
    ASSERT_EQ(selection->openWorksheet(), S_OK) << ui.transcript.join(u'\n').toStdString();
    select({"MRV_TRN_MANUFACTURERS_100"});
    select({"MRV_TRN_PROJECTS_100"});
    ui.answers = {MRV_Interaction::ButtonYes};
    ASSERT_EQ(MRV_CopyFlow(context, worksheet(), *manager).copyToTargetCompany(), S_OK)
        << ui.transcript.join(u'\n').toStdString();
    const auto held = context.targetCompany; // the context lets go of it below
    LLObjectsCOM::Company& target = *held;
    EXPECT_EQ(column(target, QStringLiteral("SELECT PrjName FROM OPRJ WHERE PrjCode = N'PRJ001'")),
              QStringList{nasty});
    EXPECT_EQ(column(target, QStringLiteral("SELECT COUNT(*) FROM OMRC WHERE FirmCode <> -1")),
              QStringList{QStringLiteral("8")});
    EXPECT_TRUE(column(target, QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmName = "
                                              "N'Ghost'"))
                    .isEmpty());

    // A file saved from the base file carries the version of the company
    // the data came from, not 0.
    const QString again = dir.filePath(QStringLiteral("configs/again.xml"));
    ASSERT_EQ(MRV_CopyFlow(context, worksheet(), *manager).saveConfigurationFile(again), S_OK)
        << ui.transcript.join(u'\n').toStdString();
    {
        MRV_ConfigurationManager reader(context);
        ASSERT_EQ(reader.openFile(again), S_OK);
        EXPECT_EQ(reader.header().dbVersion,
                  QString::number(company(QStringLiteral("BASE"))->Version()));
        EXPECT_NE(reader.header().dbVersion, QStringLiteral("0"));
    }

    // The same file cut inside a record: it cannot be opened, and the
    // target is not touched.
    QFile whole(file);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    const QString cut = dir.filePath(QStringLiteral("configs/cut.xml"));
    QFile part(cut);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.write(bytes.left(bytes.indexOf(QByteArray("O\0M\0R\0C\0", 8)) + 40));
    part.close();
    column(target, QStringLiteral("DELETE FROM OPRJ"));
    selection.reset();
    fromFile(cut);
    manager = std::make_unique<MRV_ConfigurationManager>(context);
    MRV_ConfigurationController cutController(context, *manager);
    selection = std::make_unique<MRV_SelectionManager>(&context, &cutController);
    EXPECT_NE(selection->openWorksheet(), S_OK);
    EXPECT_TRUE(
        column(*company(QStringLiteral("TARGET")), QStringLiteral("SELECT PrjCode FROM OPRJ"))
            .isEmpty());
}

TEST_F(CopyFlow, AFailedRecordStopsTheRunWhenTheResponseSaysSo) {
    // Countries fail (no address formats in the target); Manufacturers come
    // after them in the writing order.
    select({"MRV_TRN_COUNTRIES_100", "MRV_TRN_MANUFACTURERS_100"});
    const auto yes = MRV_Interaction::ButtonYes;
    const auto no = MRV_Interaction::ButtonNo;
    const QString manufacturers = QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1");

    // Terminate: the first failure ends the run; nothing after it is written.
    context.responseToFailure = 2;
    ui.answers = {yes, yes}; // the unselected address formats, the backup
    {
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, worksheet(), manager);
        EXPECT_EQ(flow.copyToTargetCompany(), E_ABORT);
        EXPECT_TRUE(ui.shown(QStringLiteral("error: "))
                        .value(0)
                        .startsWith(QStringLiteral("Copy process terminated.")));
        MRV_LogFile log(flow.logPath());
        ASSERT_EQ(log.loadLogFile(), S_OK);
        EXPECT_TRUE(log.hasEndLine());
        ASSERT_EQ(log.rows().size(), 1) << "the failed record, and nothing after it";
    }
    EXPECT_TRUE(column(*context.targetCompany, manufacturers).isEmpty());

    // Ask: "Yes" goes on past each failure, "No" stops the run.
    context.responseToFailure = 1;
    ui.answers = {yes, yes, yes, no};
    EXPECT_EQ(copy(), E_ABORT);
    EXPECT_TRUE(ui.answers.isEmpty());
    EXPECT_TRUE(column(*context.targetCompany, manufacturers).isEmpty());

    // Continue: every failure is logged and the rest is written.
    context.responseToFailure = 0;
    ui.answers = {yes, yes};
    EXPECT_EQ(copy(), S_OK);
    EXPECT_EQ(column(*context.targetCompany, manufacturers).size(), 8);
}

// Records the host numbers itself are found in the target by name, as the
// server compares names (here without regard to case), however many there
// are; new ones get keys after the highest.
TEST_F(CopyFlow, RecordsTheHostNumbersAreFoundByNameAndNewOnesNumberedAfterTheRest) {
    LLObjectsCOM::Company& target = *context.targetCompany;
    column(target, QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (50, N'ACORN "
                                  "DEVICES')"));
    select({"MRV_TRN_MANUFACTURERS_100"});
    context.copyMethod = 4;
    ui.answers = {MRV_Interaction::ButtonYes};
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(copy(), S_OK);
        ui.answers = {MRV_Interaction::ButtonYes};
    }
    // Twice copied, each name once; the existing record kept its key.
    const QStringList names =
        column(target, QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1"));
    EXPECT_EQ(names.size(), column(*context.baseCompany,
                                   QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode <> -1"))
                                .size());
    EXPECT_EQ(column(target, QStringLiteral("SELECT FirmName FROM OMRC WHERE FirmCode = 50")),
              QStringList{QStringLiteral("Acorn Devices")});
    EXPECT_EQ(column(target, QStringLiteral("SELECT MIN(FirmCode) FROM OMRC WHERE FirmName <> "
                                            "N'Acorn Devices' AND FirmCode <> -1")),
              QStringList{QStringLiteral("51")});
}

} // namespace
