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

namespace {

// The entries of one iso-codes file, as the generator reads them.
QJsonArray isoEntries(const QString& standard) {
    QFile file(Demo::isoCodesFolder() + QStringLiteral("/iso_%1.json").arg(standard));
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
              const QString& database = QStringLiteral("DEMO"), int type = 6) {
        if (!server)
            server = makeServer(type, QStringLiteral("srv"));
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
        return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                          .arg(QLatin1String(table), QString::fromUtf8(condition)))
            .toInt();
    }
    qint64 count(const QString& table) {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)).toLongLong();
    }
    // Every row of a table in key order, one text line each; columns in
    // skip are left out (password salts).
    QStringList dump(Database& from, const QString& table, const QStringList& skip = {}) {
        QSqlQuery q(from.connection());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1, 2").arg(table)));
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
                QStringLiteral("\"%1\" IS NOT NULL AND CAST(\"%1\" AS TEXT) <> ''").arg(ref.column);
            if (scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2").arg(table, filled))
                    .toInt() > 0)
                ++used;
            const QVariant missing = scalar(
                QStringLiteral("SELECT MIN(CAST(\"%1\" AS TEXT)) FROM \"%2\" WHERE %3 AND "
                               "CAST(\"%1\" AS TEXT) NOT IN (SELECT CAST(\"%4\" AS TEXT) FROM "
                               "\"%5\" WHERE \"%4\" IS NOT NULL)")
                    .arg(ref.column, table, filled, ref.targetColumn, ref.table));
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
    // Rows of a query that should find none, as text for the message.
    QString offending(const QString& sql) {
        QSqlQuery q(db->connection());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QStringList rows;
        while (q.next() && rows.size() < 5)
            rows << q.value(0).toString();
        return rows.join(QStringLiteral(", "));
    }

    std::optional<Server> server;
    std::unique_ptr<Database> db;
    Demo::Summary summary;
};

