#include "di/MRV_UDTManager.h"
#include "DiTestSupport.h"
#include "TestData.h"
#include "di/MRV_Util.h"
#include "host/objects/LLBusinessObject.h"
#include "tsframework/CTSDbDefinition.h"
#include "tsframework/CTSResourceLoader.h"

using LLObjectsCOM::BusinessObject;

namespace {

class UDTTest : public DiWorld {
protected:
    QString programVersion() const {
        return MRV_UDTManager::resources().GetModuleVersion().GetVersionAsBSTR();
    }
    QStringList versionRow() {
        return rows(QStringLiteral(
                        "SELECT U_Version, U_State FROM [@TSEXTDBVERSION] WHERE Code = N'MRV'"))
            .value(0);
    }
    void setVersionRow(const QString& version, const QString& state) {
        rows(QStringLiteral("UPDATE [@TSEXTDBVERSION] SET U_Version = N'%1', U_State = N'%2' "
                            "WHERE Code = N'MRV'")
                 .arg(version, state));
    }
    std::unique_ptr<BusinessObject> object(int type) {
        std::unique_ptr<LLObjectsCOM::HostObject> o = company().GetBusinessObject(type);
        return std::unique_ptr<BusinessObject>(dynamic_cast<BusinessObject*>(o.release()));
    }
    QStringList fields(const QString& table) {
        QStringList names;
        for (const QStringList& r :
             rows(QStringLiteral("SELECT AliasID FROM CUFD WHERE TableID = N'%1' ORDER BY FieldID")
                      .arg(table)))
            names << r.value(0);
        return names;
    }
    void dropField(const QString& table, const QString& alias) {
        const QString id =
            rows(
                QStringLiteral("SELECT FieldID FROM CUFD WHERE TableID = N'%1' AND AliasID = N'%2'")
                    .arg(table, alias))
                .value(0)
                .value(0);
        std::unique_ptr<BusinessObject> field = object(BusinessObject::UserFieldsType);
        ASSERT_TRUE(field->GetByKey({table, id}));
        ASSERT_EQ(field->Remove(), 0) << company().GetLastErrorDescription().toStdString();
    }
    int noteCount() {
        return rows(QStringLiteral("SELECT COUNT(*) FROM [@MRVNOTE]")).value(0).value(0).toInt();
    }
    static QString upgradeQuestion(const QString& version) {
        return QStringLiteral("host: The database upgrade of Mirrova to version %1 is either in "
                              "progress or the upgrade process has been cancelled and the upgrade "
                              "is incomplete. Do you want to restart the upgrade process? "
                              "[Exit|Upgrade]")
            .arg(version);
    }
    const QString reallyQuestion =
        QStringLiteral("host: Do you really want to restart the database upgrade? [Exit|Upgrade]");
    const QStringList settingsFields{QStringLiteral("CpyMethod"), QStringLiteral("RTCF"),
                                     QStringLiteral("FRFMUDF"),   QStringLiteral("FBACKUP"),
                                     QStringLiteral("CFFolder"),  QStringLiteral("WSFolder"),
                                     QStringLiteral("LFFolder")};
};

} // namespace

// --- A company seen for the first time --------------------------------------

