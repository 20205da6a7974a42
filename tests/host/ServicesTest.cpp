#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLAdminInfo.h"
#include "host/objects/LLBridge.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLFormPreferencesService.h"
#include "host/objects/LLLayoutService.h"
#include "host/objects/LLMenuService.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLSchema.h"
#include "host/objects/LLXmlText.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <optional>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

QString element(const QString& name, const QString& text) {
    return u'<' + name + u'>' + LLEscapeXmlText(text) + u"</"_s + name + u'>';
}

// The text of the first element called name, or nothing.
std::optional<QString> textOf(const QString& xml, const QString& name) {
    QXmlStreamReader reader(xml);
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd())
        if (reader.isStartElement() && reader.name() == name)
            return reader.readElementText();
    return std::nullopt;
}

QString layoutXml(const QString& fields) {
    return u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"
           u"232</Object></AdmInfo><RDOC><row>%1</row></RDOC></BO></BOM>"_s.arg(fields);
}

// Two columns of the item form's grid.
const QString kPreferences =
    u"<ColumnsPreferences>"
    u"<ColumnPreference><ItemID>38</ItemID><ColumnID>1</ColumnID><Position>0</Position>"
    u"<Width>120</Width><Visible>Y</Visible><Editable>N</Editable>"
    u"<Description>Item No.</Description></ColumnPreference>"
    u"<ColumnPreference><ItemID>38</ItemID><ColumnID>3</ColumnID><Position>1</Position>"
    u"<Width>80</Width><Visible>N</Visible><Editable>Y</Editable><FontSize>9</FontSize>"
    u"</ColumnPreference></ColumnsPreferences>"_s;

// A folder with a report in it, and a menu entry at the top.
const QString kMenu =
    u"<UserMenu>"
    u"<MenuItem><Position>0</Position><Father>-1</Father><Type>F</Type><Name>My reports</Name>"
    u"</MenuItem>"
    u"<MenuItem><Position>1</Position><Father>0</Father><Type>R</Type><Name>Stock</Name>"
    u"<Link>RCT20001</Link></MenuItem>"
    u"<MenuItem><Position>2</Position><Father>-1</Father><Type>M</Type><Name>Items</Name>"
    u"<Link>3073</Link></MenuItem></UserMenu>"_s;

// A connected company with a second user, alice, and a fixed clock.
class Services : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(6));
        createCompany(*server, u"DEMO"_s);
        QString error;
        ASSERT_TRUE(
            Admin::addUser(*server, u"DEMO"_s, u"alice"_s, u"Alice"_s, u"pw"_s, false, &error))
            << error.toStdString();
        connect(company, *server, u"DEMO"_s);
        company.setClock([] { return QDateTime(QDate(2024, 3, 15), QTime(10, 30)); });
        alice = scalar(u"SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = N'alice'"_s).toInt();
        ASSERT_GT(alice, 1);
        service = company.GetCompanyService();
    }

    QVariant scalar(const QString& sql) { return ::scalar(company, sql); }
    // Every row of a query as text, to see that nothing changed.
    QString rows(const QString& sql) {
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        rs->DoQuery(sql);
        return rs->GetAsXML();
    }
    // The code of the ComError that call throws, with the company's last
    // error set to it; 0 when it does not throw.
    int errorOf(const std::function<void()>& call) { return comErrorOf(company, call); }
    template <typename T> std::unique_ptr<T> businessService(CompanyService& from, int type) {
        std::unique_ptr<HostObject> o = from.GetBusinessService(type);
        EXPECT_EQ(o->ObjectType(), type);
        T* typed = dynamic_cast<T*>(o.get());
        EXPECT_NE(typed, nullptr);
        o.release();
        return std::unique_ptr<T>(typed);
    }
    std::unique_ptr<Bridge> bridge() {
        std::unique_ptr<HostObject> o = company.GetBusinessObject(Bridge::TypeNumber);
        EXPECT_EQ(o->ObjectType(), Bridge::TypeNumber);
        return std::unique_ptr<Bridge>(dynamic_cast<Bridge*>(o.release()));
    }
    std::optional<Server> server;
    Company company;
    std::unique_ptr<CompanyService> service;
    int alice = 0;
};

} // namespace

// ---------------------------------------------------------------------------
// The service object

// Each service by its type (every test below takes its service so, and
// businessService checks type and class); an unknown type fails.
TEST_F(Services, TheServiceObjectHandsOutEachServiceByType) {
    EXPECT_EQ(errorOf([&] { service->GetBusinessService(231); }), errUnknownObject);
    EXPECT_TRUE(company.GetLastErrorDescription().contains(u"231"_s));
    EXPECT_EQ(errorOf([&] { service->GetBusinessService(0); }), errUnknownObject);
    EXPECT_NE(bridge(), nullptr);

    // Services taken before a disconnect fail cleanly afterwards.
    std::unique_ptr<MenuService> menus = businessService<MenuService>(*service, 2002);
    std::unique_ptr<Bridge> b = bridge();
    company.Disconnect();
    EXPECT_EQ(errorOf([&] { menus->GetUserMenu(1); }), errNotConnected);
    EXPECT_EQ(errorOf([&] { b->GetPermission(1, 1); }), errNotConnected);
    EXPECT_EQ(errorOf([&] { service->GetAdminInfo(); }), errNotConnected);
    EXPECT_EQ(errorOf([&] { company.GetCompanyService(); }), errNotConnected);
}

