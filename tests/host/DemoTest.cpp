#include "HostTestSupport.h"

#include "host/admin/LLDemo.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLFormPreferencesService.h"
#include "host/objects/LLLayoutService.h"
#include "host/objects/LLMenuService.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLSchema.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

// The entries of one iso-codes file, as the generator reads them.
QJsonArray isoEntries(const QString& standard) {
    QFile file(Demo::isoCodesFolder() + u"/iso_%1.json"_s.arg(standard));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(standard).toArray();
}

} // namespace

// A demo company on a server of its own; the database stays open for
// the checks.
class DemoCompany : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        Demo::setIsoCodesFolderForTesting(QString());
    }
    void TearDown() override {
        db.reset();
        Demo::setIsoCodesFolderForTesting(QString());
        HostWorld::TearDown();
    }

    void make(const QString& profile, quint32 seed = Demo::DefaultSeed,
              const QString& database = u"DEMO"_s, int type = 6) {
        if (!server)
            server = makeServer(type, u"srv"_s);
        QString error;
        ASSERT_TRUE(Demo::create(*server, database, profile, seed, QString(), &summary, &error))
            << error.toStdString();
        db = Database::open(*server, server->databasePath(database), &error);
        ASSERT_TRUE(db) << error.toStdString();
    }

    QVariant scalar(const QString& sql, const QVariantList& values = QVariantList()) {
        QSqlQuery q(db->connection());
        EXPECT_TRUE(Database::prepare(q, sql, values) && q.exec()) << sql.toStdString();
        return q.next() ? q.value(0) : QVariant();
    }
    // The rows of table that meet a condition.
    int rowsWhere(const char* table, const char* condition) {
        return scalar(u"SELECT COUNT(*) FROM %1 WHERE %2"_s.arg(QLatin1String(table),
                                                                QString::fromUtf8(condition)))
            .toInt();
    }
    qint64 count(const QString& table) {
        return scalar(u"SELECT COUNT(*) FROM \"%1\""_s.arg(table)).toLongLong();
    }
    // Every row of a table in key order, one text line each; columns in
    // skip are left out (password salts).
    QStringList dump(Database& from, const QString& table, const QStringList& skip = {}) {
        QSqlQuery q(from.connection());
        EXPECT_TRUE(q.exec(u"SELECT * FROM \"%1\" ORDER BY 1, 2"_s.arg(table)));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            const QSqlRecord r = q.record();
            for (int c = 0; c < r.count(); ++c)
                if (!skip.contains(r.fieldName(c)))
                    cells << r.fieldName(c) + u'=' + q.value(c).toString();
            rows << cells.join(u'|');
        }
        return rows;
    }

    // Every value a record's reference names exists where it points, as
    // the host checks on Add and the copy relies on. Returns the number of
    // references and of those the data uses.
    std::pair<int, int> expectReferencesHold() {
        int references = 0, used = 0;
        const auto check = [&](const QString& table, const ObjectDefinition::Reference& ref) {
            ++references;
            const QString filled =
                u"\"%1\" IS NOT NULL AND CAST(\"%1\" AS TEXT) <> ''"_s.arg(ref.column);
            if (scalar(u"SELECT COUNT(*) FROM \"%1\" WHERE %2"_s.arg(table, filled)).toInt() > 0)
                ++used;
            const QVariant missing =
                scalar(u"SELECT MIN(CAST(\"%1\" AS TEXT)) FROM \"%2\" WHERE %3 AND "
                       u"CAST(\"%1\" AS TEXT) NOT IN (SELECT CAST(\"%4\" AS TEXT) FROM "
                       u"\"%5\" WHERE \"%4\" IS NOT NULL)"_s.arg(ref.column, table, filled,
                                                                 ref.targetColumn, ref.table));
            EXPECT_TRUE(missing.isNull())
                << table.toStdString() << "." << ref.column.toStdString() << " = '"
                << missing.toString().toStdString() << "' is not in " << ref.table.toStdString()
                << "." << ref.targetColumn.toStdString();
        };
        for (const ObjectDefinition& o : ObjectCatalog::standard().objects()) {
            for (const ObjectDefinition::Reference& ref : o.references)
                check(o.table, ref);
            for (const ObjectDefinition::Child& child : o.children)
                for (const ObjectDefinition::Reference& ref : child.references)
                    check(child.table, ref);
        }
        return {references, used};
    }
    // The rows of every table of a database.
    QMap<QString, qint64> tableRows(Database& from) {
        QSqlQuery tables(from.connection());
        EXPECT_TRUE(tables.exec(
            u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"_s));
        QMap<QString, qint64> rows;
        while (tables.next()) {
            const QString table = tables.value(0).toString();
            QSqlQuery q(from.connection());
            EXPECT_TRUE(q.exec(u"SELECT COUNT(*) FROM \"%1\""_s.arg(table)) && q.next())
                << table.toStdString();
            rows.insert(table, q.value(0).toLongLong());
        }
        return rows;
    }
    std::optional<Server> server;
    std::unique_ptr<Database> db;
    Demo::Summary summary;
};

TEST_F(DemoCompany, StandardFillsEveryCopyableCategory) {
    make(u"empty"_s, 1, u"BLANK"_s);
    const QMap<QString, qint64> blank = tableRows(*db);
    make(u"standard"_s);
    // Every table holds rows, from customization to journal entries, the
    // user tables too; the summary counts every row written.
    const QMap<QString, qint64> rows = tableRows(*db);
    int userTables = 0;
    qint64 written = 0;
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        userTables += it.key().startsWith(u'@');
        written += it.value() - blank.value(it.key());
        EXPECT_GT(it.value(), 0) << it.key().toStdString() << " is empty";
    }
    EXPECT_GE(rows.size(), 60);
    EXPECT_GE(userTables, 4);

    EXPECT_EQ(count(u"OITM"_s), 300);
    EXPECT_EQ(count(u"OCRD"_s), 200);
    EXPECT_EQ(count(u"ITM1"_s), 300 * count(u"OPLN"_s));
    EXPECT_EQ(
        rowsWhere("OUSR", "SUPERUSER = 'N' AND Department IS NOT NULL AND Branch IS NOT NULL"), 5);
    EXPECT_EQ(count(u"OACP"_s), 2);
    EXPECT_EQ(scalar(u"SELECT COUNT(DISTINCT AbsEntry) FROM OFPR"_s).toInt(), 24);
    // Titles on three levels above the postable accounts.
    EXPECT_GT(rowsWhere("OACT", "Postable = 'N' AND Levels = 3"), 5);
    EXPECT_GT(rowsWhere("OACT", "Postable = 'Y' AND Levels = 4"), 50);
    // Both kinds of formatted search, and layouts the copy takes and leaves.
    EXPECT_GT(rowsWhere("CSHS", "ItemID LIKE 'U_%'"), 0);
    EXPECT_GT(rowsWhere("CSHS", "ItemID NOT LIKE 'U_%'"), 0);
    EXPECT_GT(rowsWhere("RDOC", "Author <> 'System'"), 0);
    EXPECT_GT(rowsWhere("OSPP", "CardCode LIKE '*%'"), 0);
    EXPECT_GT(rowsWhere("OALT", "Type = 'U'"), 0);

    EXPECT_EQ(summary.filledTables, summary.tables);
    EXPECT_EQ(summary.tables, rows.size());
    EXPECT_EQ(summary.rowsWritten, written);
    EXPECT_GT(summary.rowsWritten, 5000);
}