TEST_F(UDTTest, ANewCompanyGetsBothTablesAsDefinedAndTheNotes) {
    open(6, false);
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_TRUE(takeLog().join(u'\n').contains(QStringLiteral("Db tables do not exist yet.")));
    EXPECT_EQ(rows(QStringLiteral("SELECT TableName, Descr FROM OUTB WHERE TableName LIKE "
                                  "N'MRV%' ORDER BY TableName")),
              (QList<QStringList>{
                  {QStringLiteral("MRVNOTE"), QStringLiteral("Selection Tree Leaf Notes")},
                  {QStringLiteral("MRVSETT"), QStringLiteral("Mirrova Standard Settings")}}));
    EXPECT_EQ(fields(QStringLiteral("@MRVNOTE")),
              (QStringList{QStringLiteral("ID"), QStringLiteral("String")}));
    EXPECT_EQ(fields(QStringLiteral("@MRVSETT")), settingsFields);
    // Types, sizes and defaults as the definition says.
    EXPECT_EQ(
        rows(QStringLiteral("SELECT AliasID, TypeID, EditSize, Descr, Dflt FROM CUFD WHERE "
                            "TableID = N'@MRVSETT' AND AliasID IN (N'CpyMethod', "
                            "N'FRFMUDF', N'LFFolder') ORDER BY FieldID")),
        (QList<QStringList>{{QStringLiteral("CpyMethod"), QStringLiteral("2"), QStringLiteral("11"),
                             QStringLiteral("Selected Copy Method"), QStringLiteral("0")},
                            {QStringLiteral("FRFMUDF"), QStringLiteral("0"), QStringLiteral("1"),
                             QStringLiteral("Fail Records for missing UDFs"), QStringLiteral("Y")},
                            {QStringLiteral("LFFolder"), QStringLiteral("0"), QStringLiteral("254"),
                             QStringLiteral("Log File Folder"), QString()}}));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT U.FldValue, U.Descr FROM UFD1 U JOIN CUFD C ON "
                            "C.TableID = U.TableID AND C.FieldID = U.FieldID WHERE C.TableID "
                            "= N'@MRVSETT' AND C.AliasID = N'RTCF' ORDER BY U.IndexID")),
        (QList<QStringList>{{QStringLiteral("0"), QStringLiteral("Continue copy process")},
                            {QStringLiteral("1"), QStringLiteral("Obtain user confirmation")},
                            {QStringLiteral("2"), QStringLiteral("Terminate copy process")}}));
    EXPECT_EQ(versionRow(), (QStringList{programVersion(), QStringLiteral("C")}));
    EXPECT_EQ(noteCount(), 30);

    // The key MRVNOTI1 keeps note ids unique.
    EXPECT_THROW(rows(QStringLiteral("INSERT INTO [@MRVNOTE] (Code, Name, U_ID, U_String) "
                                     "VALUES (N'X', N'X', 1, N'again')")),
                 ComError);
    EXPECT_TRUE(ui.transcript.isEmpty()) << ui.transcript.join(u'\n').toStdString();
}

TEST_F(UDTTest, ALaterStartOnEveryServerTypeFindsTheTablesCurrentAndRewritesTheNotes) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        open(type);
        EXPECT_EQ(versionRow(), (QStringList{programVersion(), QStringLiteral("C")}));
        const QString before =
            rows(QStringLiteral("SELECT Code FROM [@MRVNOTE] WHERE U_ID = 1")).value(0).value(0);
        ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
        EXPECT_TRUE(takeLog().join(u'\n').contains(QStringLiteral("Db is OK.")));
        EXPECT_EQ(noteCount(), 30);
        EXPECT_NE(
            rows(QStringLiteral("SELECT Code FROM [@MRVNOTE] WHERE U_ID = 1")).value(0).value(0),
            before);
    }
}

// --- An upgrade that never finished ------------------------------------------

// Each start asks again until the user lets the upgrade run: exit at the
// first or the second question ends start-up and changes nothing.
TEST_F(UDTTest, AnUnfinishedUpgradeRunsAgainOnlyWhenTheUserSaysSoTwice) {
    open(6);
    dropField(QStringLiteral("@MRVSETT"), QStringLiteral("LFFolder"));
    rows(QStringLiteral("DELETE FROM [@MRVNOTE]"));
    setVersionRow(QStringLiteral("0.02.00.00.00"), QStringLiteral("U"));
    ui.answers = {1};
    EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), static_cast<HRESULT>(0x80040503u));
    EXPECT_EQ(ui.transcript, QStringList(upgradeQuestion(QStringLiteral("0.02.00.00.00"))));
    EXPECT_TRUE(takeLog().join(u'\n').contains(
        QStringLiteral("Add-on version is %1. Incomplete upgrade of DB tables to version "
                       "0.02.00.00.00 detected.")
            .arg(programVersion())));
    EXPECT_EQ(versionRow().value(1), QStringLiteral("U")) << "nothing was done";

    setVersionRow(programVersion(), QStringLiteral("U"));
    ui.transcript.clear();
    ui.answers = {2, 1};
    EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), MRV_UDTManager::UpgradeDeclined);
    EXPECT_EQ(ui.transcript, (QStringList{upgradeQuestion(programVersion()), reallyQuestion}));
    EXPECT_EQ(versionRow().value(1), QStringLiteral("U"));
    EXPECT_EQ(noteCount(), 0);

    ui.transcript.clear();
    ui.answers = {2, 2};
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_EQ(ui.transcript, (QStringList{upgradeQuestion(programVersion()), reallyQuestion}));
    EXPECT_EQ(fields(QStringLiteral("@MRVSETT")), settingsFields);
    EXPECT_EQ(versionRow(), (QStringList{programVersion(), QStringLiteral("C")}));
    EXPECT_EQ(noteCount(), 30);

    ui.transcript.clear();
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_TRUE(ui.transcript.isEmpty()) << "the next start finds the tables complete";
}