// ---------------------------------------------------------------------------
// Administration information

TEST_F(Services, AdminInfoReadsTypedValuesAndWritesChangesAtOnce) {
    std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
    const QStringList names = info->PropertyNames();
    EXPECT_TRUE(names.contains(u"CompanyName"_s));
    EXPECT_TRUE(names.contains(u"AutoCreateCustomerEqCard"_s));
    EXPECT_FALSE(names.contains(u"CompnyName"_s));
    EXPECT_FALSE(names.contains(u"Code"_s));
    EXPECT_EQ(info->GetProperty(u"CompanyName"_s), u"Demo US"_s);
    EXPECT_EQ(info->GetProperty(u"companyname"_s), u"Demo US"_s);
    EXPECT_EQ(info->GetProperty(u"TotalsAccuracy"_s).typeId(), QMetaType::Int);
    EXPECT_EQ(info->GetProperty(u"TotalsAccuracy"_s).toInt(), 2);
    EXPECT_EQ(info->GetProperty(u"TaxPercentage"_s).typeId(), QMetaType::Double);
    EXPECT_EQ(info->GetProperty(u"DateSeparator"_s), u"."_s);
    EXPECT_TRUE(info->GetProperty(u"DefaultDunningTerm"_s).isNull());
    EXPECT_FALSE(info->HasChanges());

    info->SetProperty(u"CompanyName"_s, u"Acme Ltd"_s);
    info->SetProperty(u"DateTemplate"_s, 3);
    info->SetProperty(u"TaxPercentage"_s, 7.25);
    info->SetProperty(u"UseTax"_s, u"Y"_s);
    info->SetProperty(u"DateSeparator"_s, u"/"_s);
    info->SetProperty(u"DefaultDunningTerm"_s, 4);
    // Nothing is written before Update.
    EXPECT_TRUE(info->HasChanges());
    EXPECT_EQ(info->GetProperty(u"CompanyName"_s), u"Acme Ltd"_s);
    EXPECT_EQ(scalar(u"SELECT CompnyName FROM OADM"_s), u"Demo US"_s);
    info->Update();
    EXPECT_FALSE(info->HasChanges());
    EXPECT_EQ(company.GetLastErrorCode(), 0);

    EXPECT_EQ(scalar(u"SELECT CompnyName FROM OADM"_s), u"Acme Ltd"_s);
    EXPECT_EQ(scalar(u"SELECT DateTemplate FROM OADM"_s).toInt(), 3);
    EXPECT_DOUBLE_EQ(scalar(u"SELECT TaxPercentage FROM OADM"_s).toDouble(), 7.25);
    EXPECT_EQ(scalar(u"SELECT UseTax FROM OADM"_s), u"Y"_s);
    std::unique_ptr<AdminInfo> again = service->GetAdminInfo();
    EXPECT_EQ(again->GetProperty(u"DateSeparator"_s), u"/"_s);
    EXPECT_EQ(again->GetProperty(u"DefaultDunningTerm"_s).toInt(), 4);
    EXPECT_EQ(again->GetProperty(u"UpdateDate"_s), QVariant(QDate(2024, 3, 15)));
    // Untouched properties keep their values.
    EXPECT_EQ(again->GetProperty(u"PriceAccuracy"_s).toInt(), 2);

    // A null value clears a number.
    again->SetProperty(u"DefaultDunningTerm"_s, QVariant());
    again->Update();
    EXPECT_TRUE(scalar(u"SELECT DefaultDunningTerm FROM OADM"_s).isNull());
    EXPECT_TRUE(again->GetProperty(u"DefaultDunningTerm"_s).isNull());

    // Refresh drops what was set and not written.
    again->SetProperty(u"CompanyName"_s, u"Not kept"_s);
    again->Refresh();
    EXPECT_EQ(again->GetProperty(u"CompanyName"_s), u"Acme Ltd"_s);
}

TEST_F(Services, AdminInfoRefusesABadValueAndLeavesTheRowAsItWas) {
    const QString before = rows(u"SELECT * FROM OADM"_s);
    struct Case {
        const char* property;
        QVariant value;
        int code;
    };
    const QList<Case> cases{
        {"PhoneNumber1", QString(21, u'9'), errTooLong},
        {"TotalsAccuracy", u"two"_s, errWrongType},
        {"ISRType", 40000, errWrongType},
        {"TaxPercentage", u"7,5%"_s, errWrongType},
        {"UseTax", u"X"_s, errWrongType},
        {"UseTax", u""_s, errWrongType},
        {"DateTemplate", 6, errWrongType},
        {"TimeTemplate", -1, errWrongType},
        {"CompanyName", u""_s, errRequired},
        {"Address", u"a"_s + QChar(0) + u"b"_s, errWrongType},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
        // A good change beside the bad one must not get through either.
        info->SetProperty(u"PrintingHeader"_s, u"Fine"_s);
        info->SetProperty(QString::fromLatin1(c.property), c.value);
        EXPECT_EQ(errorOf([&] { info->Update(); }), c.code);
        EXPECT_EQ(rows(u"SELECT * FROM OADM"_s), before);
        // What was set stays set, for the caller to see or correct.
        EXPECT_TRUE(info->HasChanges());
    }

    std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
    EXPECT_EQ(errorOf([&] { info->SetProperty(u"NoSuchField"_s, 1); }), errUnknownMember);
    EXPECT_EQ(errorOf([&] { info->GetProperty(u"CompnyName"_s); }), errUnknownMember);
    EXPECT_EQ(errorOf([&] { info->SetProperty(u"UpdateDate"_s, QDate(2020, 1, 1)); }),
              errInvalidArgument);
    EXPECT_FALSE(info->HasChanges());
    EXPECT_EQ(rows(u"SELECT * FROM OADM"_s), before);
}

