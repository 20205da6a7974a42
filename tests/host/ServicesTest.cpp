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

namespace {

QString element(const QString& name, const QString& text) {
    return u'<' + name + u'>' + LLEscapeXmlText(text) + QStringLiteral("</") + name + u'>';
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
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"
                          "232</Object></AdmInfo><RDOC><row>%1</row></RDOC></BO></BOM>")
        .arg(fields);
}

// Two columns of the item form's grid.
const QString kPreferences = QStringLiteral(
    "<ColumnsPreferences>"
    "<ColumnPreference><ItemID>38</ItemID><ColumnID>1</ColumnID><Position>0</Position>"
    "<Width>120</Width><Visible>Y</Visible><Editable>N</Editable>"
    "<Description>Item No.</Description></ColumnPreference>"
    "<ColumnPreference><ItemID>38</ItemID><ColumnID>3</ColumnID><Position>1</Position>"
    "<Width>80</Width><Visible>N</Visible><Editable>Y</Editable><FontSize>9</FontSize>"
    "</ColumnPreference></ColumnsPreferences>");

// A folder with a report in it, and a menu entry at the top.
const QString kMenu = QStringLiteral(
    "<UserMenu>"
    "<MenuItem><Position>0</Position><Father>-1</Father><Type>F</Type><Name>My reports</Name>"
    "</MenuItem>"
    "<MenuItem><Position>1</Position><Father>0</Father><Type>R</Type><Name>Stock</Name>"
    "<Link>RCT20001</Link></MenuItem>"
    "<MenuItem><Position>2</Position><Father>-1</Father><Type>M</Type><Name>Items</Name>"
    "<Link>3073</Link></MenuItem></UserMenu>");

// A connected company with a second user, alice, and a fixed clock.
class Services : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(6));
        createCompany(*server, QStringLiteral("DEMO"));
        QString error;
        ASSERT_TRUE(Admin::addUser(*server, QStringLiteral("DEMO"), QStringLiteral("alice"),
                                   QStringLiteral("Alice"), QStringLiteral("pw"), false, &error))
            << error.toStdString();
        connect(company, *server, QStringLiteral("DEMO"));
        company.setClock([] { return QDateTime(QDate(2024, 3, 15), QTime(10, 30)); });
        alice = scalar(QStringLiteral("SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = N'alice'"))
                    .toInt();
        ASSERT_GT(alice, 1);
        service = company.GetCompanyService();
    }

    QVariant scalar(const QString& sql, Company* in = nullptr) {
        return ::scalar(in ? *in : company, sql);
    }
    // Every row of a query as text, to see that nothing changed.
    QString rows(const QString& sql) {
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        rs->DoQuery(sql);
        return rs->GetAsXML();
    }
    // The code of the ComError that call throws, with the company's last
    // error set to it; 0 when it does not throw.
    int errorOf(const std::function<void()>& call, Company* in = nullptr) {
        try {
            call();
        } catch (const ComError& e) {
            const Company& c = in ? *in : company;
            EXPECT_EQ(c.GetLastErrorCode(), e.code());
            EXPECT_FALSE(c.GetLastErrorDescription().isEmpty());
            return e.code();
        }
        return 0;
    }
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
    // A second company on the same server, connected.
    void target(Company& other) {
        createCompany(*server, QStringLiteral("TARGET"), QStringLiteral("Target Ltd"));
        connect(other, *server, QStringLiteral("TARGET"));
        other.setClock([] { return QDateTime(QDate(2024, 4, 1), QTime(8, 0)); });
    }

    std::optional<Server> server;
    Company company;
    std::unique_ptr<CompanyService> service;
    int alice = 0;
};

} // namespace

// ---------------------------------------------------------------------------
// The service object