// --- Other versions ---------------------------------------------------------------

TEST_F(UDTTest, TablesOfALaterVersionAreLeftAlone) {
    open(6);
    rows(QStringLiteral("DELETE FROM [@MRVNOTE]"));
    setVersionRow(QStringLiteral("99.00.00.00.00"), QStringLiteral("C"));
    EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_EQ(noteCount(), 0);
    EXPECT_EQ(versionRow().value(0), QStringLiteral("99.00.00.00.00"));
}

TEST_F(UDTTest, OlderTablesAreBroughtUpToTheProgramsVersion) {
    open(6);
    dropField(QStringLiteral("@MRVSETT"), QStringLiteral("WSFolder"));
    setVersionRow(QStringLiteral("0.00.00.00.01"), QStringLiteral("C"));
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_TRUE(fields(QStringLiteral("@MRVSETT")).contains(QStringLiteral("WSFolder")));
    EXPECT_EQ(versionRow(), (QStringList{programVersion(), QStringLiteral("C")}));
    EXPECT_EQ(noteCount(), 30);
}

// --- Notes that cannot be written ---------------------------------------------

TEST_F(UDTTest, ANoteThatCannotBeWrittenIsShownOnce) {
    open(6);
    std::unique_ptr<BusinessObject> table = object(BusinessObject::UserTablesType);
    ASSERT_TRUE(table->GetByKey({QStringLiteral("MRVNOTE")}));
    ASSERT_EQ(table->Remove(), 0);
    MRV_UDTManager manager(&context);
    ui.answers = {1, 1};
    EXPECT_LT(manager.updateTables(), 0);
    EXPECT_EQ(ui.transcript,
              QStringList(QStringLiteral("host: Failed to write note to database. [OK]")));
    ui.transcript.clear();
    EXPECT_LT(manager.storeNote(1, QStringLiteral("MRV_LMS_NOTE1_0")), 0);
    EXPECT_EQ(ui.transcript.size(), 1);
}

TEST_F(UDTTest, WithoutACompanyNothingIsChecked) {
    MRV_UDTManager manager(&context);
    EXPECT_EQ(manager.checkCompany(), E_FAIL);
    EXPECT_EQ(manager.createTables(), E_FAIL);
    EXPECT_EQ(manager.storeNote(1, QStringLiteral("x")), E_FAIL);
}

// The tables made from the definition are checked above; what they cannot
// show is the definition's encoding, its key's name and the version.
TEST(UDTResource, TheCompiledInDefinitionHoldsBothTables) {
    QString xml;
    ASSERT_EQ(
        MRV_UDTManager::resources().GetResourceFileContents(MRV_UDTManager::TableResourceId, xml),
        S_OK);
    EXPECT_TRUE(xml.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>")));
    CTSDbDefinition definition;
    QString error;
    ASSERT_TRUE(CTSDbDefinition::parse(xml, definition, error)) << error.toStdString();
    ASSERT_EQ(definition.tables.size(), 2);
    ASSERT_EQ(definition.tables[0].keys.size(), 1);
    EXPECT_EQ(definition.tables[0].keys[0].name, QStringLiteral("MRVNOTI1"));
    EXPECT_FALSE(MRV_UDTManager::resources().GetModuleVersion().IsZero());
}