TEST_F(Services, AdminInfoWritesInsideTheCallersTransaction) {
    company.StartTransaction();
    std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
    info->SetProperty(u"CompanyName"_s, u"Rolled back"_s);
    info->Update();
    EXPECT_EQ(scalar(u"SELECT CompnyName FROM OADM"_s), u"Rolled back"_s);
    company.EndTransaction(1);
    EXPECT_EQ(scalar(u"SELECT CompnyName FROM OADM"_s), u"Demo US"_s);
}

// ---------------------------------------------------------------------------
// Print layouts

TEST_F(Services, LayoutsAreAddedReadAndOverwritten) {
    std::unique_ptr<LayoutService> layouts = businessService<LayoutService>(*service, 232);
    const QStringList before = layouts->GetLayoutList();
    const QString xml = layoutXml(
        u"<DocCode>INV20001</DocCode><Name>Invoice &amp; delivery</Name><TypeCode>INV2</TypeCode>"
        u"<Author>alice</Author><Remarks>Two pages</Remarks><Language>3</Language>"
        u"<Paper>A4</Paper><Template>&lt;Field Text=\"a &amp;gt; b\"/&gt;</Template>"_s);
    EXPECT_EQ(layouts->AddLayout(xml), u"INV20001"_s);
    EXPECT_EQ(layouts->GetLayoutList().size(), before.size() + 1);
    EXPECT_TRUE(layouts->GetLayoutList().contains(u"INV20001"_s));
    // The document read back is the document written.
    EXPECT_EQ(layouts->GetLayout(u"INV20001"_s), xml);
    EXPECT_EQ(textOf(xml, u"Template"_s), u"<Field Text=\"a &gt; b\"/>"_s);
    // The host stamps dates and the user that added it.
    EXPECT_EQ(scalar(u"SELECT CreateDate FROM RDOC WHERE DocCode = N'INV20001'"_s),
              u"2024-03-15 00:00:00"_s);
    EXPECT_EQ(scalar(u"SELECT UserSign FROM RDOC WHERE DocCode = N'INV20001'"_s),
              company.UserSignature());

    // A taken code gives the copy a new one from the type code.
    const QString copy = layouts->AddLayout(xml);
    EXPECT_EQ(copy, u"INV20002"_s);
    EXPECT_EQ(textOf(layouts->GetLayout(copy), u"Name"_s), u"Invoice & delivery"_s);
    // Without a code as well; defaults fill what the document leaves out.
    const QString minimal =
        layouts->AddLayout(layoutXml(u"<Name>Short</Name><TypeCode>RCT</TypeCode>"_s));
    EXPECT_EQ(minimal, u"RCT00001"_s);
    EXPECT_EQ(layouts->GetLayout(minimal),
              layoutXml(u"<DocCode>RCT00001</DocCode><Name>Short</Name>"
                        u"<TypeCode>RCT</TypeCode><Author>System</Author>"
                        u"<Language>3</Language>"_s));

    // Overwriting keeps the code, whatever the document says, and clears
    // what the document leaves out.
    company.setClock([] { return QDateTime(QDate(2024, 5, 2), QTime(9, 0)); });
    layouts->UpdateLayout(copy, layoutXml(u"<DocCode>OTHER</DocCode><Name>Renamed</Name>"
                                          u"<TypeCode>INV2</TypeCode><Template>new</Template>"_s));
    EXPECT_EQ(layouts->GetLayout(copy),
              layoutXml(u"<DocCode>INV20002</DocCode><Name>Renamed</Name>"
                        u"<TypeCode>INV2</TypeCode><Author>System</Author>"
                        u"<Language>3</Language><Template>new</Template>"_s));
    EXPECT_FALSE(layouts->GetLayoutList().contains(u"OTHER"_s));
    EXPECT_EQ(scalar(u"SELECT CreateDate FROM RDOC WHERE DocCode = N'INV20002'"_s),
              u"2024-03-15 00:00:00"_s);
    EXPECT_EQ(scalar(u"SELECT UpdateDate FROM RDOC WHERE DocCode = N'INV20002'"_s),
              u"2024-05-02 00:00:00"_s);
    // The other layouts are untouched; overwriting with the same document
    // changes nothing that shows.
    EXPECT_EQ(layouts->GetLayout(u"INV20001"_s), xml);
    layouts->UpdateLayout(u"INV20001"_s, xml);
    EXPECT_EQ(layouts->GetLayout(u"INV20001"_s), xml);

    // Calls by name.
    EXPECT_EQ(layouts->Invoke(u"getlayout"_s, {u"INV20001"_s}), xml);
    EXPECT_EQ(layouts->Invoke(u"GetLayoutList"_s).toStringList(), layouts->GetLayoutList());
    const QString byName = layouts->Invoke(u"AddLayout"_s, {xml}).toString();
    EXPECT_EQ(byName, u"INV20003"_s);
    layouts->Invoke(u"UpdateLayout"_s, {byName, layouts->GetLayout(minimal)});
    EXPECT_EQ(textOf(layouts->GetLayout(byName), u"Name"_s), u"Short"_s);
    EXPECT_THROW(layouts->Invoke(u"RemoveLayout"_s, {byName}), ComError);
}