TEST_F(Services, TheServiceObjectHandsOutEachServiceByType) {
    EXPECT_NE(businessService<LayoutService>(*service, 232), nullptr);
    EXPECT_NE(businessService<FormPreferencesService>(*service, 41), nullptr);
    EXPECT_NE(businessService<MenuService>(*service, 2002), nullptr);
    EXPECT_EQ(errorOf([&] { service->GetBusinessService(231); }), errUnknownObject);
    EXPECT_TRUE(company.GetLastErrorDescription().contains(QStringLiteral("231")));
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
    EXPECT_TRUE(names.contains(QStringLiteral("CompanyName")));
    EXPECT_TRUE(names.contains(QStringLiteral("AutoCreateCustomerEqCard")));
    EXPECT_FALSE(names.contains(QStringLiteral("CompnyName")));
    EXPECT_FALSE(names.contains(QStringLiteral("Code")));
    EXPECT_EQ(info->GetProperty(QStringLiteral("CompanyName")), QStringLiteral("Demo US"));
    EXPECT_EQ(info->GetProperty(QStringLiteral("companyname")), QStringLiteral("Demo US"));
    EXPECT_EQ(info->GetProperty(QStringLiteral("TotalsAccuracy")).typeId(), QMetaType::Int);
    EXPECT_EQ(info->GetProperty(QStringLiteral("TotalsAccuracy")).toInt(), 2);
    EXPECT_EQ(info->GetProperty(QStringLiteral("TaxPercentage")).typeId(), QMetaType::Double);
    EXPECT_EQ(info->GetProperty(QStringLiteral("DateSeparator")), QStringLiteral("."));
    EXPECT_TRUE(info->GetProperty(QStringLiteral("DefaultDunningTerm")).isNull());
    EXPECT_FALSE(info->HasChanges());

    info->SetProperty(QStringLiteral("CompanyName"), QStringLiteral("Acme Ltd"));
    info->SetProperty(QStringLiteral("DateTemplate"), 3);
    info->SetProperty(QStringLiteral("TaxPercentage"), 7.25);
    info->SetProperty(QStringLiteral("UseTax"), QStringLiteral("Y"));
    info->SetProperty(QStringLiteral("DateSeparator"), QStringLiteral("/"));
    info->SetProperty(QStringLiteral("DefaultDunningTerm"), 4);
    // Nothing is written before Update.
    EXPECT_TRUE(info->HasChanges());
    EXPECT_EQ(info->GetProperty(QStringLiteral("CompanyName")), QStringLiteral("Acme Ltd"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT CompnyName FROM OADM")), QStringLiteral("Demo US"));
    info->Update();
    EXPECT_FALSE(info->HasChanges());
    EXPECT_EQ(company.GetLastErrorCode(), 0);

    EXPECT_EQ(scalar(QStringLiteral("SELECT CompnyName FROM OADM")), QStringLiteral("Acme Ltd"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DateTemplate FROM OADM")).toInt(), 3);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT TaxPercentage FROM OADM")).toDouble(), 7.25);
    EXPECT_EQ(scalar(QStringLiteral("SELECT UseTax FROM OADM")), QStringLiteral("Y"));
    std::unique_ptr<AdminInfo> again = service->GetAdminInfo();
    EXPECT_EQ(again->GetProperty(QStringLiteral("DateSeparator")), QStringLiteral("/"));
    EXPECT_EQ(again->GetProperty(QStringLiteral("DefaultDunningTerm")).toInt(), 4);
    EXPECT_EQ(again->GetProperty(QStringLiteral("UpdateDate")), QVariant(QDate(2024, 3, 15)));
    // Untouched properties keep their values.
    EXPECT_EQ(again->GetProperty(QStringLiteral("PriceAccuracy")).toInt(), 2);

    // A null value clears a number.
    again->SetProperty(QStringLiteral("DefaultDunningTerm"), QVariant());
    again->Update();
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DefaultDunningTerm FROM OADM")).isNull());
    EXPECT_TRUE(again->GetProperty(QStringLiteral("DefaultDunningTerm")).isNull());

    // Refresh drops what was set and not written.
    again->SetProperty(QStringLiteral("CompanyName"), QStringLiteral("Not kept"));
    again->Refresh();
    EXPECT_EQ(again->GetProperty(QStringLiteral("CompanyName")), QStringLiteral("Acme Ltd"));
}

TEST_F(Services, AdminInfoRefusesABadValueAndLeavesTheRowAsItWas) {
    const QString before = rows(QStringLiteral("SELECT * FROM OADM"));
    struct Case {
        const char* property;
        QVariant value;
        int code;
    };
    const QList<Case> cases{
        {"PhoneNumber1", QString(21, u'9'), errTooLong},
        {"TotalsAccuracy", QStringLiteral("two"), errWrongType},
        {"ISRType", 40000, errWrongType},
        {"TaxPercentage", QStringLiteral("7,5%"), errWrongType},
        {"UseTax", QStringLiteral("X"), errWrongType},
        {"UseTax", QStringLiteral(""), errWrongType},
        {"DateTemplate", 6, errWrongType},
        {"TimeTemplate", -1, errWrongType},
        {"CompanyName", QStringLiteral(""), errRequired},
        {"Address", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), errWrongType},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
        // A good change beside the bad one must not get through either.
        info->SetProperty(QStringLiteral("PrintingHeader"), QStringLiteral("Fine"));
        info->SetProperty(QString::fromLatin1(c.property), c.value);
        EXPECT_EQ(errorOf([&] { info->Update(); }), c.code);
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM OADM")), before);
        // What was set stays set, for the caller to see or correct.
        EXPECT_TRUE(info->HasChanges());
    }

    std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
    EXPECT_EQ(errorOf([&] { info->SetProperty(QStringLiteral("NoSuchField"), 1); }),
              errUnknownMember);
    EXPECT_EQ(errorOf([&] { info->GetProperty(QStringLiteral("CompnyName")); }), errUnknownMember);
    EXPECT_EQ(errorOf([&] { info->SetProperty(QStringLiteral("UpdateDate"), QDate(2020, 1, 1)); }),
              errInvalidArgument);
    EXPECT_FALSE(info->HasChanges());
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM OADM")), before);
}

