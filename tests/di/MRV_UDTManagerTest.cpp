#include "di/MRV_UDTManager.h"
#include "DiTestSupport.h"
#include "di/MRV_Util.h"
#include "host/objects/LLBusinessObject.h"
#include "tsframework/CTSResourceLoader.h"

using namespace Qt::StringLiterals;

using LLObjectsCOM::BusinessObject;

namespace {

class UDTTest : public DiWorld {
protected:
    QString programVersion() const {
        return MRV_UDTManager::resources().GetModuleVersion().GetVersionAsBSTR();
    }
    QStringList versionRow() {
        return rows(u"SELECT U_Version, U_State FROM [@TSEXTDBVERSION] WHERE Code = N'MRV'"_s)
            .value(0);
    }
    void setVersionRow(const QString& version, const QString& state) {
        rows(u"UPDATE [@TSEXTDBVERSION] SET U_Version = N'%1', U_State = N'%2' "
             "WHERE Code = N'MRV'"_s.arg(version, state));
    }
    std::unique_ptr<BusinessObject> object(int type) {
        std::unique_ptr<LLObjectsCOM::HostObject> o = company().GetBusinessObject(type);
        return std::unique_ptr<BusinessObject>(dynamic_cast<BusinessObject*>(o.release()));
    }
    QStringList fields(const QString& table) {
        return column(
            u"SELECT AliasID FROM CUFD WHERE TableID = N'%1' ORDER BY FieldID"_s.arg(table));
    }
    void dropField(const QString& table, const QString& alias) {
        const QString id =
            value(u"SELECT FieldID FROM CUFD WHERE TableID = N'%1' AND AliasID = N'%2'"_s.arg(
                table, alias));
        std::unique_ptr<BusinessObject> field = object(BusinessObject::UserFieldsType);
        ASSERT_TRUE(field->GetByKey({table, id}));
        ASSERT_EQ(field->Remove(), 0) << company().GetLastErrorDescription().toStdString();
    }
    int noteCount() { return value(u"SELECT COUNT(*) FROM [@MRVNOTE]"_s).toInt(); }
    static QString upgradeQuestion(const QString& version) {
        return u"host: The database upgrade of Mirrova to version %1 is either in "
               "progress or the upgrade process has been cancelled and the upgrade "
               "is incomplete. Do you want to restart the upgrade process? "
               "[Exit|Upgrade]"_s.arg(version);
    }
    const QString reallyQuestion =
        u"host: Do you really want to restart the database upgrade? [Exit|Upgrade]"_s;
    const QStringList settingsFields{u"CpyMethod"_s, u"RTCF"_s,     u"FRFMUDF"_s, u"FBACKUP"_s,
                                     u"CFFolder"_s,  u"WSFolder"_s, u"LFFolder"_s};
};

} // namespace

// --- A company seen for the first time --------------------------------------

TEST_F(UDTTest, ANewCompanyGetsBothTablesAsDefinedAndTheNotes) {
    open(6, false);
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_TRUE(logged(u"Db tables do not exist yet."_s));
    EXPECT_EQ(rows(u"SELECT TableName, Descr FROM OUTB WHERE TableName LIKE "
                   "N'MRV%' ORDER BY TableName"_s),
              (QList<QStringList>{{u"MRVNOTE"_s, u"Selection Tree Leaf Notes"_s},
                                  {u"MRVSETT"_s, u"Mirrova Standard Settings"_s}}));
    EXPECT_EQ(fields(u"@MRVNOTE"_s), (QStringList{u"ID"_s, u"String"_s}));
    EXPECT_EQ(fields(u"@MRVSETT"_s), settingsFields);
    // The valid values reach the host with the fields.
    EXPECT_EQ(rows(u"SELECT U.FldValue, U.Descr FROM UFD1 U JOIN CUFD C ON "
                   "C.TableID = U.TableID AND C.FieldID = U.FieldID WHERE C.TableID "
                   "= N'@MRVSETT' AND C.AliasID = N'RTCF' ORDER BY U.IndexID"_s),
              (QList<QStringList>{{u"0"_s, u"Continue copy process"_s},
                                  {u"1"_s, u"Obtain user confirmation"_s},
                                  {u"2"_s, u"Terminate copy process"_s}}));
    EXPECT_EQ(versionRow(), (QStringList{programVersion(), u"C"_s}));
    EXPECT_EQ(noteCount(), 30);

    // The key MRVNOTI1 keeps note ids unique.
    EXPECT_THROW(rows(u"INSERT INTO [@MRVNOTE] (Code, Name, U_ID, U_String) "
                      "VALUES (N'X', N'X', 1, N'again')"_s),
                 ComError);
    EXPECT_TRUE(ui.transcript.isEmpty()) << ui.transcript.join(u'\n').toStdString();
}