TEST_F(DemoCompany, ReferenceDataComesFromIsoCodes) {
    make(u"standard"_s);
    const QJsonArray countries = isoEntries(u"3166-1"_s);
    ASSERT_FALSE(countries.isEmpty()) << "iso-codes is not installed";
    EXPECT_EQ(count(u"OCRY"_s), countries.size());
    EXPECT_EQ(count(u"OCRN"_s), isoEntries(u"4217"_s).size());
    EXPECT_EQ(scalar(u"SELECT Name FROM OCRY WHERE Code = 'DE'"_s).toString(), u"Germany"_s);
    EXPECT_EQ(scalar(u"SELECT ReportCode FROM OCRY WHERE Code = 'FR'"_s).toString(), u"FRA"_s);
    int usStates = 0;
    for (const QJsonValue& v : isoEntries(u"3166-2"_s))
        if (v.toObject().value(u"code"_s).toString().startsWith(QLatin1String("US-")))
            ++usStates;
    EXPECT_EQ(rowsWhere("OCST", "Country = 'US'"), usStates);
    EXPECT_EQ(scalar(u"SELECT Name FROM OCST WHERE Country = 'US' AND Code = 'CA'"_s).toString(),
              u"California"_s);
    EXPECT_EQ(rowsWhere("OCST", "Country NOT IN (SELECT Code FROM OCRY)"), 0);
}