TEST_F(Services, AdminInfoWritesInsideTheCallersTransaction) {
    company.StartTransaction();
    std::unique_ptr<AdminInfo> info = service->GetAdminInfo();
    info->SetProperty(QStringLiteral("CompanyName"), QStringLiteral("Rolled back"));
    info->Update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT CompnyName FROM OADM")), QStringLiteral("Rolled back"));
    company.EndTransaction(1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT CompnyName FROM OADM")), QStringLiteral("Demo US"));
}

// ---------------------------------------------------------------------------
// Print layouts

TEST_F(Services, LayoutsAreAddedReadAndOverwritten) {
    std::unique_ptr<LayoutService> layouts = businessService<LayoutService>(*service, 232);
    const QStringList before = layouts->GetLayoutList();
    const QString xml = layoutXml(QStringLiteral(
        "<DocCode>INV20001</DocCode><Name>Invoice &amp; delivery</Name><TypeCode>INV2</TypeCode>"
        "<Author>alice</Author><Remarks>Two pages</Remarks><Language>3</Language>"
        "<Paper>A4</Paper><Template>&lt;Field Text=\"a &amp;gt; b\"/&gt;</Template>"));
    EXPECT_EQ(layouts->AddLayout(xml), QStringLiteral("INV20001"));
    EXPECT_EQ(layouts->GetLayoutList().size(), before.size() + 1);
    EXPECT_TRUE(layouts->GetLayoutList().contains(QStringLiteral("INV20001")));
    // The document read back is the document written.
    EXPECT_EQ(layouts->GetLayout(QStringLiteral("INV20001")), xml);
    EXPECT_EQ(textOf(xml, QStringLiteral("Template")),
              QStringLiteral("<Field Text=\"a &gt; b\"/>"));
    // The host stamps dates and the user that added it.
    EXPECT_EQ(scalar(QStringLiteral("SELECT CreateDate FROM RDOC WHERE DocCode = N'INV20001'")),
              QStringLiteral("2024-03-15 00:00:00"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT UserSign FROM RDOC WHERE DocCode = N'INV20001'")),
              company.UserSignature());

    // A taken code gives the copy a new one from the type code.
    const QString copy = layouts->AddLayout(xml);
    EXPECT_EQ(copy, QStringLiteral("INV20002"));
    EXPECT_EQ(textOf(layouts->GetLayout(copy), QStringLiteral("Name")),
              QStringLiteral("Invoice & delivery"));
    // Without a code as well; defaults fill what the document leaves out.
    const QString minimal =
        layouts->AddLayout(layoutXml(QStringLiteral("<Name>Short</Name><TypeCode>RCT</TypeCode>")));
    EXPECT_EQ(minimal, QStringLiteral("RCT00001"));
    EXPECT_EQ(layouts->GetLayout(minimal),
              layoutXml(QStringLiteral("<DocCode>RCT00001</DocCode><Name>Short</Name>"
                                       "<TypeCode>RCT</TypeCode><Author>System</Author>"
                                       "<Language>3</Language>")));

    // Overwriting keeps the code, whatever the document says, and clears
    // what the document leaves out.
    company.setClock([] { return QDateTime(QDate(2024, 5, 2), QTime(9, 0)); });
    layouts->UpdateLayout(
        copy, layoutXml(QStringLiteral("<DocCode>OTHER</DocCode><Name>Renamed</Name>"
                                       "<TypeCode>INV2</TypeCode><Template>new</Template>")));
    EXPECT_EQ(layouts->GetLayout(copy),
              layoutXml(QStringLiteral("<DocCode>INV20002</DocCode><Name>Renamed</Name>"
                                       "<TypeCode>INV2</TypeCode><Author>System</Author>"
                                       "<Language>3</Language><Template>new</Template>")));
    EXPECT_FALSE(layouts->GetLayoutList().contains(QStringLiteral("OTHER")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT CreateDate FROM RDOC WHERE DocCode = N'INV20002'")),
              QStringLiteral("2024-03-15 00:00:00"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT UpdateDate FROM RDOC WHERE DocCode = N'INV20002'")),
              QStringLiteral("2024-05-02 00:00:00"));
    // The other layouts are untouched.
    EXPECT_EQ(layouts->GetLayout(QStringLiteral("INV20001")), xml);

    // Calls by name.
    EXPECT_EQ(layouts->Invoke(QStringLiteral("getlayout"), {QStringLiteral("INV20001")}), xml);
    EXPECT_EQ(layouts->Invoke(QStringLiteral("GetLayoutList")).toStringList(),
              layouts->GetLayoutList());
    const QString byName = layouts->Invoke(QStringLiteral("AddLayout"), {xml}).toString();
    EXPECT_EQ(byName, QStringLiteral("INV20003"));
    layouts->Invoke(QStringLiteral("UpdateLayout"), {byName, layouts->GetLayout(minimal)});
    EXPECT_EQ(textOf(layouts->GetLayout(byName), QStringLiteral("Name")), QStringLiteral("Short"));
    EXPECT_THROW(layouts->Invoke(QStringLiteral("RemoveLayout"), {byName}), ComError);
}

TEST_F(Services, ALayoutCopiedToAnotherCompanyReadsTheSame) {
    std::unique_ptr<LayoutService> layouts = businessService<LayoutService>(*service, 232);
    const QString code = layouts->AddLayout(layoutXml(
        QStringLiteral("<Name>Quotation</Name><TypeCode>QUT2</TypeCode><Remarks>r</Remarks>"
                       "<Template>line1&#13;\nline2</Template>")));
    const QString base = layouts->GetLayout(code);

    Company other;
    target(other);
    std::unique_ptr<CompanyService> otherService = other.GetCompanyService();
    std::unique_ptr<LayoutService> otherLayouts =
        businessService<LayoutService>(*otherService, 232);
    EXPECT_EQ(otherLayouts->AddLayout(base), code);
    EXPECT_EQ(otherLayouts->GetLayout(code), base);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT Template FROM RDOC WHERE DocCode = N'%1'").arg(code), &other),
        QStringLiteral("line1\r\nline2"));
    // Overwriting with the same document changes nothing that shows.
    otherLayouts->UpdateLayout(code, base);
    EXPECT_EQ(otherLayouts->GetLayout(code), base);
}

TEST_F(Services, LayoutsRefuseUnknownCodesAndBadDocuments) {
    std::unique_ptr<LayoutService> layouts = businessService<LayoutService>(*service, 232);
    const QString good = layoutXml(QStringLiteral("<Name>Kept</Name><TypeCode>INV2</TypeCode>"));
    const QString code = layouts->AddLayout(good);
    const QString stored = layouts->GetLayout(code);
    const QString table = rows(QStringLiteral("SELECT * FROM RDOC ORDER BY DocCode"));

    EXPECT_EQ(errorOf([&] { layouts->GetLayout(QStringLiteral("NOPE")); }), errRecordMissing);
    EXPECT_TRUE(company.GetLastErrorDescription().contains(QStringLiteral("NOPE")));
    EXPECT_EQ(errorOf([&] { layouts->UpdateLayout(QStringLiteral("NOPE"), good); }),
              errRecordMissing);

    const QList<std::pair<QString, int>> bad{
        {QStringLiteral("<BOM><BO><AdmInfo>"), errBadDocument},
        {QStringLiteral("not xml at all"), errBadDocument},
        {QStringLiteral(""), errBadDocument},
        {kPreferences, errBadDocument},
        {QStringLiteral("<?xml version=\"1.0\"?><BOM><BO><AdmInfo><Object>43</Object></AdmInfo>"
                        "<RDOC><row><Name>x</Name><TypeCode>INV2</TypeCode></row></RDOC></BO>"
                        "</BOM>"),
         errBadDocument},
        {layoutXml(QStringLiteral("<Name>x</Name><TypeCode>INV2</TypeCode><Colour>red</Colour>")),
         errUnknownElement},
        {layoutXml(QStringLiteral("<Name>x</Name><Name>y</Name><TypeCode>INV2</TypeCode>")),
         errBadDocument},
        {layoutXml(element(QStringLiteral("Name"), QString(101, u'n')) +
                   QStringLiteral("<TypeCode>INV2</TypeCode>")),
         errTooLong},
        {layoutXml(QStringLiteral("<TypeCode>INV2</TypeCode>")), errRequired},
        {QStringLiteral("<!DOCTYPE BOM [<!ENTITY n \"x\">]>") +
             layoutXml(QStringLiteral("<Name>&n;</Name><TypeCode>INV2</TypeCode>")).mid(39),
         errBadDocument},
        {layoutXml(QStringLiteral("<Name>x</Name>")), errRequired},
        {layoutXml(QStringLiteral("<Name>x</Name><TypeCode>INV2</TypeCode>"
                                  "<Language>English</Language>")),
         errWrongType},
    };
    for (const auto& [xml, expected] : bad) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(errorOf([&] { layouts->AddLayout(xml); }), expected);
        EXPECT_EQ(errorOf([&] { layouts->UpdateLayout(code, xml); }), expected);
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM RDOC ORDER BY DocCode")), table);
    }
    // Only a new layout takes the document's code.
    EXPECT_EQ(errorOf([&] {
                  layouts->AddLayout(layoutXml(QStringLiteral(
                      "<DocCode>TOOLONGCODE</DocCode><Name>x</Name><TypeCode>INV2</TypeCode>")));
              }),
              errTooLong);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM RDOC ORDER BY DocCode")), table);
    EXPECT_EQ(layouts->GetLayout(code), stored);
}

// ---------------------------------------------------------------------------
// Form preferences

TEST_F(Services, ColumnPreferencesRoundTripPerUserAndForm) {
    std::unique_ptr<FormPreferencesService> prefs =
        businessService<FormPreferencesService>(*service, 41);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, QStringLiteral("150")),
              QStringLiteral("<ColumnsPreferences />"));

    prefs->SetColumnsPreferences(alice, QStringLiteral("150"), kPreferences);
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, QStringLiteral("150")), kPreferences);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) FROM CPRF WHERE UserSign = %1").arg(alice)).toInt(),
        2);
    // Other users and other forms have none.
    EXPECT_EQ(prefs->GetColumnsPreferences(1, QStringLiteral("150")),
              QStringLiteral("<ColumnsPreferences />"));
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, QStringLiteral("134")),
              QStringLiteral("<ColumnsPreferences />"));

    // What one user has, another can be given, declaration and all.
    prefs->SetColumnsPreferences(1, QStringLiteral("150"),
                                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" ?>") +
                                     prefs->GetColumnsPreferences(alice, QStringLiteral("150")));
    EXPECT_EQ(prefs->GetColumnsPreferences(1, QStringLiteral("150")), kPreferences);

    // Setting replaces; defaults fill what a column leaves out; the list
    // comes in position order.
    prefs->SetColumnsPreferences(
        alice, QStringLiteral("150"),
        QStringLiteral("<ColumnsPreferences>"
                       "<ColumnPreference><ItemID>38</ItemID><ColumnID>9</ColumnID>"
                       "<Position>5</Position></ColumnPreference>"
                       "<ColumnPreference><ItemID>38</ItemID><ColumnID>2</ColumnID>"
                       "<Position>4</Position></ColumnPreference></ColumnsPreferences>"));
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, QStringLiteral("150")),
              QStringLiteral("<ColumnsPreferences>"
                             "<ColumnPreference><ItemID>38</ItemID><ColumnID>2</ColumnID>"
                             "<Position>4</Position><Width>0</Width><Visible>Y</Visible>"
                             "<Editable>Y</Editable></ColumnPreference>"
                             "<ColumnPreference><ItemID>38</ItemID><ColumnID>9</ColumnID>"
                             "<Position>5</Position><Width>0</Width><Visible>Y</Visible>"
                             "<Editable>Y</Editable></ColumnPreference></ColumnsPreferences>"));
    // The empty list removes them; the other user keeps his.
    prefs->SetColumnsPreferences(alice, QStringLiteral("150"),
                                 QStringLiteral("<ColumnsPreferences/>"));
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, QStringLiteral("150")),
              QStringLiteral("<ColumnsPreferences />"));
    EXPECT_EQ(prefs->GetColumnsPreferences(1, QStringLiteral("150")), kPreferences);

    // Calls by name.
    prefs->Invoke(QStringLiteral("SetColumnsPreferences"),
                  {alice, QStringLiteral("139"), kPreferences});
    EXPECT_EQ(prefs->Invoke(QStringLiteral("GetColumnsPreferences"),
                            {QString::number(alice), QStringLiteral("139")}),
              kPreferences);
    EXPECT_EQ(errorOf([&] {
                  prefs->Invoke(QStringLiteral("GetColumnsPreferences"),
                                {QStringLiteral("alice"), QStringLiteral("139")});
              }),
              errInvalidArgument);
}

