#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLRecordset.h"

using namespace LLObjectsCOM;

namespace {

QString document(int object, const QString& table, const QString& fields,
                 const QString& more = QString()) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"
                          "%1</Object></AdmInfo><%2><row>%3</row></%2>%4</BO></BOM>")
        .arg(object)
        .arg(table, fields, more);
}

// A connected company with a price list and an item group to point at.
class Objects : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        const Server server = makeServer(6);
        createCompany(server, QStringLiteral("DEMO"));
        connect(company, server, QStringLiteral("DEMO"));
        sql(QStringLiteral(
            "INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (1, N'Base', 1)"));
    }
    void sql(const QString& statement) { ::scalar(company, statement); }
    QVariant scalar(const QString& statement) { return ::scalar(company, statement); }
    std::unique_ptr<BusinessObject> object(int type) {
        std::unique_ptr<HostObject> o = company.GetBusinessObject(type);
        return std::unique_ptr<BusinessObject>(static_cast<BusinessObject*>(o.release()));
    }
    int add(const QString& xml) {
        try {
            return company.GetBusinessObjectFromXML(xml, 0)->Add();
        } catch (const ComError& e) {
            return e.code();
        }
    }
    QString item(const QString& code, const QString& name, const QString& more = QString()) {
        return document(4, QStringLiteral("OITM"),
                        QStringLiteral("<ItemCode>%1</ItemCode><ItemName>%2</ItemName>"
                                       "<ItemsGroupCode>100</ItemsGroupCode>%3")
                            .arg(code, name, more),
                        QStringLiteral("<ITM1><row><PriceList>1</PriceList><Price>9.5</Price></row>"
                                       "</ITM1>"));
    }

    Company company;
};

} // namespace

TEST_F(Objects, AddGetByKeyAndGetAsXMLRoundTrip) {
    const QString xml =
        item(QStringLiteral("A1"), QStringLiteral("Widget &amp; &lt;Co&gt;"),
             QStringLiteral("<ValidFrom>20240131</ValidFrom><Weight>1.25</Weight>"));
    ASSERT_EQ(add(xml), 0) << company.GetLastErrorDescription().toStdString();
    std::unique_ptr<BusinessObject> items = object(4);
    ASSERT_TRUE(items->GetByKey({QStringLiteral("A1")}));
    const QString back = items->GetAsXML();
    EXPECT_TRUE(back.contains(QStringLiteral("<ItemName>Widget &amp; &lt;Co&gt;</ItemName>")));
    EXPECT_TRUE(back.contains(QStringLiteral("<ValidFrom>20240131</ValidFrom>")));
    EXPECT_TRUE(back.contains(QStringLiteral("<Weight>1.25</Weight>")));
    EXPECT_TRUE(
        back.contains(QStringLiteral("<ITM1><row><PriceList>1</PriceList><Price>9.5</Price>")));
    // Documents are kept in bulk: one holds no more memory than its text.
    EXPECT_EQ(back.capacity(), back.size());
    // The document read back adds into another company unchanged.
    const Server other = makeServer(6, QStringLiteral("other"));
    createCompany(other, QStringLiteral("EMPTY"));
    Company target;
    connect(target, other, QStringLiteral("EMPTY"));
    ::scalar(target, QStringLiteral(
                         "INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (1, N'Base', 1)"));
    ASSERT_EQ(target.GetBusinessObjectFromXML(back, 0)->Add(), 0)
        << target.GetLastErrorDescription().toStdString();
    std::unique_ptr<HostObject> copy = target.GetBusinessObject(4);
    ASSERT_TRUE(copy->Invoke(QStringLiteral("GetByKey"), {QStringLiteral("A1")}).toBool());
    EXPECT_EQ(copy->Invoke(QStringLiteral("GetAsXML")).toString(), back);
    EXPECT_FALSE(items->GetByKey({QStringLiteral("nope")}));
    EXPECT_EQ(company.GetLastErrorCode(), errRecordMissing);
}

