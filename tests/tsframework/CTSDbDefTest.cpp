#include "tsframework/CTSDbDef.h"
#include "TestData.h"
#include "host/HostTestSupport.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// An add-on "ABC" with its definitions in a folder of the test.
class DbDef : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        resources = dir.filePath(u"resources"_s);
        ASSERT_TRUE(QDir().mkpath(resources));
    }
    void define(int id, const QString& tables) {
        writeTestFile(resources + u"/%1.xml"_s.arg(id),
                      u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><database>"
                      "<usertables>%1</usertables></database>"_s.arg(tables)
                          .toLatin1());
    }
    // One table with a text, a flag and a unique key on the number.
    void defineFirst(int id = 100) {
        define(id, uR"(<usertable TableName="ABCDATA" TableDescription="Data">
            <userfields>
              <userfield Name="Num" Description="Number" Type="ID"/>
              <userfield Name="Text" Description="Text" Type="CHAR" Size="20"/>
              <userfield Name="On" Description="On" Type="FLAG" DefaultValue="N">
                <ValidValues><ValidValue Value="Y" Description="Yes"/><ValidValue Value="N" Description="No"/></ValidValues>
              </userfield>
            </userfields>
            <userkeys><userkey Name="ABCDATAI1" Unique="Y"><element>Num</element></userkey></userkeys>
          </usertable>)"_s);
    }
    QList<QStringList> rows(const QString& sql) {
        std::unique_ptr<LLObjectsCOM::Recordset> rs = company.GetRecordset();
        rs->DoQuery(sql);
        QList<QStringList> result;
        for (; !rs->EoF(); rs->MoveNext()) {
            QStringList row;
            for (int i = 0; i < rs->FieldCount(); ++i)
                row << rs->Field(i).toString();
            result << row;
        }
        return result;
    }
    QStringList fields(const QString& table) {
        QStringList names;
        for (const LLObjectsCOM::UserTables::Field& f :
             LLObjectsCOM::UserTables::fields(*company.state()->database, table))
            names << f.alias;
        return names;
    }
    int state(CTSDbDef& def) {
        int s = -1;
        EXPECT_EQ(def.CheckVersion(s), S_OK);
        return s;
    }
    QStringList versionRow() {
        return rows(u"SELECT \"U_Version\", \"U_State\" FROM @TSEXTDBVERSION WHERE \"Code\" = "
                    u"'ABC'"_s)
            .value(0);
    }

    QString resources;
    LLObjectsCOM::Company company;
};

} // namespace

// On every server type, as the statements differ by type.
TEST_F(DbDef, CreateMakesTablesFieldsAndKeysAndRecordsTheVersion) {
    defineFirst();
    const CTSResourceLoader loader(resources, CTSVersion(1, 5));
    for (int type : {6, 2, 5}) {
        SCOPED_TRACE(type);
        company.Disconnect();
        openCompany(company, type);
        CTSDbDef def(company, loader, u"ABC"_s);
        EXPECT_EQ(state(def), CTSDbDef::TablesMissing);
        CTSVersion version(u"0.00.00.00.00");
        EXPECT_EQ(def.GetDBVersion(version), S_FALSE);
        EXPECT_TRUE(version.IsZero());

        ASSERT_EQ(def.Create(100, false, CTSVersion()), S_OK);
        EXPECT_EQ(fields(u"@ABCDATA"_s), (QStringList{u"Num"_s, u"Text"_s, u"On"_s}));
        EXPECT_EQ(versionRow(), (QStringList{u"1.05.00.00.00"_s, u"C"_s}))
            << "a zero version is the add-on's";
        ASSERT_EQ(def.GetDBVersion(version), S_OK);
        EXPECT_EQ(version, CTSVersion(1, 5));
        EXPECT_EQ(state(def), CTSDbDef::VersionCurrent);

        const QString insert = u"INSERT INTO @ABCDATA (\"Code\", \"Name\", \"U_Num\", \"U_Text\", "
                               u"\"U_On\") VALUES ('%1', '%1', 7, 'seven', 'Y')"_s;
        rows(insert.arg(1));
        EXPECT_THROW(rows(insert.arg(2)), ComError) << "the unique key";
        EXPECT_THROW(rows(u"UPDATE @ABCDATA SET \"U_Text\" = '%1'"_s.arg(QString(21, u't'))),
                     ComError)
            << "the text holds 20 characters";

        // Without force, what is there stays, rows included.
        const QString text = u"SELECT \"U_Text\" FROM @ABCDATA"_s;
        ASSERT_EQ(def.Create(100, false, CTSVersion(2, 0)), S_OK);
        EXPECT_EQ(rows(text), QList<QStringList>{{u"seven"_s}});
        EXPECT_EQ(versionRow().value(0), u"2.00.00.00.00"_s);
        EXPECT_EQ(state(def), CTSDbDef::DatabaseNewer);

        // With force the tables are made anew.
        ASSERT_EQ(def.Create(100, true, CTSVersion(1, 5)), S_OK);
        EXPECT_TRUE(rows(text).isEmpty());
        EXPECT_EQ(fields(u"@ABCDATA"_s).size(), 3);
        EXPECT_EQ(state(def), CTSDbDef::VersionCurrent);
    }
}