TEST_F(DemoCompany, StandardFillsEveryCopyableCategory) {
    make(QStringLiteral("standard"));
    // Every table holds rows, from customization to journal entries, the
    // user tables too.
    QSqlQuery q(db->connection());
    ASSERT_TRUE(q.exec(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")));
    int tables = 0, userTables = 0;
    while (q.next()) {
        const QString table = q.value(0).toString();
        ++tables;
        userTables += table.startsWith(u'@');
        EXPECT_GT(count(table), 0) << table.toStdString() << " is empty";
    }
    EXPECT_GE(tables, 60);
    EXPECT_GE(userTables, 4);

    EXPECT_EQ(count(QStringLiteral("OITM")), 300);
    EXPECT_EQ(count(QStringLiteral("OCRD")), 200);
    EXPECT_EQ(count(QStringLiteral("ITM1")), 300 * count(QStringLiteral("OPLN")));
    EXPECT_EQ(
        rowsWhere("OUSR", "SUPERUSER = 'N' AND Department IS NOT NULL AND Branch IS NOT NULL"), 5);
    EXPECT_EQ(count(QStringLiteral("OACP")), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(DISTINCT AbsEntry) FROM OFPR")).toInt(), 24);
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
    EXPECT_EQ(summary.tables, tables);
    EXPECT_GT(summary.rowsWritten, 5000);
}

TEST_F(DemoCompany, ReferenceDataComesFromIsoCodes) {
    make(QStringLiteral("standard"));
    const QJsonArray countries = isoEntries(QStringLiteral("3166-1"));
    ASSERT_FALSE(countries.isEmpty()) << "iso-codes is not installed";
    EXPECT_EQ(count(QStringLiteral("OCRY")), countries.size());
    EXPECT_EQ(count(QStringLiteral("OCRN")), isoEntries(QStringLiteral("4217")).size());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM OCRY WHERE Code = 'DE'")).toString(),
              QStringLiteral("Germany"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ReportCode FROM OCRY WHERE Code = 'FR'")).toString(),
              QStringLiteral("FRA"));
    int usStates = 0;
    for (const QJsonValue& v : isoEntries(QStringLiteral("3166-2")))
        if (v.toObject().value(QStringLiteral("code")).toString().startsWith(QLatin1String("US-")))
            ++usStates;
    EXPECT_EQ(rowsWhere("OCST", "Country = 'US'"), usStates);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM OCST WHERE Country = 'US' AND Code = 'CA'"))
                  .toString(),
              QStringLiteral("California"));
    EXPECT_EQ(rowsWhere("OCST", "Country NOT IN (SELECT Code FROM OCRY)"), 0);
}

TEST_F(DemoCompany, MissingIsoCodesNamesThePackageAndLeavesNoDatabase) {
    const Server s = makeServer(6, QStringLiteral("srv"));
    Demo::setIsoCodesFolderForTesting(dir.filePath(QStringLiteral("nowhere")));
    QString error;
    EXPECT_FALSE(Demo::create(s, QStringLiteral("DEMO"), QStringLiteral("standard"), 1, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("iso-codes"))) << error.toStdString();
    EXPECT_TRUE(s.databasePath(QStringLiteral("DEMO")).isEmpty());
    // The empty profile needs no reference data.
    EXPECT_TRUE(Demo::create(s, QStringLiteral("EMPTY"), QStringLiteral("empty"), 1, &error))
        << error.toStdString();
    EXPECT_FALSE(Demo::create(s, QStringLiteral("X"), QStringLiteral("huge"), 1, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("huge")));
    EXPECT_TRUE(s.databasePath(QStringLiteral("X")).isEmpty());
}

// Every value a record's reference names must exist where it points, as
// the host checks on Add and the copy relies on.
TEST_F(DemoCompany, ReferencesLandOnExistingRecords) {
    make(QStringLiteral("standard"));
    const auto [references, used] = expectReferencesHold();
    // Nearly every reference of the catalogue is exercised by the demo.
    EXPECT_GT(references, 250);
    EXPECT_GE(used * 10, references * 9) << used << " of " << references;
}

TEST_F(DemoCompany, JournalEntriesBalanceAndCountersMoveOn) {
    make(QStringLiteral("standard"));
    QSqlQuery q(db->connection());
    ASSERT_TRUE(q.exec(QStringLiteral(
        "SELECT OJDT.TransId, OJDT.LocTotal, SUM(JDT1.Debit), SUM(JDT1.Credit), COUNT(*) "
        "FROM OJDT JOIN JDT1 ON JDT1.TransId = OJDT.TransId GROUP BY OJDT.TransId")));
    int entries = 0;
    while (q.next()) {
        ++entries;
        const double debit = q.value(2).toDouble(), credit = q.value(3).toDouble();
        EXPECT_NEAR(debit, credit, 0.005) << "entry " << q.value(0).toInt();
        EXPECT_NEAR(debit, q.value(1).toDouble(), 0.005) << "entry " << q.value(0).toInt();
        EXPECT_GT(debit, 0);
        EXPECT_GE(q.value(4).toInt(), 2);
    }
    EXPECT_EQ(entries, count(QStringLiteral("OJDT")));
    for (const QString& type : {QStringLiteral("30"), QStringLiteral("-2"), QStringLiteral("58")})
        EXPECT_GT(
            scalar(QStringLiteral("SELECT COUNT(*) FROM OJDT WHERE TransType = ?"), {type}).toInt(),
            0)
            << type.toStdString();
    // Partner lines name the partner, not the account.
    EXPECT_GT(rowsWhere("JDT1", "ShortName IN (SELECT CardCode FROM OCRD)"), 0);
    // Keys the host hands out start past those the demo used.
    for (const ObjectDefinition& o : ObjectCatalog::standard().objects()) {
        if (!o.autoKey)
            continue;
        const QVariant next =
            scalar(QStringLiteral("SELECT AutoKey FROM ONNM WHERE ObjectCode = ?"),
                   {QString::number(o.number)});
        if (next.isNull())
            continue;
        EXPECT_GT(next.toInt(), scalar(QStringLiteral("SELECT IFNULL(MAX(\"%1\"), 0) FROM \"%2\"")
                                           .arg(o.keys.first().column, o.table))
                                    .toInt())
            << o.name.toStdString();
    }
}

TEST_F(DemoCompany, SameSeedGivesTheSameCompanyAnotherSeedAnother) {
    make(QStringLiteral("standard"), 7, QStringLiteral("FIRST"));
    std::unique_ptr<Database> first = std::move(db);
    make(QStringLiteral("standard"), 7, QStringLiteral("SECOND"));
    std::unique_ptr<Database> second = std::move(db);
    make(QStringLiteral("standard"), 8, QStringLiteral("OTHER"));
    for (const QString& table :
         words("OITM ITM1 OCRD CRD1 OCPR OACT JDT1 OSPP CUFD @EQUIPMENT OCST")) {
        const QStringList rows = dump(*first, table);
        EXPECT_FALSE(rows.isEmpty()) << table.toStdString();
        EXPECT_EQ(rows, dump(*second, table)) << table.toStdString();
    }
    // Users differ only in their password salts.
    const QStringList salt{QStringLiteral("PASSWORD")};
    EXPECT_EQ(dump(*first, QStringLiteral("OUSR"), salt),
              dump(*second, QStringLiteral("OUSR"), salt));
    EXPECT_NE(dump(*first, QStringLiteral("OITM")), dump(*db, QStringLiteral("OITM")));
    EXPECT_NE(dump(*first, QStringLiteral("OCRD")), dump(*db, QStringLiteral("OCRD")));
    // The reference data does not depend on the seed.
    EXPECT_EQ(dump(*first, QStringLiteral("OCRN")), dump(*db, QStringLiteral("OCRN")));
}

TEST_F(DemoCompany, EmptyIsAFreshCompany) {
    make(QStringLiteral("empty"), 3, QStringLiteral("EMPTY"));
    EXPECT_EQ(summary.rowsWritten, 0);
    EXPECT_LT(summary.filledTables, summary.tables / 2);
    createCompany(*server, QStringLiteral("FRESH"), Demo::defaultName(QStringLiteral("empty")));
    QString error;
    std::unique_ptr<Database> fresh =
        Database::open(*server, server->databasePath(QStringLiteral("FRESH")), &error);
    ASSERT_TRUE(fresh) << error.toStdString();
    const QStringList salt{QStringLiteral("PASSWORD")};
    int compared = 0;
    for (const Schema::Table& t : Schema::standard().tables()) {
        EXPECT_EQ(dump(*db, t.name, salt), dump(*fresh, t.name, salt)) << t.name.toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, int(Schema::standard().tables().size()));
    EXPECT_EQ(count(QStringLiteral("OITM")), 0);
}

TEST_F(DemoCompany, HostAcceptsTheDemoOnCaseSensitiveServers) {
    make(QStringLiteral("standard"), 5, QStringLiteral("DEMO"), 2);
    db.reset();
    Company company;
    connect(company, *server, QStringLiteral("DEMO"));
    // The host's own business objects read the demo records and add new
    // ones next to them: references resolve, counters are past the keys.
    std::unique_ptr<HostObject> item = company.GetBusinessObject(4);
    auto* items = static_cast<BusinessObject*>(item.get());
    ASSERT_TRUE(items->GetByKey({QStringLiteral("A00001")}));
    const QString xml = items->GetAsXML();
    EXPECT_TRUE(xml.contains(QStringLiteral("<ItemCode>A00001</ItemCode>")));
    const QString copy = QString(xml).replace(QStringLiteral("A00001"), QStringLiteral("COPY1"));
    EXPECT_EQ(company.GetBusinessObjectFromXML(copy, 0)->Add(), 0)
        << company.GetLastErrorDescription().toStdString();
    std::unique_ptr<HostObject> partner = company.GetBusinessObject(2);
    auto* partners = static_cast<BusinessObject*>(partner.get());
    ASSERT_TRUE(partners->GetByKey({QStringLiteral("C00001")}));
    // Contact and bank account numbers are unique across partners: the new
    // one takes the addresses only.
    const QString card = QString(partners->GetAsXML())
                             .replace(QStringLiteral("C00001"), QStringLiteral("CNEW1"))
                             .remove(QRegularExpression(QStringLiteral("<(OCPR|OCRB)>.*</\\1>")));
    EXPECT_TRUE(card.contains(QStringLiteral("<CRD1>")));
    EXPECT_EQ(company.GetBusinessObjectFromXML(card, 0)->Add(), 0)
        << company.GetLastErrorDescription().toStdString();
    const QString manufacturer = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>43</Object>"
        "</AdmInfo><OMRC><row><ManufacturerName>Newcomer</ManufacturerName></row></OMRC></BO>"
        "</BOM>");
    EXPECT_EQ(company.GetBusinessObjectFromXML(manufacturer, 0)->Add(), 0)
        << company.GetLastErrorDescription().toStdString();
    company.Disconnect();
}

TEST_F(DemoCompany, CliMakesADemoCompanyTheOtherCommandsSee) {
    const QString s = dir.filePath(QStringLiteral("S"));
    ASSERT_EQ(admin(words("server init") << s).status, 0);
    CliResult r = admin(words("demo --db SHOW --profile standard --name")
                        << QStringLiteral("Showroom Inc.") << words("--seed 42 --server") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count(u'\n'), 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("tables filled"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("rows written"))) << r.out.toStdString();
    r = admin(words("company list --server") << s);
    EXPECT_TRUE(r.out.contains(QStringLiteral("SHOW")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Showroom Inc.")));
    r = admin(words("sql SHOW") << QStringLiteral("SELECT COUNT(*) FROM OCRY")
                                << QStringLiteral("--server") << s);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2].trimmed().toInt(), isoEntries(QStringLiteral("3166-1")).size());
}

TEST_F(DemoCompany, SummaryCountsEveryRowWritten) {
    make(QStringLiteral("empty"), 1, QStringLiteral("BLANK"));
    std::unique_ptr<Database> blank = std::move(db);
    make(QStringLiteral("standard"), 1, QStringLiteral("FULL"));
    const auto total = [](Database& from) {
        QSqlQuery tables(from.connection());
        EXPECT_TRUE(tables.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")));
        qint64 rows = 0;
        while (tables.next()) {
            QSqlQuery q(from.connection());
            EXPECT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"")
                                   .arg(tables.value(0).toString())) &&
                        q.next());
            rows += q.value(0).toLongLong();
        }
        return rows;
    };
    EXPECT_EQ(summary.rowsWritten, total(*db) - total(*blank));
}