TEST_F(Services, LayoutsRefuseUnknownCodesAndBadDocuments) {
    std::unique_ptr<LayoutService> layouts = businessService<LayoutService>(*service, 232);
    const QString good = layoutXml(u"<Name>Kept</Name><TypeCode>INV2</TypeCode>"_s);
    const QString code = layouts->AddLayout(good);
    const QString stored = layouts->GetLayout(code);
    const QString table = rows(u"SELECT * FROM RDOC ORDER BY DocCode"_s);

    EXPECT_EQ(errorOf([&] { layouts->GetLayout(u"NOPE"_s); }), errRecordMissing);
    EXPECT_TRUE(company.GetLastErrorDescription().contains(u"NOPE"_s));
    EXPECT_EQ(errorOf([&] { layouts->UpdateLayout(u"NOPE"_s, good); }), errRecordMissing);

    const QList<std::pair<QString, int>> bad{
        {u"<BOM><BO><AdmInfo>"_s, errBadDocument},
        {u"not xml at all"_s, errBadDocument},
        {u""_s, errBadDocument},
        {kPreferences, errBadDocument},
        {u"<?xml version=\"1.0\"?><BOM><BO><AdmInfo><Object>43</Object></AdmInfo>"
         u"<RDOC><row><Name>x</Name><TypeCode>INV2</TypeCode></row></RDOC></BO>"
         u"</BOM>"_s,
         errBadDocument},
        {layoutXml(u"<Name>x</Name><TypeCode>INV2</TypeCode><Colour>red</Colour>"_s),
         errUnknownElement},
        {layoutXml(u"<Name>x</Name><Name>y</Name><TypeCode>INV2</TypeCode>"_s), errBadDocument},
        {layoutXml(element(u"Name"_s, QString(101, u'n')) + u"<TypeCode>INV2</TypeCode>"_s),
         errTooLong},
        {layoutXml(u"<TypeCode>INV2</TypeCode>"_s), errRequired},
        {u"<!DOCTYPE BOM [<!ENTITY n \"x\">]>"_s +
             layoutXml(u"<Name>&n;</Name><TypeCode>INV2</TypeCode>"_s).mid(39),
         errBadDocument},
        {layoutXml(u"<Name>x</Name>"_s), errRequired},
        {layoutXml(u"<Name>x</Name><TypeCode>INV2</TypeCode>"
                   u"<Language>English</Language>"_s),
         errWrongType},
    };
    for (const auto& [xml, expected] : bad) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(errorOf([&] { layouts->AddLayout(xml); }), expected);
        EXPECT_EQ(errorOf([&] { layouts->UpdateLayout(code, xml); }), expected);
        EXPECT_EQ(rows(u"SELECT * FROM RDOC ORDER BY DocCode"_s), table);
    }
    // Only a new layout takes the document's code.
    EXPECT_EQ(errorOf([&] {
                  layouts->AddLayout(layoutXml(
                      u"<DocCode>TOOLONGCODE</DocCode><Name>x</Name><TypeCode>INV2</TypeCode>"_s));
              }),
              errTooLong);
    EXPECT_EQ(rows(u"SELECT * FROM RDOC ORDER BY DocCode"_s), table);
    EXPECT_EQ(layouts->GetLayout(code), stored);
}

// ---------------------------------------------------------------------------
// Form preferences

TEST_F(Services, ColumnPreferencesRoundTripPerUserAndForm) {
    std::unique_ptr<FormPreferencesService> prefs =
        businessService<FormPreferencesService>(*service, 41);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, u"150"_s), u"<ColumnsPreferences />"_s);

    prefs->SetColumnsPreferences(alice, u"150"_s, kPreferences);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, u"150"_s), kPreferences);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM CPRF WHERE UserSign = %1"_s.arg(alice)).toInt(), 2);
    // Other users and other forms have none.
    EXPECT_EQ(prefs->GetColumnsPreferences(1, u"150"_s), u"<ColumnsPreferences />"_s);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, u"134"_s), u"<ColumnsPreferences />"_s);

    // What one user has, another can be given, declaration and all.
    prefs->SetColumnsPreferences(1, u"150"_s,
                                 u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>"_s +
                                     prefs->GetColumnsPreferences(alice, u"150"_s));
    EXPECT_EQ(prefs->GetColumnsPreferences(1, u"150"_s), kPreferences);

    // Setting replaces; defaults fill what a column leaves out; the list
    // comes in position order.
    prefs->SetColumnsPreferences(
        alice, u"150"_s,
        u"<ColumnsPreferences>"
        u"<ColumnPreference><ItemID>38</ItemID><ColumnID>9</ColumnID>"
        u"<Position>5</Position></ColumnPreference>"
        u"<ColumnPreference><ItemID>38</ItemID><ColumnID>2</ColumnID>"
        u"<Position>4</Position></ColumnPreference></ColumnsPreferences>"_s);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, u"150"_s),
              u"<ColumnsPreferences>"
              u"<ColumnPreference><ItemID>38</ItemID><ColumnID>2</ColumnID>"
              u"<Position>4</Position><Width>0</Width><Visible>Y</Visible>"
              u"<Editable>Y</Editable></ColumnPreference>"
              u"<ColumnPreference><ItemID>38</ItemID><ColumnID>9</ColumnID>"
              u"<Position>5</Position><Width>0</Width><Visible>Y</Visible>"
              u"<Editable>Y</Editable></ColumnPreference></ColumnsPreferences>"_s);
    // The empty list removes them; the other user keeps his.
    prefs->SetColumnsPreferences(alice, u"150"_s, u"<ColumnsPreferences/>"_s);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, u"150"_s), u"<ColumnsPreferences />"_s);
    EXPECT_EQ(prefs->GetColumnsPreferences(1, u"150"_s), kPreferences);

    // Calls by name.
    prefs->Invoke(u"SetColumnsPreferences"_s, {alice, u"139"_s, kPreferences});
    EXPECT_EQ(prefs->Invoke(u"GetColumnsPreferences"_s, {QString::number(alice), u"139"_s}),
              kPreferences);
    EXPECT_EQ(errorOf([&] {
                  prefs->Invoke(u"GetColumnsPreferences"_s, {u"alice"_s, u"139"_s});
              }),
              errInvalidArgument);
}