TEST_F(DbDef, OlderTablesAreUpgradedWhenTheDefinitionIsKnown) {
    openCompany(company, 6);
    defineFirst();
    {
        const CTSResourceLoader v1(resources, CTSVersion(1, 0));
        ASSERT_EQ(CTSDbDef(company, v1, u"ABC"_s).Create(100, false, CTSVersion()), S_OK);
    }
    // Version 1.1 of the add-on has a field more.
    define(100, uR"(<usertable TableName="ABCDATA" TableDescription="Data">
        <userfields>
          <userfield Name="Num" Description="Number" Type="ID"/>
          <userfield Name="Text" Description="Text" Type="CHAR" Size="20"/>
          <userfield Name="On" Description="On" Type="FLAG"/>
          <userfield Name="Added" Description="New in 1.1" Type="DATE"/>
        </userfields></usertable>)"_s);
    const CTSResourceLoader v11(resources, CTSVersion(1, 1));
    CTSDbDef unaware(company, v11, u"ABC"_s);
    EXPECT_EQ(state(unaware), CTSDbDef::TablesUpgraded);
    EXPECT_EQ(fields(u"@ABCDATA"_s).size(), 3) << "no definition, no change";
    EXPECT_EQ(versionRow().value(0), u"1.00.00.00.00"_s);

    CTSDbDef aware(company, v11, u"ABC"_s, 100);
    EXPECT_EQ(state(aware), CTSDbDef::TablesUpgraded);
    EXPECT_EQ(fields(u"@ABCDATA"_s).value(3), u"Added"_s);
    EXPECT_EQ(versionRow(), (QStringList{u"1.01.00.00.00"_s, u"C"_s}));
    EXPECT_EQ(state(aware), CTSDbDef::VersionCurrent);
}

TEST_F(DbDef, AnInterruptedCreateIsFoundAsIncomplete) {
    openCompany(company, 6);
    // The second table's field has a description longer than the host
    // keeps: the first table is made, the second is not.
    define(101, uR"(<usertable TableName="ABCFIRST" TableDescription="First"/>
        <usertable TableName="ABCSECOND" TableDescription="Second"><userfields>
          <userfield Name="Long" Description="A description far longer than thirty characters" Type="INT"/>
        </userfields></usertable>)"_s);
    const CTSResourceLoader loader(resources, CTSVersion(3, 0));
    CTSDbDef def(company, loader, u"ABC"_s);
    EXPECT_LT(def.Create(101, false, CTSVersion()), 0);
    EXPECT_EQ(state(def), CTSDbDef::UpgradeIncomplete);
    EXPECT_EQ(versionRow(), (QStringList{u"3.00.00.00.00"_s, u"U"_s}));
    CTSVersion version;
    ASSERT_EQ(def.GetDBVersion(version), S_OK);
    EXPECT_EQ(version, CTSVersion(3, 0));
    EXPECT_EQ(def.GetFileVersion(version), S_OK);
    EXPECT_EQ(version, CTSVersion(3, 0));
}

TEST_F(DbDef, DefinitionsOutsideTheAddOnsTablesAreRefusedWhole) {
    openCompany(company, 6);
    define(102, uR"(<usertable TableName="ABCMINE"/><usertable TableName="OITM"/>)"_s);
    define(
        103,
        uR"(<usertable TableName="ABC"><userfields><userfield Name="X" Type="BLOB"/></userfields></usertable>)"_s);
    const CTSResourceLoader loader(resources);
    CTSDbDef def(company, loader, u"ABC"_s);
    EXPECT_EQ(def.Create(102, false, CTSVersion()), E_INVALIDARG);
    EXPECT_EQ(def.Create(103, false, CTSVersion()), E_INVALIDARG);
    EXPECT_EQ(def.Create(104, false, CTSVersion()), E_FAIL) << "no such resource";
    EXPECT_FALSE(LLObjectsCOM::UserTables::table(*company.state()->database, u"ABCMINE"_s));
    EXPECT_EQ(state(def), CTSDbDef::TablesMissing);
}

TEST_F(DbDef, AnUnconnectedCompanyFailsCleanly) {
    defineFirst();
    const CTSResourceLoader loader(resources);
    CTSDbDef def(company, loader, u"ABC"_s);
    int s = -1;
    EXPECT_LT(def.CheckVersion(s), 0);
    EXPECT_EQ(s, -1);
    EXPECT_LT(def.Create(100, false, CTSVersion()), 0);
}