// The determination of every period category and the accounts of item
// groups and warehouses point at postable accounts.
TEST_F(DemoCompany, AccountFieldsHoldPostableAccounts) {
    make(QStringLiteral("standard"));
    const QStringList skip{QStringLiteral("PeriodCat"), QStringLiteral("PeriodName"),
                           QStringLiteral("BeginningofFinancialYear"),
                           QStringLiteral("NumberOfPeriods"), QStringLiteral("SubPeriodType")};
    int fields = 0;
    for (const QString& table :
         {QStringLiteral("OACP"), QStringLiteral("OITB"), QStringLiteral("OWHS")}) {
        for (const ObjectDefinition& o : ObjectCatalog::standard().objects()) {
            if (o.table != table)
                continue;
            for (const ObjectDefinition::Reference& ref : o.references) {
                if (ref.table != u"OACT")
                    continue;
                ++fields;
                EXPECT_EQ(
                    scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE \"%2\" IS NULL OR "
                                          "\"%2\" NOT IN (SELECT AcctCode FROM OACT WHERE "
                                          "Postable = 'Y')")
                               .arg(table, ref.column))
                        .toInt(),
                    0)
                    << table.toStdString() << "." << ref.column.toStdString();
            }
        }
    }
    EXPECT_GT(fields, 100);
    // Both period categories, the earlier one locked.
    EXPECT_EQ(rowsWhere("OFPR", "Status = 'L'"), 12);
}

