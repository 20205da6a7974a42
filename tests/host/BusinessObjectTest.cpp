#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLRecordset.h"

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

QString document(int object, const QString& table, const QString& fields,
                 const QString& more = QString()) {
    return u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"
           u"%1</Object></AdmInfo><%2><row>%3</row></%2>%4</BO></BOM>"_s.arg(object)
               .arg(table, fields, more);
}

// A connected company with a price list and an item group to point at.
class Objects : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        openCompany(company, 6);
        sql(u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (1, N'Base', 1)"_s);
    }
    void sql(const QString& statement) { ::scalar(company, statement); }
    QVariant scalar(const QString& statement) { return ::scalar(company, statement); }
    std::unique_ptr<BusinessObject> object(int type) { return businessObject(company, type); }
    int add(const QString& xml) {
        try {
            return company.GetBusinessObjectFromXML(xml, 0)->Add();
        } catch (const ComError& e) {
            return e.code();
        }
    }
    QString item(const QString& code, const QString& name, const QString& more = QString()) {
        return document(4, u"OITM"_s,
                        u"<ItemCode>%1</ItemCode><ItemName>%2</ItemName>"
                        u"<ItemsGroupCode>100</ItemsGroupCode>%3"_s.arg(code, name, more),
                        u"<ITM1><row><PriceList>1</PriceList><Price>9.5</Price></row>"
                        u"</ITM1>"_s);
    }

    Company company;
};

} // namespace

TEST_F(Objects, AddGetByKeyAndGetAsXMLRoundTrip) {
    const QString xml = item(u"A1"_s, u"Widget &amp; &lt;Co&gt;"_s,
                             u"<ValidFrom>20240131</ValidFrom><Weight>1.25</Weight>"_s);
    ASSERT_EQ(add(xml), 0) << company.GetLastErrorDescription().toStdString();
    std::unique_ptr<BusinessObject> items = object(4);
    ASSERT_TRUE(items->GetByKey({u"A1"_s}));
    const QString back = items->GetAsXML();
    EXPECT_TRUE(back.contains(u"<ItemName>Widget &amp; &lt;Co&gt;</ItemName>"_s));
    EXPECT_TRUE(back.contains(u"<ValidFrom>20240131</ValidFrom>"_s));
    EXPECT_TRUE(back.contains(u"<Weight>1.25</Weight>"_s));
    EXPECT_TRUE(back.contains(u"<ITM1><row><PriceList>1</PriceList><Price>9.5</Price>"_s));
    // Documents are kept in bulk: one holds no more memory than its text.
    EXPECT_EQ(back.capacity(), back.size());
    // By name as well. (Its copy into another company: RoundTripTest.)
    EXPECT_EQ(items->Invoke(u"GetAsXML"_s).toString(), back);
    EXPECT_FALSE(items->GetByKey({u"nope"_s}));
    EXPECT_EQ(company.GetLastErrorCode(), errRecordMissing);
}