TEST_F(Services, ColumnPreferencesRefuseBadInputAllOrNothing) {
    std::unique_ptr<FormPreferencesService> prefs =
        businessService<FormPreferencesService>(*service, 41);
    prefs->SetColumnsPreferences(alice, QStringLiteral("150"), kPreferences);
    const QString table = rows(QStringLiteral("SELECT * FROM CPRF ORDER BY UserSign, ItemID"));

    EXPECT_EQ(errorOf([&] { prefs->GetColumnsPreferences(999, QStringLiteral("150")); }),
              errUnknownUser);
    EXPECT_EQ(
        errorOf([&] { prefs->SetColumnsPreferences(999, QStringLiteral("150"), kPreferences); }),
        errUnknownUser);
    EXPECT_EQ(errorOf([&] { prefs->SetColumnsPreferences(alice, QString(), kPreferences); }),
              errInvalidArgument);
    EXPECT_EQ(
        errorOf([&] { prefs->SetColumnsPreferences(alice, QString(21, u'f'), kPreferences); }),
        errTooLong);

    const auto column = [](const QString& inner) {
        return QStringLiteral("<ColumnPreference><ItemID>38</ItemID><ColumnID>1</ColumnID>"
                              "<Position>0</Position></ColumnPreference>"
                              "<ColumnPreference>%1</ColumnPreference>")
            .arg(inner);
    };
    const auto list = [](const QString& inner) {
        return QStringLiteral("<ColumnsPreferences>%1</ColumnsPreferences>").arg(inner);
    };
    const QList<std::pair<QString, int>> bad{
        {QStringLiteral("<ColumnsPreferences>"), errBadDocument},
        {QStringLiteral("<ColumnsPreferences></ColumnsPreferences><x/>"), errBadDocument},
        {QStringLiteral("<UserMenu />"), errBadDocument},
        {list(QStringLiteral("<User>alice</User>")), errUnknownElement},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ColumnID>2</ColumnID><Colour>red"
                                    "</Colour>"))),
         errUnknownElement},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ItemID>39</ItemID>"
                                    "<ColumnID>2</ColumnID>"))),
         errBadDocument},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ColumnID>2<b/></ColumnID>"))),
         errBadDocument},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ColumnID>2</ColumnID>"
                                    "<Visible>X</Visible>"))),
         errWrongType},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ColumnID>2</ColumnID>"
                                    "<Width>wide</Width>"))),
         errWrongType},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ColumnID>2</ColumnID>") +
                     element(QStringLiteral("Description"), QString(101, u'd')))),
         errTooLong},
        {list(column(QStringLiteral("<ItemID>38</ItemID><ColumnID>1</ColumnID>"))),
         errRecordExists},
        {list(column(QStringLiteral("<ItemID>38</ItemID>"))), errRequired},
    };
    for (const auto& [xml, expected] : bad) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(errorOf([&] { prefs->SetColumnsPreferences(alice, QStringLiteral("150"), xml); }),
                  expected);
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM CPRF ORDER BY UserSign, ItemID")), table);
    }
    EXPECT_EQ(prefs->GetColumnsPreferences(alice, QStringLiteral("150")), kPreferences);
}