TEST_F(Services, ColumnPreferencesRefuseBadInputAllOrNothing) {
    std::unique_ptr<FormPreferencesService> prefs =
        businessService<FormPreferencesService>(*service, 41);
    prefs->SetColumnsPreferences(alice, u"150"_s, kPreferences);
    const QString table = rows(u"SELECT * FROM CPRF ORDER BY UserSign, ItemID"_s);

    EXPECT_EQ(errorOf([&] { prefs->GetColumnsPreferences(999, u"150"_s); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { prefs->SetColumnsPreferences(999, u"150"_s, kPreferences); }),
              errUnknownUser);
    EXPECT_EQ(errorOf([&] { prefs->SetColumnsPreferences(alice, QString(), kPreferences); }),
              errInvalidArgument);
    EXPECT_EQ(
        errorOf([&] { prefs->SetColumnsPreferences(alice, QString(21, u'f'), kPreferences); }),
        errTooLong);

    const auto column = [](const QString& inner) {
        return u"<ColumnPreference><ItemID>38</ItemID><ColumnID>1</ColumnID>"
               u"<Position>0</Position></ColumnPreference>"
               u"<ColumnPreference>%1</ColumnPreference>"_s.arg(inner);
    };
    const auto list = [](const QString& inner) {
        return u"<ColumnsPreferences>%1</ColumnsPreferences>"_s.arg(inner);
    };
    const QList<std::pair<QString, int>> bad{
        {u"<ColumnsPreferences>"_s, errBadDocument},
        {u"<ColumnsPreferences></ColumnsPreferences><x/>"_s, errBadDocument},
        {u"<UserMenu />"_s, errBadDocument},
        {list(u"<User>alice</User>"_s), errUnknownElement},
        {list(column(u"<ItemID>38</ItemID><ColumnID>2</ColumnID><Colour>red"
                     u"</Colour>"_s)),
         errUnknownElement},
        {list(column(u"<ItemID>38</ItemID><ItemID>39</ItemID>"
                     u"<ColumnID>2</ColumnID>"_s)),
         errBadDocument},
        {list(column(u"<ItemID>38</ItemID><ColumnID>2<b/></ColumnID>"_s)), errBadDocument},
        {list(column(u"<ItemID>38</ItemID><ColumnID>2</ColumnID>"
                     u"<Visible>X</Visible>"_s)),
         errWrongType},
        {list(column(u"<ItemID>38</ItemID><ColumnID>2</ColumnID>"
                     u"<Width>wide</Width>"_s)),
         errWrongType},
        {list(column(u"<ItemID>38</ItemID><ColumnID>2</ColumnID>"_s +
                     element(u"Description"_s, QString(101, u'd')))),
         errTooLong},
        {list(column(u"<ItemID>38</ItemID><ColumnID>1</ColumnID>"_s)), errRecordExists},
        {list(column(u"<ItemID>38</ItemID>"_s)), errRequired},
    };
    for (const auto& [xml, expected] : bad) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(errorOf([&] { prefs->SetColumnsPreferences(alice, u"150"_s, xml); }), expected);
        EXPECT_EQ(rows(u"SELECT * FROM CPRF ORDER BY UserSign, ItemID"_s), table);
    }
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, u"150"_s), kPreferences);
}

// ---------------------------------------------------------------------------
// User menus