TEST_F(Objects, AutoKeysFollowTheCounterAndTheTable) {
    sql(QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (57, N'Old')"));
    std::unique_ptr<BusinessObject> maker = company.GetBusinessObjectFromXML(
        document(43, QStringLiteral("OMRC"),
                 QStringLiteral("<Code>3</Code><ManufacturerName>Acme</ManufacturerName>")),
        0);
    ASSERT_EQ(maker->Add(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(maker->GetProperty(QStringLiteral("Code")).toString(), QStringLiteral("58"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT AutoKey FROM ONNM WHERE ObjectCode = N'43'")).toInt(),
              59);
    ASSERT_EQ(maker->Add(), 0);
    EXPECT_EQ(maker->GetProperty(QStringLiteral("Code")).toString(), QStringLiteral("59"));
}

TEST_F(Objects, TheHostSaysNoWithACodeAndAText) {
    ASSERT_EQ(add(item(QStringLiteral("A1"), QStringLiteral("One"))), 0);
    const QString longName(101, u'x');
    const QList<std::pair<QString, int>> cases{
        {item(QStringLiteral("A1"), QStringLiteral("Again")), errRecordExists},
        {document(4, QStringLiteral("OITM"),
                  QStringLiteral("<ItemCode>B</ItemCode><ItemsGroupCode>100</ItemsGroupCode>")),
         errRequired},
        {item(QStringLiteral("B"), longName), errTooLong},
        {item(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("<Weight>heavy</Weight>")),
         errWrongType},
        {item(QStringLiteral("B"), QStringLiteral("x"),
              QStringLiteral("<ValidFrom>20241399</ValidFrom>")),
         errWrongType},
        {document(4, QStringLiteral("OITM"),
                  QStringLiteral("<ItemCode>B</ItemCode><ItemName>x</ItemName><ItemsGroupCode>999</"
                                 "ItemsGroupCode>")),
         errReference},
        {item(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("<U_Color>red</U_Color>")),
         errUnknownField},
        {item(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("<Colour>red</Colour>")),
         errUnknownElement},
        {item(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("<ItemName>y</ItemName>")),
         errBadDocument},
        {QStringLiteral("<NotBOM/>"), errBadDocument},
        {QStringLiteral("<BOM><BO><AdmInfo><Object>4</Object></AdmInfo><OITM><row>"),
         errBadDocument},
        {document(4, QStringLiteral("OMRC"), QStringLiteral("<Code>1</Code>")), errUnknownElement},
        {document(999, QStringLiteral("OITM"), QString()), errBadDocument},
    };
    for (const auto& [xml, code] : cases)
        EXPECT_EQ(add(xml), code) << xml.toStdString() << "\n"
                                  << company.GetLastErrorDescription().toStdString();
    // A document type declaration is refused, saying where: its entities
    // could stand for anything.
    QString declared = item(QStringLiteral("C"), QStringLiteral("&e;"));
    declared.insert(declared.indexOf(u'>') + 1,
                    QStringLiteral("<!DOCTYPE BOM [<!ENTITY e \"Injected\">]>"));
    EXPECT_EQ(add(declared), errBadDocument);
    EXPECT_TRUE(company.GetLastErrorDescription().contains(
        QStringLiteral("document type declarations are not allowed (line 1, column")))
        << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OITM")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM ITM1")).toInt(), 1)
        << "no half-written lines";

    // A document of another object type is refused by an object of this one.
    std::unique_ptr<BusinessObject> items = object(4);
    EXPECT_EQ(
        items->ReadXml(document(43, QStringLiteral("OMRC"), QStringLiteral("<Code>1</Code>"))),
        errBadDocument);

    // Update and Remove of what does not exist, Remove of what is in use.
    std::unique_ptr<BusinessObject> ghost =
        company.GetBusinessObjectFromXML(item(QStringLiteral("GHOST"), QStringLiteral("g")), 0);
    EXPECT_EQ(ghost->Update(), errRecordMissing);
    EXPECT_EQ(ghost->Remove(), errRecordMissing);
    std::unique_ptr<BusinessObject> groups = object(52);
    ASSERT_TRUE(groups->GetByKey({100}));
    EXPECT_EQ(groups->Remove(), errInUse);
    EXPECT_FALSE(company.GetLastErrorDescription().isEmpty());
}

TEST_F(Objects, AFailedLineLeavesNothingBehind) {
    const QString xml = document(4, QStringLiteral("OITM"),
                                 QStringLiteral("<ItemCode>C</ItemCode><ItemName>c</ItemName>"
                                                "<ItemsGroupCode>100</ItemsGroupCode>"),
                                 QStringLiteral("<ITM1><row><PriceList>1</PriceList></row>"
                                                "<row><PriceList>77</PriceList></row></ITM1>"));
    EXPECT_EQ(add(xml), errReference);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OITM")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM ITM1")).toInt(), 0);
}