TEST_F(DemoCompany, MissingIsoCodesNamesThePackageAndLeavesNoDatabase) {
    const Server s = makeServer(6, u"srv"_s);
    Demo::setIsoCodesFolderForTesting(dir.filePath(u"nowhere"_s));
    QString error;
    EXPECT_FALSE(Demo::create(s, u"DEMO"_s, u"standard"_s, 1, &error));
    EXPECT_TRUE(error.contains(u"iso-codes"_s)) << error.toStdString();
    EXPECT_TRUE(s.databasePath(u"DEMO"_s).isEmpty());
    // The empty profile needs no reference data.
    EXPECT_TRUE(Demo::create(s, u"EMPTY"_s, u"empty"_s, 1, &error)) << error.toStdString();
    EXPECT_FALSE(Demo::create(s, u"X"_s, u"huge"_s, 1, &error));
    EXPECT_TRUE(error.contains(u"huge"_s));
    EXPECT_TRUE(s.databasePath(u"X"_s).isEmpty());
}

TEST_F(DemoCompany, JournalEntriesBalanceAndCountersMoveOn) {
    make(u"standard"_s);
    QSqlQuery q(db->connection());
    ASSERT_TRUE(
        q.exec(u"SELECT OJDT.TransId, OJDT.LocTotal, SUM(JDT1.Debit), SUM(JDT1.Credit), COUNT(*) "
               u"FROM OJDT JOIN JDT1 ON JDT1.TransId = OJDT.TransId GROUP BY OJDT.TransId"_s));
    int entries = 0;
    while (q.next()) {
        ++entries;
        const double debit = q.value(2).toDouble(), credit = q.value(3).toDouble();
        EXPECT_NEAR(debit, credit, 0.005) << "entry " << q.value(0).toInt();
        EXPECT_NEAR(debit, q.value(1).toDouble(), 0.005) << "entry " << q.value(0).toInt();
        EXPECT_GT(debit, 0);
        EXPECT_GE(q.value(4).toInt(), 2);
    }
    EXPECT_EQ(entries, count(u"OJDT"_s));
    for (const QString& type : {u"30"_s, u"-2"_s, u"58"_s})
        EXPECT_GT(scalar(u"SELECT COUNT(*) FROM OJDT WHERE TransType = ?"_s, {type}).toInt(), 0)
            << type.toStdString();
    // Partner lines name the partner, not the account.
    EXPECT_GT(rowsWhere("JDT1", "ShortName IN (SELECT CardCode FROM OCRD)"), 0);
    // Keys the host hands out start past those the demo used.
    for (const ObjectDefinition& o : ObjectCatalog::standard().objects()) {
        if (!o.autoKey)
            continue;
        const QVariant next =
            scalar(u"SELECT AutoKey FROM ONNM WHERE ObjectCode = ?"_s, {QString::number(o.number)});
        if (next.isNull())
            continue;
        EXPECT_GT(next.toInt(), scalar(u"SELECT IFNULL(MAX(\"%1\"), 0) FROM \"%2\""_s.arg(
                                           o.keys.first().column, o.table))
                                    .toInt())
            << o.name.toStdString();
    }
}

TEST_F(DemoCompany, SameSeedGivesTheSameCompanyAnotherSeedAnother) {
    make(u"standard"_s, 7, u"FIRST"_s);
    std::unique_ptr<Database> first = std::move(db);
    make(u"standard"_s, 7, u"SECOND"_s);
    std::unique_ptr<Database> second = std::move(db);
    make(u"standard"_s, 8, u"OTHER"_s);
    for (const QString& table :
         words("OITM ITM1 OCRD CRD1 OCPR OACT JDT1 OSPP CUFD @EQUIPMENT OCST")) {
        const QStringList rows = dump(*first, table);
        EXPECT_FALSE(rows.isEmpty()) << table.toStdString();
        EXPECT_EQ(rows, dump(*second, table)) << table.toStdString();
    }
    // Users differ only in their password salts.
    const QStringList salt{u"PASSWORD"_s};
    EXPECT_EQ(dump(*first, u"OUSR"_s, salt), dump(*second, u"OUSR"_s, salt));
    EXPECT_NE(dump(*first, u"OITM"_s), dump(*db, u"OITM"_s));
    EXPECT_NE(dump(*first, u"OCRD"_s), dump(*db, u"OCRD"_s));
    // The reference data does not depend on the seed.
    EXPECT_EQ(dump(*first, u"OCRN"_s), dump(*db, u"OCRN"_s));
}