TEST_F(UDTTest, ALaterStartOnEveryServerTypeFindsTheTablesCurrentAndRewritesTheNotes) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        open(type);
        EXPECT_EQ(versionRow(), (QStringList{programVersion(), u"C"_s}));
        const QString before = value(u"SELECT Code FROM [@MRVNOTE] WHERE U_ID = 1"_s);
        ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
        EXPECT_TRUE(logged(u"Db is OK."_s));
        EXPECT_EQ(noteCount(), 30);
        EXPECT_NE(value(u"SELECT Code FROM [@MRVNOTE] WHERE U_ID = 1"_s), before);
    }
}

// --- An upgrade that never finished ------------------------------------------

// Each start asks again until the user lets the upgrade run: exit at the
// first or the second question ends start-up and changes nothing.
TEST_F(UDTTest, AnUnfinishedUpgradeRunsAgainOnlyWhenTheUserSaysSoTwice) {
    open(6);
    dropField(u"@MRVSETT"_s, u"LFFolder"_s);
    rows(u"DELETE FROM [@MRVNOTE]"_s);
    setVersionRow(u"0.02.00.00.00"_s, u"U"_s);
    ui.answers = {1};
    EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), static_cast<HRESULT>(0x80040503u));
    EXPECT_EQ(ui.transcript, QStringList(upgradeQuestion(u"0.02.00.00.00"_s)));
    EXPECT_TRUE(logged(u"Add-on version is %1. Incomplete upgrade of DB tables to version "
                       "0.02.00.00.00 detected."_s.arg(programVersion())));
    EXPECT_EQ(versionRow().value(1), u"U"_s) << "nothing was done";

    setVersionRow(programVersion(), u"U"_s);
    ui.transcript.clear();
    ui.answers = {2, 1};
    EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), MRV_UDTManager::UpgradeDeclined);
    EXPECT_EQ(ui.transcript, (QStringList{upgradeQuestion(programVersion()), reallyQuestion}));
    EXPECT_EQ(versionRow().value(1), u"U"_s);
    EXPECT_EQ(noteCount(), 0);

    ui.transcript.clear();
    ui.answers = {2, 2};
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_EQ(ui.transcript, (QStringList{upgradeQuestion(programVersion()), reallyQuestion}));
    EXPECT_EQ(fields(u"@MRVSETT"_s), settingsFields);
    EXPECT_EQ(versionRow(), (QStringList{programVersion(), u"C"_s}));
    EXPECT_EQ(noteCount(), 30);

    ui.transcript.clear();
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_TRUE(ui.transcript.isEmpty()) << "the next start finds the tables complete";
}

// --- Other versions ---------------------------------------------------------------

// Tables of a later version are left alone; older ones are brought up to
// the program's version.
TEST_F(UDTTest, OnlyOlderTablesAreBroughtUpToTheProgramsVersion) {
    open(6);
    rows(u"DELETE FROM [@MRVNOTE]"_s);
    setVersionRow(u"99.00.00.00.00"_s, u"C"_s);
    EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_EQ(noteCount(), 0);
    EXPECT_EQ(versionRow().value(0), u"99.00.00.00.00"_s);

    dropField(u"@MRVSETT"_s, u"WSFolder"_s);
    setVersionRow(u"0.00.00.00.01"_s, u"C"_s);
    ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
    EXPECT_TRUE(fields(u"@MRVSETT"_s).contains(u"WSFolder"_s));
    EXPECT_EQ(versionRow(), (QStringList{programVersion(), u"C"_s}));
    EXPECT_EQ(noteCount(), 30);
}

// --- Notes that cannot be written ---------------------------------------------

TEST_F(UDTTest, ANoteThatCannotBeWrittenIsShownOnce) {
    open(6);
    std::unique_ptr<BusinessObject> table = object(BusinessObject::UserTablesType);
    ASSERT_TRUE(table->GetByKey({u"MRVNOTE"_s}));
    ASSERT_EQ(table->Remove(), 0);
    MRV_UDTManager manager(&context);
    ui.answers = {1, 1};
    EXPECT_LT(manager.updateTables(), 0);
    EXPECT_EQ(ui.transcript, QStringList(u"host: Failed to write note to database. [OK]"_s));
    ui.transcript.clear();
    EXPECT_LT(manager.storeNote(1, u"MRV_LMS_NOTE1_0"_s), 0);
    EXPECT_EQ(ui.transcript.size(), 1);
}

TEST_F(UDTTest, WithoutACompanyNothingIsChecked) {
    MRV_UDTManager manager(&context);
    EXPECT_EQ(manager.checkCompany(), E_FAIL);
    EXPECT_EQ(manager.createTables(), E_FAIL);
    EXPECT_EQ(manager.storeNote(1, u"x"_s), E_FAIL);
}
