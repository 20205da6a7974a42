#include "HostTestSupport.h"
#include "TestData.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <QRegularExpression>

using namespace LLObjectsCOM;

namespace {

// The user-table and user-field objects on a connected company.
class UserTableObjects : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        openCompany(company, 6);
    }
    std::unique_ptr<BusinessObject> object(int type) {
        std::unique_ptr<HostObject> o = company.GetBusinessObject(type);
        return std::unique_ptr<BusinessObject>(dynamic_cast<BusinessObject*>(o.release()));
    }
    Database& db() { return *company.state()->database; }
    bool works(const QString& sql) {
        try {
            company.GetRecordset()->DoQuery(sql);
            return true;
        } catch (const ComError&) {
            return false;
        }
    }
    int addTable(const QString& name) {
        std::unique_ptr<BusinessObject> t = object(BusinessObject::UserTablesType);
        t->SetProperty(QStringLiteral("TableName"), name);
        t->SetProperty(QStringLiteral("TableDescription"), QStringLiteral("Test table"));
        t->SetProperty(QStringLiteral("Archivable"), QStringLiteral("Y"));
        return t->Add();
    }
    int addField(const QString& table, const QString& name, const QString& type, int size,
                 const QString& lines = QString()) {
        std::unique_ptr<BusinessObject> f = object(BusinessObject::UserFieldsType);
        const QString xml =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"
                           "152</Object></AdmInfo><CUFD><row><TableName>%1</TableName><Name>%2"
                           "</Name><Description>d</Description><Type>%3</Type><EditSize>%4"
                           "</EditSize><DefaultValue>Y</DefaultValue></row></CUFD><UFD1>%5</UFD1>"
                           "</BO></BOM>")
                .arg(table, name, type)
                .arg(size)
                .arg(lines);
        EXPECT_EQ(f->ReadXml(xml), 0) << company.GetLastErrorDescription().toStdString();
        return f->Add();
    }

    Company company;
};

} // namespace