TEST_F(Services, UserMenusRoundTripAndReplace) {
    std::unique_ptr<MenuService> menus = businessService<MenuService>(*service, 2002);
    EXPECT_EQ(menus->GetUserMenu(alice), u"<UserMenu />"_s);
    menus->SetUserMenu(alice, kMenu);
    EXPECT_EQ(menus->GetUserMenu(alice), kMenu);
    // Kept under the user's number.
    const int number =
        scalar(u"SELECT USERID FROM OUSR WHERE INTERNAL_K = %1"_s.arg(alice)).toInt();
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM CUMI WHERE USERID = %1"_s.arg(number)).toInt(), 3);
    EXPECT_EQ(menus->GetUserMenu(1), u"<UserMenu />"_s);

    // One user's menu given to another, declaration and all.
    menus->SetUserMenu(1, u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>"_s +
                              menus->GetUserMenu(alice));
    EXPECT_EQ(menus->GetUserMenu(1), kMenu);

    // Replacing; the type defaults to a menu entry; position order.
    menus->SetUserMenu(alice, u"<UserMenu><MenuItem><Position>7</Position>"
                              u"<Name>Late</Name></MenuItem><MenuItem>"
                              u"<Position>3</Position><Name>Early</Name>"
                              u"</MenuItem></UserMenu>"_s);
    EXPECT_EQ(menus->GetUserMenu(alice),
              u"<UserMenu><MenuItem><Position>3</Position><Father>-1</Father>"
              u"<Type>M</Type><Name>Early</Name></MenuItem><MenuItem>"
              u"<Position>7</Position><Father>-1</Father><Type>M</Type>"
              u"<Name>Late</Name></MenuItem></UserMenu>"_s);
    menus->SetUserMenu(alice, u"<UserMenu />"_s);
    EXPECT_EQ(menus->GetUserMenu(alice), u"<UserMenu />"_s);
    EXPECT_EQ(menus->GetUserMenu(1), kMenu);

    // Calls by name.
    menus->Invoke(u"SetUserMenu"_s, {alice, kMenu});
    EXPECT_EQ(menus->Invoke(u"getusermenu"_s, {alice}), kMenu);

    // A user without a number has no menu and cannot be given one.
    scalar(u"UPDATE OUSR SET USERID = NULL WHERE INTERNAL_K = %1"_s.arg(alice));
    EXPECT_EQ(menus->GetUserMenu(alice), u"<UserMenu />"_s);
    EXPECT_EQ(errorOf([&] { menus->SetUserMenu(alice, kMenu); }), errInvalidArgument);
    menus->SetUserMenu(alice, u"<UserMenu />"_s);
}

TEST_F(Services, UserMenusRefuseBrokenTreesAndBadItems) {
    std::unique_ptr<MenuService> menus = businessService<MenuService>(*service, 2002);
    menus->SetUserMenu(alice, kMenu);
    const QString table = rows(u"SELECT * FROM CUMI ORDER BY USERID, Position"_s);

    EXPECT_EQ(errorOf([&] { menus->GetUserMenu(999); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { menus->SetUserMenu(-5, kMenu); }), errUnknownUser);

    const auto item = [](int position, int father, const QString& type) {
        return u"<MenuItem><Position>%1</Position><Father>%2</Father><Type>%3</Type>"
               u"<Name>n</Name></MenuItem>"_s.arg(position)
                   .arg(father)
                   .arg(type);
    };
    const auto menu = [](const QString& items) { return u"<UserMenu>%1</UserMenu>"_s.arg(items); };
    const QList<std::pair<QString, int>> bad{
        {u"<UserMenu><MenuItem>"_s, errBadDocument},
        {kPreferences, errBadDocument},
        {menu(u"<Item/>"_s), errUnknownElement},
        {menu(u"<User>alice</User>"_s + item(0, -1, u"M"_s)), errUnknownElement},
        // A father that is no folder, one that is not there, loops.
        {menu(item(0, -1, u"M"_s) + item(1, 0, u"M"_s)), errReference},
        {menu(item(0, -1, u"F"_s) + item(1, 7, u"M"_s)), errReference},
        {menu(item(0, 0, u"F"_s)), errReference},
        {menu(item(0, 1, u"F"_s) + item(1, 0, u"F"_s)), errReference},
        {menu(item(0, -1, u"M"_s) + item(0, -1, u"R"_s)), errRecordExists},
        {menu(item(0, -1, u"X"_s)), errWrongType},
        {menu(item(0, -1, u"MF"_s)), errWrongType},
        {menu(u"<MenuItem><Position>first</Position></MenuItem>"_s), errWrongType},
        {menu(u"<MenuItem><Name>no place</Name></MenuItem>"_s), errRequired},
        {menu(u"<MenuItem><Position>0</Position>"_s + element(u"Name"_s, QString(101, u'n')) +
              u"</MenuItem>"_s),
         errTooLong},
    };
    for (const auto& [xml, expected] : bad) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(errorOf([&] { menus->SetUserMenu(alice, xml); }), expected);
        EXPECT_EQ(rows(u"SELECT * FROM CUMI ORDER BY USERID, Position"_s), table);
    }
    // A deeper tree is fine.
    const QString deep =
        menu(item(0, -1, u"F"_s) + item(1, 0, u"F"_s) + item(2, 1, u"F"_s) + item(3, 2, u"Q"_s));
    menus->SetUserMenu(alice, deep);
    EXPECT_EQ(menus->GetUserMenu(alice), deep);
}

// ---------------------------------------------------------------------------
// The bridge