// ---------------------------------------------------------------------------
// User menus

TEST_F(Services, UserMenusRoundTripAndReplace) {
    std::unique_ptr<MenuService> menus = businessService<MenuService>(*service, 2002);
    EXPECT_EQ(menus->GetUserMenu(alice), QStringLiteral("<UserMenu />"));
    menus->SetUserMenu(alice, kMenu);
    EXPECT_EQ(menus->GetUserMenu(alice), kMenu);
    // Kept under the user's number.
    const int number =
        scalar(QStringLiteral("SELECT USERID FROM OUSR WHERE INTERNAL_K = %1").arg(alice)).toInt();
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) FROM CUMI WHERE USERID = %1").arg(number)).toInt(),
        3);
    EXPECT_EQ(menus->GetUserMenu(1), QStringLiteral("<UserMenu />"));

    // One user's menu given to another, declaration and all.
    menus->SetUserMenu(1, QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" ?>") +
                              menus->GetUserMenu(alice));
    EXPECT_EQ(menus->GetUserMenu(1), kMenu);

    // Replacing; the type defaults to a menu entry; position order.
    menus->SetUserMenu(alice, QStringLiteral("<UserMenu><MenuItem><Position>7</Position>"
                                             "<Name>Late</Name></MenuItem><MenuItem>"
                                             "<Position>3</Position><Name>Early</Name>"
                                             "</MenuItem></UserMenu>"));
    EXPECT_EQ(menus->GetUserMenu(alice),
              QStringLiteral("<UserMenu><MenuItem><Position>3</Position><Father>-1</Father>"
                             "<Type>M</Type><Name>Early</Name></MenuItem><MenuItem>"
                             "<Position>7</Position><Father>-1</Father><Type>M</Type>"
                             "<Name>Late</Name></MenuItem></UserMenu>"));
    menus->SetUserMenu(alice, QStringLiteral("<UserMenu />"));
    EXPECT_EQ(menus->GetUserMenu(alice), QStringLiteral("<UserMenu />"));
    EXPECT_EQ(menus->GetUserMenu(1), kMenu);

    // Calls by name.
    menus->Invoke(QStringLiteral("SetUserMenu"), {alice, kMenu});
    EXPECT_EQ(menus->Invoke(QStringLiteral("getusermenu"), {alice}), kMenu);

    // A user without a number has no menu and cannot be given one.
    scalar(QStringLiteral("UPDATE OUSR SET USERID = NULL WHERE INTERNAL_K = %1").arg(alice));
    EXPECT_EQ(menus->GetUserMenu(alice), QStringLiteral("<UserMenu />"));
    EXPECT_EQ(errorOf([&] { menus->SetUserMenu(alice, kMenu); }), errInvalidArgument);
    menus->SetUserMenu(alice, QStringLiteral("<UserMenu />"));
}