TEST_F(UserTableObjects, AddingATableMakesItAndRemovingDropsIt) {
    ASSERT_EQ(addTable(QStringLiteral("TOBJ")), 0)
        << company.GetLastErrorDescription().toStdString();
    EXPECT_TRUE(works(QStringLiteral("INSERT INTO [@TOBJ] (Code, Name) VALUES (N'1', N'one')")));
    const std::optional<UserTables::Table> t = UserTables::table(db(), QStringLiteral("TOBJ"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->description, QStringLiteral("Test table"));
    EXPECT_EQ(addTable(QStringLiteral("tobj")), errRecordExists);
    EXPECT_EQ(addTable(QString()), errRequired);
    EXPECT_NE(addTable(QStringLiteral("BAD NAME")), 0);
    EXPECT_FALSE(UserTables::table(db(), QStringLiteral("BAD NAME")));

    std::unique_ptr<BusinessObject> gone = object(BusinessObject::UserTablesType);
    ASSERT_TRUE(gone->GetByKey({QStringLiteral("TOBJ")}));
    ASSERT_EQ(gone->Remove(), 0);
    EXPECT_FALSE(UserTables::table(db(), QStringLiteral("TOBJ")));
    EXPECT_FALSE(works(QStringLiteral("SELECT * FROM [@TOBJ]")));
}

TEST_F(UserTableObjects, AddingAFieldMakesTheColumnWithItsValidValues) {
    ASSERT_EQ(addTable(QStringLiteral("TOBJ")), 0);
    ASSERT_EQ(addField(QStringLiteral("@TOBJ"), QStringLiteral("On"), QStringLiteral("0"), 1,
                       QStringLiteral("<row><Value>Y</Value><Description>Yes</Description></row>"
                                      "<row><Value>N</Value><Description>No</Description></row>")),
              0)
        << company.GetLastErrorDescription().toStdString();
    ASSERT_EQ(addField(QStringLiteral("@TOBJ"), QStringLiteral("Count"), QStringLiteral("2"), 0),
              0);
    EXPECT_TRUE(works(QStringLiteral("INSERT INTO [@TOBJ] (Code, Name, U_On, U_Count) VALUES "
                                     "(N'1', N'one', N'Y', 5)")));
    EXPECT_FALSE(works(QStringLiteral("UPDATE [@TOBJ] SET U_On = N'YES'"))) << "one character";

    const QList<UserTables::Field> fields = UserTables::fields(db(), QStringLiteral("@TOBJ"));
    ASSERT_EQ(fields.size(), 2);
    std::unique_ptr<BusinessObject> on = object(BusinessObject::UserFieldsType);
    ASSERT_TRUE(on->GetByKey({QStringLiteral("@TOBJ"), fields[0].fieldId}));
    const QString xml = on->GetAsXML();
    EXPECT_TRUE(xml.contains(QStringLiteral("<DefaultValue>Y</DefaultValue>")))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<Value>N</Value><Description>No</Description>")));

    EXPECT_EQ(addField(QStringLiteral("@TOBJ"), QStringLiteral("on"), QStringLiteral("0"), 1),
              errRecordExists);
    EXPECT_EQ(addField(QStringLiteral("@TOBJ"), QStringLiteral("Odd"), QStringLiteral("9"), 1),
              errWrongType);
    EXPECT_NE(addField(QStringLiteral("@NOSUCH"), QStringLiteral("X"), QStringLiteral("0"), 5), 0);

    ASSERT_EQ(on->Remove(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_FALSE(works(QStringLiteral("SELECT U_On FROM [@TOBJ]")));
    EXPECT_TRUE(works(QStringLiteral("SELECT U_Count FROM [@TOBJ]")));
    EXPECT_EQ(UserTables::fields(db(), QStringLiteral("@TOBJ")).size(), 1);
}

TEST_F(UserTableObjects, KeysOfUserTablesAreIndexesThatGoWithTheirTable) {
    ASSERT_EQ(addTable(QStringLiteral("TKEY")), 0);
    ASSERT_EQ(addField(QStringLiteral("@TKEY"), QStringLiteral("Num"), QStringLiteral("2"), 0), 0);
    QString error;
    ASSERT_TRUE(UserTables::addKey(db(), QStringLiteral("@TKEY"), QStringLiteral("TKEYI1"), true,
                                   {QStringLiteral("num")}, &error))
        << error.toStdString();
    EXPECT_TRUE(UserTables::hasKey(db(), QStringLiteral("@TKEY"), QStringLiteral("tkeyi1")));
    EXPECT_TRUE(
        works(QStringLiteral("INSERT INTO [@TKEY] (Code, Name, U_Num) VALUES (N'1', N'1', 7)")));
    EXPECT_FALSE(
        works(QStringLiteral("INSERT INTO [@TKEY] (Code, Name, U_Num) VALUES (N'2', N'2', 7)")));

    EXPECT_FALSE(UserTables::addKey(db(), QStringLiteral("@TKEY"), QStringLiteral("TKEYI1"), true,
                                    {QStringLiteral("Num")}, &error));
    EXPECT_FALSE(UserTables::addKey(db(), QStringLiteral("@TKEY"), QStringLiteral("TKEYI2"), false,
                                    {QStringLiteral("Missing")}, &error));
    EXPECT_FALSE(UserTables::addKey(db(), QStringLiteral("@TKEY"), QStringLiteral("TKEYI3"), false,
                                    {}, &error));
    EXPECT_FALSE(UserTables::addKey(db(), QStringLiteral("@NOSUCH"), QStringLiteral("K"), false,
                                    {QStringLiteral("Num")}, &error));
    // Names that are more than letters, digits and '_' never reach the SQL.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_]{1,20}$"));
    for (const QString& nasty : nastyStrings()) {
        if (!plain.match(nasty).hasMatch()) {
            EXPECT_FALSE(UserTables::addKey(db(), QStringLiteral("@TKEY"), nasty, false,
                                            {QStringLiteral("Num")}, &error))
                << nasty.toStdString();
        }
    }

    // Dropped with the table: a new table of the name takes the key again.
    std::unique_ptr<BusinessObject> t = object(BusinessObject::UserTablesType);
    ASSERT_TRUE(t->GetByKey({QStringLiteral("TKEY")}));
    ASSERT_EQ(t->Remove(), 0);
    EXPECT_FALSE(UserTables::hasKey(db(), QStringLiteral("@TKEY"), QStringLiteral("TKEYI1")));
    ASSERT_EQ(addTable(QStringLiteral("TKEY")), 0);
    ASSERT_EQ(addField(QStringLiteral("@TKEY"), QStringLiteral("Num"), QStringLiteral("2"), 0), 0);
    EXPECT_TRUE(UserTables::addKey(db(), QStringLiteral("@TKEY"), QStringLiteral("TKEYI1"), true,
                                   {QStringLiteral("Num")}, &error))
        << error.toStdString();
}