TEST_F(DemoCompany, EmptyIsAFreshCompany) {
    make(u"empty"_s, 3, u"EMPTY"_s);
    EXPECT_EQ(summary.rowsWritten, 0);
    EXPECT_LT(summary.filledTables, summary.tables / 2);
    createCompany(*server, u"FRESH"_s, Demo::defaultName(u"empty"_s));
    QString error;
    std::unique_ptr<Database> fresh =
        Database::open(*server, server->databasePath(u"FRESH"_s), &error);
    ASSERT_TRUE(fresh) << error.toStdString();
    const QStringList salt{u"PASSWORD"_s};
    int compared = 0;
    for (const Schema::Table& t : Schema::standard().tables()) {
        EXPECT_EQ(dump(*db, t.name, salt), dump(*fresh, t.name, salt)) << t.name.toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, int(Schema::standard().tables().size()));
    EXPECT_EQ(count(u"OITM"_s), 0);
}

TEST_F(DemoCompany, HostAcceptsTheDemoOnCaseSensitiveServers) {
    make(u"standard"_s, 5, u"DEMO"_s, 2);
    db.reset();
    Company company;
    connect(company, *server, u"DEMO"_s);
    // The host's own business objects read the demo records and add new
    // ones next to them: references resolve, counters are past the keys.
    std::unique_ptr<BusinessObject> items = businessObject(company, 4);
    ASSERT_TRUE(items->GetByKey({u"A00001"_s}));
    const QString xml = items->GetAsXML();
    EXPECT_TRUE(xml.contains(u"<ItemCode>A00001</ItemCode>"_s));
    const QString copy = QString(xml).replace(u"A00001"_s, u"COPY1"_s);
    EXPECT_EQ(company.GetBusinessObjectFromXML(copy, 0)->Add(), 0)
        << company.GetLastErrorDescription().toStdString();
    std::unique_ptr<BusinessObject> partners = businessObject(company, 2);
    ASSERT_TRUE(partners->GetByKey({u"C00001"_s}));
    // Contact and bank account numbers are unique across partners: the new
    // one takes the addresses only.
    const QString card = QString(partners->GetAsXML())
                             .replace(u"C00001"_s, u"CNEW1"_s)
                             .remove(QRegularExpression(u"<(OCPR|OCRB)>.*</\\1>"_s));
    EXPECT_TRUE(card.contains(u"<CRD1>"_s));
    EXPECT_EQ(company.GetBusinessObjectFromXML(card, 0)->Add(), 0)
        << company.GetLastErrorDescription().toStdString();
    const QString manufacturer =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>43</Object>"
        u"</AdmInfo><OMRC><row><ManufacturerName>Newcomer</ManufacturerName></row></OMRC></BO>"
        u"</BOM>"_s;
    EXPECT_EQ(company.GetBusinessObjectFromXML(manufacturer, 0)->Add(), 0)
        << company.GetLastErrorDescription().toStdString();
    company.Disconnect();
}