// What the host's services make of the demo's settings: menus form a
// tree, preferences and layouts read back and can be written again.
TEST_F(DemoCompany, HostServicesReadTheDemoSettings) {
    make(QStringLiteral("standard"));
    db.reset();
    Company company;
    connect(company, *server, QStringLiteral("DEMO"));
    std::unique_ptr<CompanyService> services = company.GetCompanyService();
    std::unique_ptr<HostObject> menuObject = services->GetBusinessService(MenuService::TypeNumber);
    auto* menus = static_cast<MenuService*>(menuObject.get());
    const QString menu = menus->GetUserMenu(3);
    EXPECT_EQ(menu.count(QStringLiteral("<MenuItem>")), 4) << menu.toStdString();
    EXPECT_NO_THROW(menus->SetUserMenu(4, menu));
    std::unique_ptr<HostObject> prefObject =
        services->GetBusinessService(FormPreferencesService::TypeNumber);
    auto* preferences = static_cast<FormPreferencesService*>(prefObject.get());
    const QString columns = preferences->GetColumnsPreferences(2, QStringLiteral("139"));
    EXPECT_EQ(columns.count(QStringLiteral("<ColumnPreference>")), 5) << columns.toStdString();
    EXPECT_NO_THROW(preferences->SetColumnsPreferences(6, QStringLiteral("139"), columns));
    std::unique_ptr<HostObject> layoutObject =
        services->GetBusinessService(LayoutService::TypeNumber);
    auto* layouts = static_cast<LayoutService*>(layoutObject.get());
    const QStringList codes = layouts->GetLayoutList();
    ASSERT_FALSE(codes.isEmpty());
    const QString layout = layouts->GetLayout(codes.first());
    EXPECT_TRUE(layout.contains(QStringLiteral("&amp;lt;&amp;gt;"))) << layout.toStdString();
    EXPECT_NO_THROW(layouts->AddLayout(layout));
    company.Disconnect();
}