TEST_F(Services, UserMenusRefuseBrokenTreesAndBadItems) {
    std::unique_ptr<MenuService> menus = businessService<MenuService>(*service, 2002);
    menus->SetUserMenu(alice, kMenu);
    const QString table = rows(QStringLiteral("SELECT * FROM CUMI ORDER BY USERID, Position"));

    EXPECT_EQ(errorOf([&] { menus->GetUserMenu(999); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { menus->SetUserMenu(-5, kMenu); }), errUnknownUser);

    const auto item = [](int position, int father, const QString& type) {
        return QStringLiteral("<MenuItem><Position>%1</Position><Father>%2</Father><Type>%3</Type>"
                              "<Name>n</Name></MenuItem>")
            .arg(position)
            .arg(father)
            .arg(type);
    };
    const auto menu = [](const QString& items) {
        return QStringLiteral("<UserMenu>%1</UserMenu>").arg(items);
    };
    const QList<std::pair<QString, int>> bad{
        {QStringLiteral("<UserMenu><MenuItem>"), errBadDocument},
        {kPreferences, errBadDocument},
        {menu(QStringLiteral("<Item/>")), errUnknownElement},
        {menu(QStringLiteral("<User>alice</User>") + item(0, -1, QStringLiteral("M"))),
         errUnknownElement},
        // A father that is no folder, one that is not there, loops.
        {menu(item(0, -1, QStringLiteral("M")) + item(1, 0, QStringLiteral("M"))), errReference},
        {menu(item(0, -1, QStringLiteral("F")) + item(1, 7, QStringLiteral("M"))), errReference},
        {menu(item(0, 0, QStringLiteral("F"))), errReference},
        {menu(item(0, 1, QStringLiteral("F")) + item(1, 0, QStringLiteral("F"))), errReference},
        {menu(item(0, -1, QStringLiteral("M")) + item(0, -1, QStringLiteral("R"))),
         errRecordExists},
        {menu(item(0, -1, QStringLiteral("X"))), errWrongType},
        {menu(item(0, -1, QStringLiteral("MF"))), errWrongType},
        {menu(QStringLiteral("<MenuItem><Position>first</Position></MenuItem>")), errWrongType},
        {menu(QStringLiteral("<MenuItem><Name>no place</Name></MenuItem>")), errRequired},
        {menu(QStringLiteral("<MenuItem><Position>0</Position>") +
              element(QStringLiteral("Name"), QString(101, u'n')) + QStringLiteral("</MenuItem>")),
         errTooLong},
    };
    for (const auto& [xml, expected] : bad) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(errorOf([&] { menus->SetUserMenu(alice, xml); }), expected);
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM CUMI ORDER BY USERID, Position")), table);
    }
    // A deeper tree is fine.
    const QString deep = menu(item(0, -1, QStringLiteral("F")) + item(1, 0, QStringLiteral("F")) +
                              item(2, 1, QStringLiteral("F")) + item(3, 2, QStringLiteral("Q")));
    menus->SetUserMenu(alice, deep);
    EXPECT_EQ(menus->GetUserMenu(alice), deep);
}