TEST_F(Objects, UpdateReplacesLinesAndKeepsWhatTheDocumentDoesNotName) {
    ASSERT_EQ(add(item(QStringLiteral("A1"), QStringLiteral("One"),
                       QStringLiteral("<ForeignName>Eins</ForeignName>"))),
              0);
    sql(QStringLiteral("INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (2, N'Retail', 1)"));
    std::unique_ptr<HostObject> items = company.GetBusinessObject(4);
    ASSERT_TRUE(items->Invoke(QStringLiteral("GetByKey"), {QStringLiteral("A1")}).toBool());
    HostObject* browser = items->Invoke(QStringLiteral("Browser")).value<HostObject*>();
    ASSERT_TRUE(browser);
    const QString change =
        document(4, QStringLiteral("OITM"),
                 QStringLiteral("<ItemCode>A1</ItemCode><ItemName>Uno</ItemName>"),
                 QStringLiteral("<ITM1><row><PriceList>1</PriceList><Price>1</Price></row>"
                                "<row><PriceList>2</PriceList><Price>2</Price></row></ITM1>"));
    ASSERT_EQ(browser->Invoke(QStringLiteral("ReadXml"), {change, 0}).toInt(), 0);
    ASSERT_EQ(items->Invoke(QStringLiteral("Update")).toInt(), 0)
        << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT FrgnName FROM OITM WHERE ItemCode = 'A1'")),
              QStringLiteral("Eins"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ItemName FROM OITM WHERE ItemCode = 'A1'")),
              QStringLiteral("Uno"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM ITM1 WHERE ItemCode = 'A1'")).toInt(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT MAX(LineNum) FROM ITM1")).toInt(), 1);
    EXPECT_EQ(items->Invoke(QStringLiteral("ItemName")).toString(), QStringLiteral("Uno"));
    EXPECT_THROW(items->Invoke(QStringLiteral("NoSuchMember")), ComError);

    ASSERT_EQ(items->Invoke(QStringLiteral("Remove")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM ITM1")).toInt(), 0);
}

TEST_F(Objects, HostileTextIsStoredByteForByteOrRefused) {
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    // An item whose name and remarks hold the text, set property by property.
    const auto itemWith = [&](const QString& code, const QString& name, const QString& text) {
        std::unique_ptr<BusinessObject> items = object(4);
        items->SetProperty(QStringLiteral("ItemCode"), code);
        items->SetProperty(QStringLiteral("ItemsGroupCode"), QStringLiteral("100"));
        items->SetProperty(QStringLiteral("ItemName"), name);
        items->SetProperty(QStringLiteral("UserText"), text);
        return items;
    };
    int n = 0;
    for (const QString& value : nasty) {
        const QString code = QStringLiteral("N%1").arg(++n);
        const int result =
            itemWith(code, value.isEmpty() ? QStringLiteral("-") : value, value)->Add();
        if (value.contains(QChar(0)) || value.size() > 100) {
            EXPECT_NE(result, 0) << value.size();
            continue;
        }
        ASSERT_EQ(result, 0) << value.toStdString()
                             << company.GetLastErrorDescription().toStdString();
        std::unique_ptr<BusinessObject> back = object(4);
        ASSERT_TRUE(back->GetByKey({code}));
        EXPECT_EQ(back->GetProperty(QStringLiteral("UserText")).toString(), value);
        // And through the document, as a copy carries it.
        std::unique_ptr<BusinessObject> reread = object(4);
        ASSERT_EQ(reread->ReadXml(back->GetAsXML()), 0);
        EXPECT_EQ(reread->GetProperty(QStringLiteral("UserText")).toString(), value);
    }
    std::unique_ptr<BusinessObject> items =
        itemWith(QStringLiteral("BIG"), QStringLiteral("big"), QString(1024 * 1024, u'y'));
    const int big = items->Add();
    if (big == 0) {
        ASSERT_TRUE(items->GetByKey({QStringLiteral("BIG")}));
        EXPECT_EQ(items->GetProperty(QStringLiteral("UserText")).toString().size(), 1024 * 1024);
    } else {
        EXPECT_EQ(big, errTooLong);
    }
}

TEST_F(Objects, PasswordsAreHashedAndNeverHandedOut) {
    std::unique_ptr<BusinessObject> users = object(12);
    users->SetProperty(QStringLiteral("UserCode"), QStringLiteral("clerk"));
    users->SetProperty(QStringLiteral("UserName"), QStringLiteral("A Clerk"));
    users->SetProperty(QStringLiteral("UserPassword"), QStringLiteral("s3cret"));
    ASSERT_EQ(users->Add(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_NE(scalar(QStringLiteral("SELECT PASSWORD FROM OUSR WHERE USER_CODE = 'clerk'")),
              QStringLiteral("s3cret"));
    EXPECT_FALSE(users->GetAsXML().contains(QStringLiteral("s3cret")));
    EXPECT_FALSE(users->GetAsXML().contains(QStringLiteral("UserPassword")));
    EXPECT_FALSE(
        scalar(QStringLiteral("SELECT USERID FROM OUSR WHERE USER_CODE = 'clerk'")).isNull());
    Company clerk;
    logOn(clerk, company.state()->server->folder(), QStringLiteral("DEMO"), QStringLiteral("clerk"),
          QStringLiteral("s3cret"));
    EXPECT_EQ(clerk.Connect(), 0) << clerk.GetLastErrorDescription().toStdString();
}