// What the host's services make of the demo's settings: menus form a
// tree, preferences and layouts read back and can be written again.
TEST_F(DemoCompany, HostServicesReadTheDemoSettings) {
    make(u"standard"_s);
    db.reset();
    Company company;
    connect(company, *server, u"DEMO"_s);
    std::unique_ptr<CompanyService> services = company.GetCompanyService();
    std::unique_ptr<HostObject> menuObject = services->GetBusinessService(MenuService::TypeNumber);
    auto* menus = static_cast<MenuService*>(menuObject.get());
    const QString menu = menus->GetUserMenu(3);
    EXPECT_EQ(menu.count(u"<MenuItem>"_s), 4) << menu.toStdString();
    EXPECT_NO_THROW(menus->SetUserMenu(4, menu));
    std::unique_ptr<HostObject> prefObject =
        services->GetBusinessService(FormPreferencesService::TypeNumber);
    auto* preferences = static_cast<FormPreferencesService*>(prefObject.get());
    const QString columns = preferences->GetColumnsPreferences(2, u"139"_s);
    EXPECT_EQ(columns.count(u"<ColumnPreference>"_s), 5) << columns.toStdString();
    EXPECT_NO_THROW(preferences->SetColumnsPreferences(6, u"139"_s, columns));
    std::unique_ptr<HostObject> layoutObject =
        services->GetBusinessService(LayoutService::TypeNumber);
    auto* layouts = static_cast<LayoutService*>(layoutObject.get());
    const QStringList codes = layouts->GetLayoutList();
    ASSERT_FALSE(codes.isEmpty());
    // A layout the users designed, as the host's own is plain.
    const QString layout = layouts->GetLayout(codes.last());
    EXPECT_TRUE(layout.contains(u"&amp;lt;&amp;gt;"_s)) << layout.toStdString();
    EXPECT_NO_THROW(layouts->AddLayout(layout));
    company.Disconnect();
}