// ---------------------------------------------------------------------------
// The bridge

TEST_F(Services, PermissionsAreReadAndSetPerUserAndId) {
    std::unique_ptr<Bridge> b = bridge();
    EXPECT_EQ(b->GetPermission(alice, 142), QStringLiteral("N"));
    b->SetPermission(alice, 142, QStringLiteral("F"));
    b->SetPermission(alice, 74, QStringLiteral("R"));
    EXPECT_EQ(b->GetPermission(alice, 142), QStringLiteral("F"));
    EXPECT_EQ(b->GetPermission(alice, 74), QStringLiteral("R"));
    EXPECT_EQ(b->GetPermission(1, 142), QStringLiteral("N"));
    // Setting again replaces, one row per user and id.
    b->SetPermission(alice, 142, QStringLiteral("R"));
    b->SetPermission(alice, 142, QStringLiteral("N"));
    EXPECT_EQ(b->GetPermission(alice, 142), QStringLiteral("N"));
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) FROM OPRM WHERE UserSign = %1").arg(alice)).toInt(),
        2);

    // Calls by name: the permission is the first value of the result.
    b->Invoke(QStringLiteral("SetPermission"), {alice, 203, QStringLiteral("F")});
    EXPECT_EQ(b->Invoke(QStringLiteral("getpermission"), {alice, 203}).toList().value(0),
              QStringLiteral("F"));
    EXPECT_EQ(
        b->Invoke(QStringLiteral("GetPermission"), {QString::number(alice), 74}).toList().value(0),
        QStringLiteral("R"));

    const QString table = rows(QStringLiteral("SELECT * FROM OPRM ORDER BY UserSign, PermId"));
    EXPECT_EQ(errorOf([&] { b->GetPermission(999, 142); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { b->SetPermission(999, 142, QStringLiteral("F")); }), errUnknownUser);
    EXPECT_EQ(errorOf([&] { b->GetPermission(alice, 0); }), errInvalidArgument);
    EXPECT_EQ(errorOf([&] { b->SetPermission(alice, -3, QStringLiteral("F")); }),
              errInvalidArgument);
    for (const QString& value : {QStringLiteral("X"), QStringLiteral(""), QStringLiteral("f"),
                                 QStringLiteral("Full"), QStringLiteral("F'; DROP TABLE OPRM")})
        EXPECT_EQ(errorOf([&] { b->SetPermission(alice, 142, value); }), errWrongType);
    EXPECT_EQ(errorOf([&] {
                  b->Invoke(QStringLiteral("GetPermission"), {QStringLiteral("alice"), 142});
              }),
              errInvalidArgument);
    EXPECT_EQ(errorOf([&] { b->Invoke(QStringLiteral("GetPermission"), {alice}); }),
              errInvalidArgument);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM OPRM ORDER BY UserSign, PermId")), table);
    EXPECT_THROW(b->Invoke(QStringLiteral("GetPermissions"), {alice, 1}), ComError);
}