TEST_F(Objects, AutoKeysFollowTheCounterAndTheTable) {
    sql(u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (57, N'Old')"_s);
    std::unique_ptr<BusinessObject> maker = company.GetBusinessObjectFromXML(
        document(43, u"OMRC"_s, u"<Code>3</Code><ManufacturerName>Acme</ManufacturerName>"_s), 0);
    ASSERT_EQ(maker->Add(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(maker->GetProperty(u"Code"_s).toString(), u"58"_s);
    EXPECT_EQ(scalar(u"SELECT AutoKey FROM ONNM WHERE ObjectCode = N'43'"_s).toInt(), 59);
    ASSERT_EQ(maker->Add(), 0);
    EXPECT_EQ(maker->GetProperty(u"Code"_s).toString(), u"59"_s);
}

TEST_F(Objects, TheHostSaysNoWithACodeAndAText) {
    ASSERT_EQ(add(item(u"A1"_s, u"One"_s)), 0);
    const QString longName(101, u'x');
    const QList<std::pair<QString, int>> cases{
        {item(u"A1"_s, u"Again"_s), errRecordExists},
        {document(4, u"OITM"_s, u"<ItemCode>B</ItemCode><ItemsGroupCode>100</ItemsGroupCode>"_s),
         errRequired},
        {item(u"B"_s, longName), errTooLong},
        {item(u"B"_s, u"x"_s, u"<Weight>heavy</Weight>"_s), errWrongType},
        {item(u"B"_s, u"x"_s, u"<ValidFrom>20241399</ValidFrom>"_s), errWrongType},
        {document(4, u"OITM"_s,
                  u"<ItemCode>B</ItemCode><ItemName>x</ItemName><ItemsGroupCode>999</"
                  u"ItemsGroupCode>"_s),
         errReference},
        {item(u"B"_s, u"x"_s, u"<U_Color>red</U_Color>"_s), errUnknownField},
        {item(u"B"_s, u"x"_s, u"<Colour>red</Colour>"_s), errUnknownElement},
        {item(u"B"_s, u"x"_s, u"<ItemName>y</ItemName>"_s), errBadDocument},
        {u"<NotBOM/>"_s, errBadDocument},
        {u"<BOM><BO><AdmInfo><Object>4</Object></AdmInfo><OITM><row>"_s, errBadDocument},
        {document(4, u"OMRC"_s, u"<Code>1</Code>"_s), errUnknownElement},
        {document(999, u"OITM"_s, QString()), errBadDocument},
        // A line that fails after the record and a good line are written.
        {document(4, u"OITM"_s,
                  u"<ItemCode>C</ItemCode><ItemName>c</ItemName>"
                  u"<ItemsGroupCode>100</ItemsGroupCode>"_s,
                  u"<ITM1><row><PriceList>1</PriceList></row>"
                  u"<row><PriceList>77</PriceList></row></ITM1>"_s),
         errReference},
    };
    for (const auto& [xml, code] : cases)
        EXPECT_EQ(add(xml), code) << xml.toStdString() << "\n"
                                  << company.GetLastErrorDescription().toStdString();
    // A document type declaration is refused, saying where: its entities
    // could stand for anything.
    QString declared = item(u"C"_s, u"&e;"_s);
    declared.insert(declared.indexOf(u'>') + 1, u"<!DOCTYPE BOM [<!ENTITY e \"Injected\">]>"_s);
    EXPECT_EQ(add(declared), errBadDocument);
    EXPECT_TRUE(company.GetLastErrorDescription().contains(
        u"document type declarations are not allowed (line 1, column"_s))
        << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM OITM"_s).toInt(), 1);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM ITM1"_s).toInt(), 1) << "no half-written lines";

    // A document of another object type is refused by an object of this one.
    std::unique_ptr<BusinessObject> items = object(4);
    EXPECT_EQ(items->ReadXml(document(43, u"OMRC"_s, u"<Code>1</Code>"_s)), errBadDocument);

    // Update and Remove of what does not exist, Remove of what is in use.
    std::unique_ptr<BusinessObject> ghost =
        company.GetBusinessObjectFromXML(item(u"GHOST"_s, u"g"_s), 0);
    EXPECT_EQ(ghost->Update(), errRecordMissing);
    EXPECT_EQ(ghost->Remove(), errRecordMissing);
    std::unique_ptr<BusinessObject> groups = object(52);
    ASSERT_TRUE(groups->GetByKey({100}));
    EXPECT_EQ(groups->Remove(), errInUse);
    EXPECT_FALSE(company.GetLastErrorDescription().isEmpty());
}

TEST_F(Objects, UpdateReplacesLinesAndKeepsWhatTheDocumentDoesNotName) {
    ASSERT_EQ(add(item(u"A1"_s, u"One"_s, u"<ForeignName>Eins</ForeignName>"_s)), 0);
    sql(u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (2, N'Retail', 1)"_s);
    std::unique_ptr<HostObject> items = company.GetBusinessObject(4);
    ASSERT_TRUE(items->Invoke(u"GetByKey"_s, {u"A1"_s}).toBool());
    HostObject* browser = items->Invoke(u"Browser"_s).value<HostObject*>();
    ASSERT_TRUE(browser);
    const QString change =
        document(4, u"OITM"_s, u"<ItemCode>A1</ItemCode><ItemName>Uno</ItemName>"_s,
                 u"<ITM1><row><PriceList>1</PriceList><Price>1</Price></row>"
                 u"<row><PriceList>2</PriceList><Price>2</Price></row></ITM1>"_s);
    ASSERT_EQ(browser->Invoke(u"ReadXml"_s, {change, 0}).toInt(), 0);
    ASSERT_EQ(items->Invoke(u"Update"_s).toInt(), 0)
        << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(u"SELECT FrgnName FROM OITM WHERE ItemCode = 'A1'"_s), u"Eins"_s);
    EXPECT_EQ(scalar(u"SELECT ItemName FROM OITM WHERE ItemCode = 'A1'"_s), u"Uno"_s);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM ITM1 WHERE ItemCode = 'A1'"_s).toInt(), 2);
    EXPECT_EQ(scalar(u"SELECT MAX(LineNum) FROM ITM1"_s).toInt(), 1);
    EXPECT_EQ(items->Invoke(u"ItemName"_s).toString(), u"Uno"_s);
    EXPECT_THROW(items->Invoke(u"NoSuchMember"_s), ComError);

    ASSERT_EQ(items->Invoke(u"Remove"_s).toInt(), 0);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM ITM1"_s).toInt(), 0);
}

TEST_F(Objects, HostileTextIsStoredByteForByteOrRefused) {
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    // An item whose name and remarks hold the text, set property by property.
    const auto itemWith = [&](const QString& code, const QString& name, const QString& text) {
        std::unique_ptr<BusinessObject> items = object(4);
        items->SetProperty(u"ItemCode"_s, code);
        items->SetProperty(u"ItemsGroupCode"_s, u"100"_s);
        items->SetProperty(u"ItemName"_s, name);
        items->SetProperty(u"UserText"_s, text);
        return items;
    };
    int n = 0;
    for (const QString& value : nasty) {
        const QString code = u"N%1"_s.arg(++n);
        const int result = itemWith(code, value.isEmpty() ? u"-"_s : value, value)->Add();
        if (value.contains(QChar(0)) || value.size() > 100) {
            EXPECT_NE(result, 0) << value.size();
            continue;
        }
        ASSERT_EQ(result, 0) << value.toStdString()
                             << company.GetLastErrorDescription().toStdString();
        std::unique_ptr<BusinessObject> back = object(4);
        ASSERT_TRUE(back->GetByKey({code}));
        EXPECT_EQ(back->GetProperty(u"UserText"_s).toString(), value);
        // And through the document, as a copy carries it.
        std::unique_ptr<BusinessObject> reread = object(4);
        ASSERT_EQ(reread->ReadXml(back->GetAsXML()), 0);
        EXPECT_EQ(reread->GetProperty(u"UserText"_s).toString(), value);
    }
    std::unique_ptr<BusinessObject> items =
        itemWith(u"BIG"_s, u"big"_s, QString(1024 * 1024, u'y'));
    const int big = items->Add();
    if (big == 0) {
        ASSERT_TRUE(items->GetByKey({u"BIG"_s}));
        EXPECT_EQ(items->GetProperty(u"UserText"_s).toString().size(), 1024 * 1024);
    } else {
        EXPECT_EQ(big, errTooLong);
    }
}

TEST_F(Objects, PasswordsAreHashedAndNeverHandedOut) {
    std::unique_ptr<BusinessObject> users = object(12);
    users->SetProperty(u"UserCode"_s, u"clerk"_s);
    users->SetProperty(u"UserName"_s, u"A Clerk"_s);
    users->SetProperty(u"UserPassword"_s, u"s3cret"_s);
    ASSERT_EQ(users->Add(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_NE(scalar(u"SELECT PASSWORD FROM OUSR WHERE USER_CODE = 'clerk'"_s), u"s3cret"_s);
    EXPECT_FALSE(users->GetAsXML().contains(u"s3cret"_s));
    EXPECT_FALSE(users->GetAsXML().contains(u"UserPassword"_s));
    EXPECT_FALSE(scalar(u"SELECT USERID FROM OUSR WHERE USER_CODE = 'clerk'"_s).isNull());
    Company clerk;
    logOn(clerk, company.state()->server->folder(), u"DEMO"_s, u"clerk"_s, u"s3cret"_s);
    EXPECT_EQ(clerk.Connect(), 0) << clerk.GetLastErrorDescription().toStdString();
}