// Links the catalogue does not declare but the records still rely on.
TEST_F(DemoCompany, RecordsAgreeWithOneAnother) {
    make(QStringLiteral("standard"));
    const QList<std::pair<QString, QString>> checks{
        {QStringLiteral("default bill-to is an address of the partner"),
         QStringLiteral("SELECT CardCode FROM OCRD WHERE BillToDef IS NOT NULL AND NOT EXISTS "
                        "(SELECT 1 FROM CRD1 WHERE CRD1.CardCode = OCRD.CardCode AND "
                        "CRD1.Address = OCRD.BillToDef AND CRD1.AddrType = 'B')")},
        {QStringLiteral("default ship-to is an address of the partner"),
         QStringLiteral("SELECT CardCode FROM OCRD WHERE ShipToDef IS NOT NULL AND NOT EXISTS "
                        "(SELECT 1 FROM CRD1 WHERE CRD1.CardCode = OCRD.CardCode AND "
                        "CRD1.Address = OCRD.ShipToDef AND CRD1.AddrType = 'S')")},
        {QStringLiteral("default contact is a contact of the partner"),
         QStringLiteral("SELECT CardCode FROM OCRD WHERE CntctPrsn IS NOT NULL AND NOT EXISTS "
                        "(SELECT 1 FROM OCPR WHERE OCPR.CardCode = OCRD.CardCode AND "
                        "OCPR.Name = OCRD.CntctPrsn)")},
        {QStringLiteral("partner currency is known"),
         QStringLiteral("SELECT CardCode FROM OCRD WHERE Currency <> '##' AND Currency NOT IN "
                        "(SELECT CurrCode FROM OCRN)")},
        {QStringLiteral("stock on the item is its stock in the warehouses"),
         QStringLiteral("SELECT ItemCode FROM OITM WHERE OnHand <> (SELECT IFNULL(SUM(OnHand), 0) "
                        "FROM OITW WHERE OITW.ItemCode = OITM.ItemCode)")},
        {QStringLiteral("an inventory item is kept in its default warehouse"),
         QStringLiteral("SELECT ItemCode FROM OITM WHERE InvntItem = 'Y' AND NOT EXISTS (SELECT 1 "
                        "FROM OITW WHERE OITW.ItemCode = OITM.ItemCode AND WhsCode = DfltWH)")},
        {QStringLiteral("a bill of materials' parent is marked as such"),
         QStringLiteral("SELECT TreeCode FROM OITT JOIN OITM ON ItemCode = TreeCode WHERE "
                        "OITM.TreeType <> OITT.TreeType")},
        {QStringLiteral("item-level accounts exactly where the item asks for them"),
         QStringLiteral("SELECT ItemCode FROM OITM WHERE (GLMethod = 'L') <> (InventoryAccount IS "
                        "NOT NULL)")},
        {QStringLiteral("a bank's default account is one of its house bank accounts"),
         QStringLiteral("SELECT BankCode FROM ODSC WHERE DfltAcct IS NOT NULL AND NOT EXISTS "
                        "(SELECT 1 FROM DSC1 WHERE BankKey = ODSC.AbsEntry AND Account = "
                        "ODSC.DfltAcct AND AbsEntry = ODSC.DfltActKey)")},
        {QStringLiteral("a payment method's account is at its bank"),
         QStringLiteral("SELECT PayMethCod FROM OPYM WHERE NOT EXISTS (SELECT 1 FROM DSC1 WHERE "
                        "DSC1.BankCode = OPYM.DfltBank AND DSC1.Account = OPYM.DfltAcct)")},
        {QStringLiteral("default series belong to their document"),
         QStringLiteral("SELECT ObjectCode FROM ONNM WHERE DfltSeries IS NOT NULL AND NOT EXISTS "
                        "(SELECT 1 FROM NNM1 WHERE NNM1.Series = ONNM.DfltSeries AND "
                        "NNM1.ObjectCode = ONNM.ObjectCode)")},
        {QStringLiteral("users' series belong to their document"),
         QStringLiteral("SELECT ObjectCode FROM NNM2 WHERE NOT EXISTS (SELECT 1 FROM NNM1 WHERE "
                        "NNM1.Series = NNM2.Series AND NNM1.ObjectCode = NNM2.ObjectCode)")},
        {QStringLiteral("journal entries number within their series"),
         QStringLiteral("SELECT TransId FROM OJDT WHERE Series NOT IN (SELECT Series FROM NNM1 "
                        "WHERE ObjectCode = '30') OR Number >= (SELECT NextNumber FROM NNM1 "
                        "WHERE Series = OJDT.Series)")},
        {QStringLiteral("series use a known period indicator"),
         QStringLiteral(
             "SELECT Series FROM NNM1 WHERE Indicator NOT IN (SELECT Indicator FROM OPID)")},
        {QStringLiteral("alert recipients, menus and preferences belong to users"),
         QStringLiteral("SELECT UserSign FROM ALT1 WHERE UserSign NOT IN (SELECT USERID FROM OUSR) "
                        "UNION SELECT USERID FROM CUMI WHERE USERID NOT IN (SELECT USERID FROM "
                        "OUSR) UNION SELECT UserSign FROM CPRF WHERE UserSign NOT IN (SELECT "
                        "INTERNAL_K FROM OUSR) UNION SELECT UserSign FROM OPRM WHERE UserSign NOT "
                        "IN (SELECT INTERNAL_K FROM OUSR WHERE SUPERUSER = 'N')")},
        {QStringLiteral("user alerts run saved queries"),
         QStringLiteral("SELECT Code FROM OALT WHERE Type = 'U' AND QueryId NOT IN (SELECT "
                        "IntrnalKey FROM OUQR WHERE QCategory <> -2)")},
        {QStringLiteral("default layouts name layouts of their type"),
         QStringLiteral(
             "SELECT DoumntDode FROM RDFL WHERE NOT EXISTS (SELECT 1 FROM RDOC WHERE "
             "DocCode = DfltReport AND TypeCode = DoumntDode) UNION SELECT TypeCode FROM "
             "RTYP WHERE DfltReport NOT IN (SELECT DocCode FROM RDOC)")},
        {QStringLiteral("defaults groups are users'"),
         QStringLiteral(
             "SELECT USER_CODE FROM OUSR WHERE DfltsGroup IS NOT NULL AND DfltsGroup NOT "
             "IN (SELECT Code FROM OUDG)")},
        {QStringLiteral("valid values belong to a user field"),
         QStringLiteral("SELECT FldValue FROM UFD1 WHERE NOT EXISTS (SELECT 1 FROM CUFD WHERE "
                        "CUFD.TableID = UFD1.TableID AND CUFD.FieldID = UFD1.FieldID)")},
        {QStringLiteral("user objects sit on tables of their kind"),
         QStringLiteral("SELECT Code FROM OUDO WHERE TableName NOT IN (SELECT TableName FROM OUTB "
                        "WHERE ObjectType = OUDO.TYPE) UNION SELECT Code FROM UDO1 WHERE TableName "
                        "NOT IN (SELECT TableName FROM OUTB WHERE ObjectType IN (2, 4))")},
        {QStringLiteral("report lines sit in a category of their template"),
         QStringLiteral("SELECT AcctCode FROM FRC1 WHERE NOT EXISTS (SELECT 1 FROM OFRC WHERE "
                        "OFRC.CatId = FRC1.CatId AND OFRC.TemplateId = FRC1.TemplateId)")},
        {QStringLiteral("distribution rules spread their total"),
         QStringLiteral("SELECT OcrCode FROM OOCR WHERE OcrTotal <> (SELECT SUM(PrcAmount) FROM "
                        "OCR1 WHERE OCR1.OcrCode = OOCR.OcrCode)")},
        {QStringLiteral("account titles sit one level above their accounts"),
         QStringLiteral("SELECT a.AcctCode FROM OACT a JOIN OACT f ON f.AcctCode = a.FatherNum "
                        "WHERE f.Postable <> 'N' OR f.Levels <> a.Levels - 1")}};
    for (const auto& [what, sql] : checks)
        EXPECT_TRUE(offending(sql).isEmpty())
            << what.toStdString() << ": " << offending(sql).toStdString();
    // The company's own settings point at records of the demo.
    const QList<std::pair<QString, QString>> settings{
        {QStringLiteral("DefaultCustomerPaymentTerms"),
         QStringLiteral("SELECT GroupNum FROM OCTG")},
        {QStringLiteral("DefaultVendorPaymentTerms"), QStringLiteral("SELECT GroupNum FROM OCTG")},
        {QStringLiteral("DefaultDunningTerm"), QStringLiteral("SELECT Code FROM ODUT")},
        {QStringLiteral("DefaultWarehouse"), QStringLiteral("SELECT WhsCode FROM OWHS")},
        {QStringLiteral("DefaultItemGroup"), QStringLiteral("SELECT ItmsGrpCod FROM OITB")},
        {QStringLiteral("DefaultInventoryCycle"), QStringLiteral("SELECT Code FROM OCYC")},
        {QStringLiteral("LocalCurrency"), QStringLiteral("SELECT CurrCode FROM OCRN")},
        {QStringLiteral("TaxDefinitionforVatitem"), QStringLiteral("SELECT Code FROM OVTG")},
        {QStringLiteral("TaxGroupforPurchaseItem"), QStringLiteral("SELECT Code FROM OVTG")},
        {QStringLiteral("DefaultTaxCode"), QStringLiteral("SELECT Code FROM OSTC")},
        {QStringLiteral("DefaultBankNo"), QStringLiteral("SELECT BankCode FROM ODSC")},
        {QStringLiteral("HolidaysName"), QStringLiteral("SELECT HldCode FROM OHLD")},
        {QStringLiteral("State"), QStringLiteral("SELECT Code FROM OCST WHERE Country = 'US'")},
        {QStringLiteral("CurrPeriod"), QStringLiteral("SELECT Code FROM OFPR")}};
    for (const auto& [column, targets] : settings)
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OADM WHERE \"%1\" IN (%2)")
                             .arg(column, targets))
                      .toInt(),
                  1)
            << column.toStdString();
}

TEST_F(DemoCompany, LargeAddsLeanItemsAndPartners) {
    Demo::setLargeSizesForTesting(700, 450);
    make(QStringLiteral("large"), 2);
    Demo::setLargeSizesForTesting(0, 0);
    EXPECT_EQ(count(QStringLiteral("OITM")), 300 + 700);
    EXPECT_EQ(count(QStringLiteral("OCRD")), 200 + 450);
    EXPECT_EQ(count(QStringLiteral("ITM1")), 1000 * count(QStringLiteral("OPLN")));
    // One address each for the added partners, none more.
    EXPECT_EQ(rowsWhere("CRD1", "CardCode IN (SELECT CardCode FROM OCRD WHERE CardName IS NOT NULL "
                                "AND CntctPrsn IS NULL)"),
              450);
    EXPECT_EQ(summary.filledTables, summary.tables);
    expectReferencesHold();
    EXPECT_EQ(Demo::LargeExtraItems, 100000);
    EXPECT_EQ(Demo::LargeExtraPartners, 20000);
}