TEST_F(Services, PermissionsAreReadAndSetPerUserAndId) {
    std::unique_ptr<Bridge> b = bridge();
    EXPECT_EQ(b->GetPermission(alice, 142), u"N"_s);
    b->SetPermission(alice, 142, u"F"_s);
    b->SetPermission(alice, 74, u"R"_s);
    EXPECT_EQ(b->GetPermission(alice, 142), u"F"_s);
    EXPECT_EQ(b->GetPermission(alice, 74), u"R"_s);
    EXPECT_EQ(b->GetPermission(1, 142), u"N"_s);
    // Setting again replaces, one row per user and id.
    b->SetPermission(alice, 142, u"R"_s);
    b->SetPermission(alice, 142, u"N"_s);
    EXPECT_EQ(b->GetPermission(alice, 142), u"N"_s);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM OPRM WHERE UserSign = %1"_s.arg(alice)).toInt(), 2);

    // Calls by name: the permission is the first value of the result.
    b->Invoke(u"SetPermission"_s, {alice, 203, u"F"_s});
    EXPECT_EQ(b->Invoke(u"getpermission"_s, {alice, 203}).toList().value(0), u"F"_s);
    EXPECT_EQ(b->Invoke(u"GetPermission"_s, {QString::number(alice), 74}).toList().value(0),
              u"R"_s);

    const QString table = rows(u"SELECT * FROM OPRM ORDER BY UserSign, PermId"_s);
    EXPECT_EQ(errorOf([&] { b->GetPermission(999, 142); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { b->SetPermission(999, 142, u"F"_s); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { b->GetPermission(alice, 0); }), errInvalidArgument);
    EXPECT_EQ(errorOf([&] { b->SetPermission(alice, -3, u"F"_s); }), errInvalidArgument);
    for (const QString& value : {u"X"_s, u""_s, u"f"_s, u"Full"_s, u"F'; DROP TABLE OPRM"_s})
        EXPECT_EQ(errorOf([&] { b->SetPermission(alice, 142, value); }), errWrongType);
    EXPECT_EQ(errorOf([&] {
                  b->Invoke(u"GetPermission"_s, {u"alice"_s, 142});
              }),
              errInvalidArgument);
    EXPECT_EQ(errorOf([&] { b->Invoke(u"GetPermission"_s, {alice}); }), errInvalidArgument);
    EXPECT_EQ(rows(u"SELECT * FROM OPRM ORDER BY UserSign, PermId"_s), table);
    EXPECT_THROW(b->Invoke(u"GetPermissions"_s, {alice, 1}), ComError);
}

TEST_F(Services, FieldDescriptionsGiveEveryColumnWithItsTypeAndUserFields) {
    std::unique_ptr<Bridge> b = bridge();
    const QList<Bridge::FieldDescription> manufacturers = b->GetFieldDescriptions(u"OMRC"_s);
    const Schema::Table* omrc = Schema::standard().table(u"OMRC"_s);
    ASSERT_TRUE(omrc);
    ASSERT_EQ(manufacturers.size(), omrc->columns.size());
    for (qsizetype i = 0; i < manufacturers.size(); ++i)
        EXPECT_EQ(manufacturers[i].name, omrc->columns[i].name);
    const auto find = [](const QList<Bridge::FieldDescription>& list, const QString& name) {
        for (const Bridge::FieldDescription& f : list)
            if (f.name == name)
                return f;
        return Bridge::FieldDescription{};
    };
    // Described as the business object shows them, else by the column.
    EXPECT_EQ(find(manufacturers, u"FirmName"_s).description, u"Manufacturer Name"_s);
    EXPECT_EQ(find(manufacturers, u"FirmName"_s).type, Bridge::Alphanumeric);
    EXPECT_EQ(find(manufacturers, u"FirmName"_s).size, omrc->column(u"FirmName"_s)->length);

    const QList<Bridge::FieldDescription> prefs = b->GetFieldDescriptions(u"CPRF"_s);
    EXPECT_EQ(find(prefs, u"FormID"_s).description, u"Form ID"_s);
    EXPECT_EQ(find(prefs, u"UserSign"_s).type, Bridge::Numeric);
    const QList<Bridge::FieldDescription> rdoc = b->GetFieldDescriptions(u"RDOC"_s);
    EXPECT_EQ(find(rdoc, u"Template"_s).type, Bridge::Memo);
    EXPECT_EQ(find(rdoc, u"Template"_s).size, 0);
    EXPECT_EQ(find(rdoc, u"CreateDate"_s).type, Bridge::Date);
    const QList<Bridge::FieldDescription> oadm = b->GetFieldDescriptions(u"OADM"_s);
    EXPECT_EQ(find(oadm, u"TaxPercentage"_s).type, Bridge::Float);
    EXPECT_EQ(find(oadm, u"PhoneNumber1"_s).description, u"Phone Number 1"_s);

    // User fields follow the table's own columns once their column exists.
    Database& db = *company.state()->database;
    ASSERT_TRUE(db.exec(u"ALTER TABLE OMRC ADD COLUMN U_Country TEXT"_s));
    ASSERT_TRUE(db.exec(u"INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, "
                        u"TypeID, EditSize) VALUES ('OMRC', 0, 'Country', "
                        u"'Country of origin', '0', 3)"_s));
    ASSERT_TRUE(db.exec(u"INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, "
                        u"TypeID) VALUES ('OMRC', 1, 'Gone', 'No column', '2')"_s));
    const QList<Bridge::FieldDescription> withUser = b->GetFieldDescriptions(u"OMRC"_s);
    ASSERT_EQ(withUser.size(), manufacturers.size() + 1);
    EXPECT_EQ(withUser.last().name, u"U_Country"_s);
    EXPECT_EQ(withUser.last().description, u"Country of origin"_s);
    EXPECT_EQ(withUser.last().size, 3);

    // A user table: Code and Name, then its fields.
    ASSERT_TRUE(db.exec(u"INSERT INTO OUTB (TableName, Descr) VALUES ('BINS', "
                        u"'Bins')"_s));
    ASSERT_TRUE(db.exec(u"CREATE TABLE \"@BINS\" (Code TEXT PRIMARY KEY, Name TEXT, "
                        u"U_Size REAL, U_Checked DATETEXT)"_s));
    ASSERT_TRUE(db.exec(u"INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, "
                        u"TypeID) VALUES ('@BINS', 0, 'Size', 'Size', '4'), "
                        u"('@BINS', 1, 'Checked', '', '3')"_s));
    const QList<Bridge::FieldDescription> bins = b->GetFieldDescriptions(u"@bins"_s);
    ASSERT_EQ(bins.size(), 4);
    EXPECT_EQ(bins[0].name, u"Code"_s);
    EXPECT_EQ(bins[1].name, u"Name"_s);
    EXPECT_EQ(bins[2].type, Bridge::Float);
    EXPECT_EQ(bins[3].name, u"U_Checked"_s);
    EXPECT_EQ(bins[3].description, u"Checked"_s);
    EXPECT_EQ(bins[3].type, Bridge::Date);

    // By name: a list of maps.
    const QVariantList byName = b->Invoke(u"GetFieldDescriptions"_s, {u"OMRC"_s}).toList();
    ASSERT_EQ(byName.size(), withUser.size());
    EXPECT_EQ(byName.last().toMap().value(u"Name"_s), u"U_Country"_s);
    EXPECT_EQ(byName.last().toMap().value(u"Type"_s).toInt(), 0);

    for (const QString& table : {u"NOPE"_s, u"omrc"_s, u"@NOPE"_s, u"OMRC\"; --"_s})
        EXPECT_EQ(errorOf([&] { b->GetFieldDescriptions(table); }), errInvalidArgument);
}

// ---------------------------------------------------------------------------
// Hostile text through every service

TEST_F(Services, HostileTextArrivesUnchangedOrIsRefused) {
    std::unique_ptr<LayoutService> layouts = businessService<LayoutService>(*service, 232);
    std::unique_ptr<FormPreferencesService> prefs =
        businessService<FormPreferencesService>(*service, 41);
    std::unique_ptr<MenuService> menus = businessService<MenuService>(*service, 2002);
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    int n = 0;
    for (const QString& value : nasty) {
        SCOPED_TRACE(value.left(40).toStdString());
        // Written, then read back: equal, or refused when the value holds
        // a NUL or is longer than the field.
        const auto carried = [&](int limit, const std::function<void()>& write,
                                 const std::function<QString()>& read) {
            const QString before = read();
            if (value.contains(QChar(0)) || value.size() > limit) {
                const int code = errorOf(write);
                EXPECT_TRUE(code == errBadDocument || code == errWrongType || code == errTooLong)
                    << code;
                EXPECT_EQ(read(), before);
                return;
            }
            write();
            EXPECT_EQ(read(), value);
        };
        carried(
            254,
            [&] {
                std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
                info->SetProperty(u"Address"_s, value);
                info->Update();
            },
            [&] { return service->GetAdminInfo()->GetProperty(u"Address"_s).toString(); });
        const QString layout = u"L%1"_s.arg(++n);
        carried(
            254,
            [&] {
                layouts->AddLayout(layoutXml(
                    element(u"DocCode"_s, layout) + u"<Name>n</Name><TypeCode>T</TypeCode>"_s +
                    element(u"Remarks"_s, value) + element(u"Template"_s, value)));
            },
            [&] {
                if (!layouts->GetLayoutList().contains(layout))
                    return u"no layout"_s;
                const QString xml = layouts->GetLayout(layout);
                EXPECT_EQ(textOf(xml, u"Template"_s), textOf(xml, u"Remarks"_s));
                return textOf(xml, u"Remarks"_s).value_or(QString());
            });
        carried(
            100,
            [&] {
                prefs->SetColumnsPreferences(
                    alice, u"150"_s,
                    u"<ColumnsPreferences><ColumnPreference><ItemID>38</ItemID>"
                    u"<ColumnID>1</ColumnID>"_s +
                        element(u"Description"_s, value) +
                        u"</ColumnPreference></ColumnsPreferences>"_s);
            },
            [&] {
                return textOf(prefs->GetColumnsPreferences(alice, u"150"_s), u"Description"_s)
                    .value_or(QString());
            });
        carried(
            254,
            [&] {
                menus->SetUserMenu(alice, u"<UserMenu><MenuItem><Position>0</Position>"
                                          u"<Name>n</Name>"_s +
                                              element(u"Link"_s, value) +
                                              u"</MenuItem></UserMenu>"_s);
            },
            [&] { return textOf(menus->GetUserMenu(alice), u"Link"_s).value_or(QString()); });
    }
    // Long text has room in a layout's template, and hostile form ids are
    // only text to look up and store.
    const QString longest =
        *std::max_element(nasty.begin(), nasty.end(),
                          [](const QString& a, const QString& b) { return a.size() < b.size(); });
    ASSERT_GT(longest.size(), 254);
    const QString code = layouts->AddLayout(
        layoutXml(u"<Name>Long</Name><TypeCode>T</TypeCode>"_s + element(u"Template"_s, longest)));
    EXPECT_EQ(textOf(layouts->GetLayout(code), u"Template"_s), longest);
    for (const QString& formId : {u"O'Brien"_s, u"1 OR 1=1"_s, QString(QChar(0xFEFF)) + u"BOM"_s}) {
        prefs->SetColumnsPreferences(alice, formId, kPreferences);
        EXPECT_EQ(prefs->GetColumnsPreferences(alice, formId), kPreferences);
    }
}
