#include "HostTestSupport.h"
#include "TestData.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <QRegularExpression>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

// The user-table and user-field objects on a connected company.
class UserTableObjects : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        openCompany(company, 6);
    }
    std::unique_ptr<BusinessObject> object(int type) { return businessObject(company, type); }
    Database& db() { return *company.state()->database; }
    bool works(const QString& sql) { return !refused(company, sql); }
    int addTable(const QString& name) {
        std::unique_ptr<BusinessObject> t = object(BusinessObject::UserTablesType);
        t->SetProperty(u"TableName"_s, name);
        t->SetProperty(u"TableDescription"_s, u"Test table"_s);
        t->SetProperty(u"Archivable"_s, u"Y"_s);
        return t->Add();
    }
    int addField(const QString& table, const QString& name, const QString& type, int size,
                 const QString& lines = QString()) {
        std::unique_ptr<BusinessObject> f = object(BusinessObject::UserFieldsType);
        const QString xml = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"
                            u"152</Object></AdmInfo><CUFD><row><TableName>%1</TableName><Name>%2"
                            u"</Name><Description>d</Description><Type>%3</Type><EditSize>%4"
                            u"</EditSize><DefaultValue>Y</DefaultValue></row></CUFD><UFD1>%5</UFD1>"
                            u"</BO></BOM>"_s.arg(table, name, type)
                                .arg(size)
                                .arg(lines);
        EXPECT_EQ(f->ReadXml(xml), 0) << company.GetLastErrorDescription().toStdString();
        return f->Add();
    }

    Company company;
};

} // namespace

TEST_F(UserTableObjects, AddingATableMakesItAndRemovingDropsIt) {
    ASSERT_EQ(addTable(u"TOBJ"_s), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_TRUE(works(u"INSERT INTO [@TOBJ] (Code, Name) VALUES (N'1', N'one')"_s));
    const std::optional<UserTables::Table> t = UserTables::table(db(), u"TOBJ"_s);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->description, u"Test table"_s);
    EXPECT_EQ(addTable(u"tobj"_s), errRecordExists);
    EXPECT_EQ(addTable(QString()), errRequired);
    EXPECT_NE(addTable(u"BAD NAME"_s), 0);
    EXPECT_FALSE(UserTables::table(db(), u"BAD NAME"_s));

    std::unique_ptr<BusinessObject> gone = object(BusinessObject::UserTablesType);
    ASSERT_TRUE(gone->GetByKey({u"TOBJ"_s}));
    ASSERT_EQ(gone->Remove(), 0);
    EXPECT_FALSE(UserTables::table(db(), u"TOBJ"_s));
    EXPECT_FALSE(works(u"SELECT * FROM [@TOBJ]"_s));
}