// Every value a record's reference names exists where it points, as the
// host checks on Add and the copy relies on; the determination of every
// period category and the accounts of item groups and warehouses point at
// postable accounts; and links the catalogue does not declare hold too.
TEST_F(DemoCompany, RecordsAgreeWithOneAnother) {
    make(u"standard"_s);
    const auto [references, used] = expectReferencesHold();
    // Nearly every reference of the catalogue is exercised by the demo.
    EXPECT_GT(references, 250);
    EXPECT_GE(used * 10, references * 9) << used << " of " << references;
    int fields = 0;
    for (const QString& table : {u"OACP"_s, u"OITB"_s, u"OWHS"_s}) {
        for (const ObjectDefinition& o : ObjectCatalog::standard().objects()) {
            if (o.table != table)
                continue;
            for (const ObjectDefinition::Reference& ref : o.references) {
                if (ref.table != u"OACT")
                    continue;
                ++fields;
                EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM \"%1\" WHERE \"%2\" IS NULL OR "
                                 u"\"%2\" NOT IN (SELECT AcctCode FROM OACT WHERE "
                                 u"Postable = 'Y')"_s.arg(table, ref.column))
                              .toInt(),
                          0)
                    << table.toStdString() << "." << ref.column.toStdString();
            }
        }
    }
    EXPECT_GT(fields, 100);
    // Both period categories, the earlier one locked.
    EXPECT_EQ(rowsWhere("OFPR", "Status = 'L'"), 12);
    // Links the catalogue does not declare but the records still rely on.
    const QList<std::pair<QString, QString>> checks{
        {u"default bill-to is an address of the partner"_s,
         u"SELECT CardCode FROM OCRD WHERE BillToDef IS NOT NULL AND NOT EXISTS "
         u"(SELECT 1 FROM CRD1 WHERE CRD1.CardCode = OCRD.CardCode AND "
         u"CRD1.Address = OCRD.BillToDef AND CRD1.AddrType = 'B')"_s},
        {u"default ship-to is an address of the partner"_s,
         u"SELECT CardCode FROM OCRD WHERE ShipToDef IS NOT NULL AND NOT EXISTS "
         u"(SELECT 1 FROM CRD1 WHERE CRD1.CardCode = OCRD.CardCode AND "
         u"CRD1.Address = OCRD.ShipToDef AND CRD1.AddrType = 'S')"_s},
        {u"default contact is a contact of the partner"_s,
         u"SELECT CardCode FROM OCRD WHERE CntctPrsn IS NOT NULL AND NOT EXISTS "
         u"(SELECT 1 FROM OCPR WHERE OCPR.CardCode = OCRD.CardCode AND "
         u"OCPR.Name = OCRD.CntctPrsn)"_s},
        {u"partner currency is known"_s,
         u"SELECT CardCode FROM OCRD WHERE Currency <> '##' AND Currency NOT IN "
         u"(SELECT CurrCode FROM OCRN)"_s},
        {u"stock on the item is its stock in the warehouses"_s,
         u"SELECT ItemCode FROM OITM WHERE OnHand <> (SELECT IFNULL(SUM(OnHand), 0) "
         u"FROM OITW WHERE OITW.ItemCode = OITM.ItemCode)"_s},
        {u"an inventory item is kept in its default warehouse"_s,
         u"SELECT ItemCode FROM OITM WHERE InvntItem = 'Y' AND NOT EXISTS (SELECT 1 "
         u"FROM OITW WHERE OITW.ItemCode = OITM.ItemCode AND WhsCode = DfltWH)"_s},
        {u"a bill of materials' parent is marked as such"_s,
         u"SELECT TreeCode FROM OITT JOIN OITM ON ItemCode = TreeCode WHERE "
         u"OITM.TreeType <> OITT.TreeType"_s},
        {u"item-level accounts exactly where the item asks for them"_s,
         u"SELECT ItemCode FROM OITM WHERE (GLMethod = 'L') <> (InventoryAccount IS "
         u"NOT NULL)"_s},
        {u"a bank's default account is one of its house bank accounts"_s,
         u"SELECT BankCode FROM ODSC WHERE DfltAcct IS NOT NULL AND NOT EXISTS "
         u"(SELECT 1 FROM DSC1 WHERE BankKey = ODSC.AbsEntry AND Account = "
         u"ODSC.DfltAcct AND AbsEntry = ODSC.DfltActKey)"_s},
        {u"a payment method's account is at its bank"_s,
         u"SELECT PayMethCod FROM OPYM WHERE NOT EXISTS (SELECT 1 FROM DSC1 WHERE "
         u"DSC1.BankCode = OPYM.DfltBank AND DSC1.Account = OPYM.DfltAcct)"_s},
        {u"default series belong to their document"_s,
         u"SELECT ObjectCode FROM ONNM WHERE DfltSeries IS NOT NULL AND NOT EXISTS "
         u"(SELECT 1 FROM NNM1 WHERE NNM1.Series = ONNM.DfltSeries AND "
         u"NNM1.ObjectCode = ONNM.ObjectCode)"_s},
        {u"users' series belong to their document"_s,
         u"SELECT ObjectCode FROM NNM2 WHERE NOT EXISTS (SELECT 1 FROM NNM1 WHERE "
         u"NNM1.Series = NNM2.Series AND NNM1.ObjectCode = NNM2.ObjectCode)"_s},
        {u"journal entries number within their series"_s,
         u"SELECT TransId FROM OJDT WHERE Series NOT IN (SELECT Series FROM NNM1 "
         u"WHERE ObjectCode = '30') OR Number >= (SELECT NextNumber FROM NNM1 "
         u"WHERE Series = OJDT.Series)"_s},
        {u"series use a known period indicator"_s,
         u"SELECT Series FROM NNM1 WHERE Indicator NOT IN (SELECT Indicator FROM OPID)"_s},
        {u"alert recipients, menus and preferences belong to users"_s,
         u"SELECT UserSign FROM ALT1 WHERE UserSign NOT IN (SELECT USERID FROM OUSR) "
         u"UNION SELECT USERID FROM CUMI WHERE USERID NOT IN (SELECT USERID FROM "
         u"OUSR) UNION SELECT UserSign FROM CPRF WHERE UserSign NOT IN (SELECT "
         u"INTERNAL_K FROM OUSR) UNION SELECT UserSign FROM OPRM WHERE UserSign NOT "
         u"IN (SELECT INTERNAL_K FROM OUSR WHERE SUPERUSER = 'N')"_s},
        {u"user alerts run saved queries"_s,
         u"SELECT Code FROM OALT WHERE Type = 'U' AND QueryId NOT IN (SELECT "
         u"IntrnalKey FROM OUQR WHERE QCategory <> -2)"_s},
        {u"default layouts name layouts of their type"_s,
         u"SELECT DoumntDode FROM RDFL WHERE NOT EXISTS (SELECT 1 FROM RDOC WHERE "
         u"DocCode = DfltReport AND TypeCode = DoumntDode) UNION SELECT TypeCode FROM "
         u"RTYP WHERE DfltReport NOT IN (SELECT DocCode FROM RDOC)"_s},
        {u"defaults groups are users'"_s,
         u"SELECT USER_CODE FROM OUSR WHERE DfltsGroup IS NOT NULL AND DfltsGroup NOT "
         u"IN (SELECT Code FROM OUDG)"_s},
        {u"valid values belong to a user field"_s,
         u"SELECT FldValue FROM UFD1 WHERE NOT EXISTS (SELECT 1 FROM CUFD WHERE "
         u"CUFD.TableID = UFD1.TableID AND CUFD.FieldID = UFD1.FieldID)"_s},
        {u"user objects sit on tables of their kind"_s,
         u"SELECT Code FROM OUDO WHERE TableName NOT IN (SELECT TableName FROM OUTB "
         u"WHERE ObjectType = OUDO.TYPE) UNION SELECT Code FROM UDO1 WHERE TableName "
         u"NOT IN (SELECT TableName FROM OUTB WHERE ObjectType IN (2, 4))"_s},
        {u"report lines sit in a category of their template"_s,
         u"SELECT AcctCode FROM FRC1 WHERE NOT EXISTS (SELECT 1 FROM OFRC WHERE "
         u"OFRC.CatId = FRC1.CatId AND OFRC.TemplateId = FRC1.TemplateId)"_s},
        {u"distribution rules spread their total"_s,
         u"SELECT OcrCode FROM OOCR WHERE OcrTotal <> (SELECT SUM(PrcAmount) FROM "
         u"OCR1 WHERE OCR1.OcrCode = OOCR.OcrCode)"_s},
        {u"account titles sit one level above their accounts"_s,
         u"SELECT a.AcctCode FROM OACT a JOIN OACT f ON f.AcctCode = a.FatherNum "
         u"WHERE f.Postable <> 'N' OR f.Levels <> a.Levels - 1"_s}};
    for (const auto& [what, sql] : checks)
        EXPECT_EQ(rowTexts(*db, sql), QStringList()) << what.toStdString();
    // The company's own settings point at records of the demo.
    const QList<std::pair<QString, QString>> settings{
        {u"DefaultCustomerPaymentTerms"_s, u"SELECT GroupNum FROM OCTG"_s},
        {u"DefaultVendorPaymentTerms"_s, u"SELECT GroupNum FROM OCTG"_s},
        {u"DefaultDunningTerm"_s, u"SELECT Code FROM ODUT"_s},
        {u"DefaultWarehouse"_s, u"SELECT WhsCode FROM OWHS"_s},
        {u"DefaultItemGroup"_s, u"SELECT ItmsGrpCod FROM OITB"_s},
        {u"DefaultInventoryCycle"_s, u"SELECT Code FROM OCYC"_s},
        {u"LocalCurrency"_s, u"SELECT CurrCode FROM OCRN"_s},
        {u"TaxDefinitionforVatitem"_s, u"SELECT Code FROM OVTG"_s},
        {u"TaxGroupforPurchaseItem"_s, u"SELECT Code FROM OVTG"_s},
        {u"DefaultTaxCode"_s, u"SELECT Code FROM OSTC"_s},
        {u"DefaultBankNo"_s, u"SELECT BankCode FROM ODSC"_s},
        {u"HolidaysName"_s, u"SELECT HldCode FROM OHLD"_s},
        {u"State"_s, u"SELECT Code FROM OCST WHERE Country = 'US'"_s},
        {u"CurrPeriod"_s, u"SELECT Code FROM OFPR"_s}};
    for (const auto& [column, targets] : settings)
        EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM OADM WHERE \"%1\" IN (%2)"_s.arg(column, targets))
                      .toInt(),
                  1)
            << column.toStdString();
}

TEST_F(DemoCompany, LargeAddsLeanItemsAndPartners) {
    Demo::setLargeSizesForTesting(700, 450);
    make(u"large"_s, 2);
    Demo::setLargeSizesForTesting(0, 0);
    EXPECT_EQ(count(u"OITM"_s), 300 + 700);
    EXPECT_EQ(count(u"OCRD"_s), 200 + 450);
    EXPECT_EQ(count(u"ITM1"_s), 1000 * count(u"OPLN"_s));
    // One address each for the added partners, none more.
    EXPECT_EQ(rowsWhere("CRD1", "CardCode IN (SELECT CardCode FROM OCRD WHERE CardName IS NOT NULL "
                                "AND CntctPrsn IS NULL)"),
              450);
    EXPECT_EQ(summary.filledTables, summary.tables);
    expectReferencesHold();
}