TEST_F(Services, FieldDescriptionsGiveEveryColumnWithItsTypeAndUserFields) {
    std::unique_ptr<Bridge> b = bridge();
    const QList<Bridge::FieldDescription> manufacturers =
        b->GetFieldDescriptions(QStringLiteral("OMRC"));
    const Schema::Table* omrc = Schema::standard().table(QStringLiteral("OMRC"));
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
    EXPECT_EQ(find(manufacturers, QStringLiteral("FirmName")).description,
              QStringLiteral("Manufacturer Name"));
    EXPECT_EQ(find(manufacturers, QStringLiteral("FirmName")).type, Bridge::Alphanumeric);
    EXPECT_EQ(find(manufacturers, QStringLiteral("FirmName")).size,
              omrc->column(QStringLiteral("FirmName"))->length);

    const QList<Bridge::FieldDescription> prefs = b->GetFieldDescriptions(QStringLiteral("CPRF"));
    EXPECT_EQ(find(prefs, QStringLiteral("FormID")).description, QStringLiteral("Form ID"));
    EXPECT_EQ(find(prefs, QStringLiteral("UserSign")).type, Bridge::Numeric);
    const QList<Bridge::FieldDescription> rdoc = b->GetFieldDescriptions(QStringLiteral("RDOC"));
    EXPECT_EQ(find(rdoc, QStringLiteral("Template")).type, Bridge::Memo);
    EXPECT_EQ(find(rdoc, QStringLiteral("Template")).size, 0);
    EXPECT_EQ(find(rdoc, QStringLiteral("CreateDate")).type, Bridge::Date);
    const QList<Bridge::FieldDescription> oadm = b->GetFieldDescriptions(QStringLiteral("OADM"));
    EXPECT_EQ(find(oadm, QStringLiteral("TaxPercentage")).type, Bridge::Float);
    EXPECT_EQ(find(oadm, QStringLiteral("PhoneNumber1")).description,
              QStringLiteral("Phone Number 1"));

    // User fields follow the table's own columns once their column exists.
    Database& db = *company.state()->database;
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE OMRC ADD COLUMN U_Country TEXT")));
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, "
                                       "TypeID, EditSize) VALUES ('OMRC', 0, 'Country', "
                                       "'Country of origin', '0', 3)")));
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, "
                                       "TypeID) VALUES ('OMRC', 1, 'Gone', 'No column', '2')")));
    const QList<Bridge::FieldDescription> withUser =
        b->GetFieldDescriptions(QStringLiteral("OMRC"));
    ASSERT_EQ(withUser.size(), manufacturers.size() + 1);
    EXPECT_EQ(withUser.last().name, QStringLiteral("U_Country"));
    EXPECT_EQ(withUser.last().description, QStringLiteral("Country of origin"));
    EXPECT_EQ(withUser.last().size, 3);

    // A user table: Code and Name, then its fields.
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO OUTB (TableName, Descr) VALUES ('BINS', "
                                       "'Bins')")));
    ASSERT_TRUE(db.exec(QStringLiteral("CREATE TABLE \"@BINS\" (Code TEXT PRIMARY KEY, Name TEXT, "
                                       "U_Size REAL, U_Checked DATETEXT)")));
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, "
                                       "TypeID) VALUES ('@BINS', 0, 'Size', 'Size', '4'), "
                                       "('@BINS', 1, 'Checked', '', '3')")));
    const QList<Bridge::FieldDescription> bins = b->GetFieldDescriptions(QStringLiteral("@bins"));
    ASSERT_EQ(bins.size(), 4);
    EXPECT_EQ(bins[0].name, QStringLiteral("Code"));
    EXPECT_EQ(bins[1].name, QStringLiteral("Name"));
    EXPECT_EQ(bins[2].type, Bridge::Float);
    EXPECT_EQ(bins[3].name, QStringLiteral("U_Checked"));
    EXPECT_EQ(bins[3].description, QStringLiteral("Checked"));
    EXPECT_EQ(bins[3].type, Bridge::Date);

    // By name: a list of maps.
    const QVariantList byName =
        b->Invoke(QStringLiteral("GetFieldDescriptions"), {QStringLiteral("OMRC")}).toList();
    ASSERT_EQ(byName.size(), withUser.size());
    EXPECT_EQ(byName.last().toMap().value(QStringLiteral("Name")), QStringLiteral("U_Country"));
    EXPECT_EQ(byName.last().toMap().value(QStringLiteral("Type")).toInt(), 0);

    for (const QString& table : {QStringLiteral("NOPE"), QStringLiteral("omrc"),
                                 QStringLiteral("@NOPE"), QStringLiteral("OMRC\"; --")})
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
                info->SetProperty(QStringLiteral("Address"), value);
                info->Update();
            },
            [&] {
                return service->GetAdminInfo()->GetProperty(QStringLiteral("Address")).toString();
            });
        const QString layout = QStringLiteral("L%1").arg(++n);
        carried(
            254,
            [&] {
                layouts->AddLayout(
                    layoutXml(element(QStringLiteral("DocCode"), layout) +
                              QStringLiteral("<Name>n</Name><TypeCode>T</TypeCode>") +
                              element(QStringLiteral("Remarks"), value) +
                              element(QStringLiteral("Template"), value)));
            },
            [&] {
                if (!layouts->GetLayoutList().contains(layout))
                    return QStringLiteral("no layout");
                const QString xml = layouts->GetLayout(layout);
                EXPECT_EQ(textOf(xml, QStringLiteral("Template")),
                          textOf(xml, QStringLiteral("Remarks")));
                return textOf(xml, QStringLiteral("Remarks")).value_or(QString());
            });
        carried(
            100,
            [&] {
                prefs->SetColumnsPreferences(
                    alice, QStringLiteral("150"),
                    QStringLiteral("<ColumnsPreferences><ColumnPreference><ItemID>38</ItemID>"
                                   "<ColumnID>1</ColumnID>") +
                        element(QStringLiteral("Description"), value) +
                        QStringLiteral("</ColumnPreference></ColumnsPreferences>"));
            },
            [&] {
                return textOf(prefs->GetColumnsPreferences(alice, QStringLiteral("150")),
                              QStringLiteral("Description"))
                    .value_or(QString());
            });
        carried(
            254,
            [&] {
                menus->SetUserMenu(alice,
                                   QStringLiteral("<UserMenu><MenuItem><Position>0</Position>"
                                                  "<Name>n</Name>") +
                                       element(QStringLiteral("Link"), value) +
                                       QStringLiteral("</MenuItem></UserMenu>"));
            },
            [&] {
                return textOf(menus->GetUserMenu(alice), QStringLiteral("Link"))
                    .value_or(QString());
            });
    }
    // Long text has room in a layout's template, and hostile form ids are
    // only text to look up and store.
    const QString longest =
        *std::max_element(nasty.begin(), nasty.end(),
                          [](const QString& a, const QString& b) { return a.size() < b.size(); });
    ASSERT_GT(longest.size(), 254);
    const QString code =
        layouts->AddLayout(layoutXml(QStringLiteral("<Name>Long</Name><TypeCode>T</TypeCode>") +
                                     element(QStringLiteral("Template"), longest)));
    EXPECT_EQ(textOf(layouts->GetLayout(code), QStringLiteral("Template")), longest);
    for (const QString& formId : {QStringLiteral("O'Brien"), QStringLiteral("1 OR 1=1"),
                                  QString(QChar(0xFEFF)) + QStringLiteral("BOM")}) {
        prefs->SetColumnsPreferences(alice, formId, kPreferences);
        EXPECT_EQ(prefs->GetColumnsPreferences(alice, formId), kPreferences);
    }
}