TEST_F(UserTableObjects, AddingAFieldMakesTheColumnWithItsValidValues) {
    ASSERT_EQ(addTable(u"TOBJ"_s), 0);
    ASSERT_EQ(addField(u"@TOBJ"_s, u"On"_s, u"0"_s, 1,
                       u"<row><Value>Y</Value><Description>Yes</Description></row>"
                       u"<row><Value>N</Value><Description>No</Description></row>"_s),
              0)
        << company.GetLastErrorDescription().toStdString();
    ASSERT_EQ(addField(u"@TOBJ"_s, u"Count"_s, u"2"_s, 0), 0);
    EXPECT_TRUE(works(u"INSERT INTO [@TOBJ] (Code, Name, U_On, U_Count) VALUES "
                      u"(N'1', N'one', N'Y', 5)"_s));
    EXPECT_FALSE(works(u"UPDATE [@TOBJ] SET U_On = N'YES'"_s)) << "one character";

    const QList<UserTables::Field> fields = UserTables::fields(db(), u"@TOBJ"_s);
    ASSERT_EQ(fields.size(), 2);
    std::unique_ptr<BusinessObject> on = object(BusinessObject::UserFieldsType);
    ASSERT_TRUE(on->GetByKey({u"@TOBJ"_s, fields[0].fieldId}));
    const QString xml = on->GetAsXML();
    EXPECT_TRUE(xml.contains(u"<DefaultValue>Y</DefaultValue>"_s)) << xml.toStdString();
    EXPECT_TRUE(xml.contains(u"<Value>N</Value><Description>No</Description>"_s));

    EXPECT_EQ(addField(u"@TOBJ"_s, u"on"_s, u"0"_s, 1), errRecordExists);
    EXPECT_EQ(addField(u"@TOBJ"_s, u"Odd"_s, u"9"_s, 1), errWrongType);
    EXPECT_NE(addField(u"@NOSUCH"_s, u"X"_s, u"0"_s, 5), 0);

    ASSERT_EQ(on->Remove(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_FALSE(works(u"SELECT U_On FROM [@TOBJ]"_s));
    EXPECT_TRUE(works(u"SELECT U_Count FROM [@TOBJ]"_s));
    EXPECT_EQ(UserTables::fields(db(), u"@TOBJ"_s).size(), 1);
}

TEST_F(UserTableObjects, KeysOfUserTablesAreIndexesThatGoWithTheirTable) {
    ASSERT_EQ(addTable(u"TKEY"_s), 0);
    ASSERT_EQ(addField(u"@TKEY"_s, u"Num"_s, u"2"_s, 0), 0);
    QString error;
    ASSERT_TRUE(UserTables::addKey(db(), u"@TKEY"_s, u"TKEYI1"_s, true, {u"num"_s}, &error))
        << error.toStdString();
    EXPECT_TRUE(UserTables::hasKey(db(), u"@TKEY"_s, u"tkeyi1"_s));
    EXPECT_TRUE(works(u"INSERT INTO [@TKEY] (Code, Name, U_Num) VALUES (N'1', N'1', 7)"_s));
    EXPECT_FALSE(works(u"INSERT INTO [@TKEY] (Code, Name, U_Num) VALUES (N'2', N'2', 7)"_s));

    EXPECT_FALSE(UserTables::addKey(db(), u"@TKEY"_s, u"TKEYI1"_s, true, {u"Num"_s}, &error));
    EXPECT_FALSE(UserTables::addKey(db(), u"@TKEY"_s, u"TKEYI2"_s, false, {u"Missing"_s}, &error));
    EXPECT_FALSE(UserTables::addKey(db(), u"@TKEY"_s, u"TKEYI3"_s, false, {}, &error));
    EXPECT_FALSE(UserTables::addKey(db(), u"@NOSUCH"_s, u"K"_s, false, {u"Num"_s}, &error));
    // Names that are more than letters, digits and '_' never reach the SQL.
    static const QRegularExpression plain(u"^[A-Za-z0-9_]{1,20}$"_s);
    for (const QString& nasty : nastyStrings()) {
        if (!plain.match(nasty).hasMatch()) {
            EXPECT_FALSE(UserTables::addKey(db(), u"@TKEY"_s, nasty, false, {u"Num"_s}, &error))
                << nasty.toStdString();
        }
    }

    // Dropped with the table: a new table of the name takes the key again.
    std::unique_ptr<BusinessObject> t = object(BusinessObject::UserTablesType);
    ASSERT_TRUE(t->GetByKey({u"TKEY"_s}));
    ASSERT_EQ(t->Remove(), 0);
    EXPECT_FALSE(UserTables::hasKey(db(), u"@TKEY"_s, u"TKEYI1"_s));
    ASSERT_EQ(addTable(u"TKEY"_s), 0);
    ASSERT_EQ(addField(u"@TKEY"_s, u"Num"_s, u"2"_s, 0), 0);
    EXPECT_TRUE(UserTables::addKey(db(), u"@TKEY"_s, u"TKEYI1"_s, true, {u"Num"_s}, &error))
        << error.toStdString();
}
