// Inventory setup: locations, warehouses, units, customs groups,
// manufacturers, shipping and package types, cycles, landed costs, item
// groups and properties, price lists.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

// The 36 account fields that item groups and warehouses share.
QVariantMap inventoryAccounts(DemoWriter& w) {
    static const std::pair<const char*, const char*> fields[] = {
        {"InventoryAccount", "113100"},
        {"CostOfGoodsSold", "511100"},
        {"AllocationAcc", "113400"},
        {"VarianceAcc", "511300"},
        {"PriceDifferenceAccount", "511200"},
        {"NegativeInventoryAdjAcc", "511400"},
        {"InventoryOffsetDecrease", "513400"},
        {"InventoryOffsetIncrease", "513300"},
        {"SalesReturns", "411300"},
        {"RevenuesAccount", "411100"},
        {"RevenuesAccountForeign", "412100"},
        {"SalesRevenueEU", "412200"},
        {"ExemptRevenuesAccount", "411400"},
        {"ExpensesAccount", "512100"},
        {"ExpensesAccountForeign", "512200"},
        {"EUExpenseAccount", "512300"},
        {"PurchaseAccount", "512100"},
        {"PurchaseReturningAccount", "512400"},
        {"PurchaseOffsetAccount", "512500"},
        {"ExchangeRateDifferencesAcct", "_SYS00000000002"},
        {"GoodsClearingAcc", "113500"},
        {"ShippedGoodsAccount", "113200"},
        {"IncreaseGLAccount", "513100"},
        {"DecreaseGLAccount", "513200"},
        {"WIPMaterialAccount", "113300"},
        {"WIPMaterialVarianceAccount", "511700"},
        {"ExpenseClearingAccount", "513500"},
        {"StockInTransitAccount", "113200"},
        {"TransferAccount", "513600"},
        {"PurchaseCreditAcc", "512600"},
        {"SalesCreditAcc", "412300"},
        {"SalesCreditForeignAcc", "412400"},
        {"SalesCreditEUAcc", "412500"},
        {"ForeignPurchaseCreditAcc", "512700"},
        {"EUPurchaseCreditAcc", "512800"},
        {"StockRevaluationAccount", "511500"}};
    QVariantMap map;
    for (const auto& [column, code] : fields)
        map.insert(QString::fromLatin1(column), w.account(QString::fromLatin1(code)));
    return map;
}

// Rows of (code, name) into a table keyed by a number from 1.
QList<int> numbered(DemoWriter& w, const QString& table, const QString& key,
                    const QString& nameColumn, const QStringList& names,
                    const QVariantMap& extra = QVariantMap()) {
    QList<int> codes;
    for (int i = 0; i < names.size(); ++i) {
        QVariantMap row = extra;
        row.insert(key, i + 1);
        row.insert(nameColumn, names[i]);
        w.put(table, row);
        codes << i + 1;
    }
    return codes;
}

void writeWarehouses(DemoWriter& w) {
    DemoKeys& k = w.keys();
    k.locations =
        numbered(w, QStringLiteral("OLCT"), QStringLiteral("Code"), QStringLiteral("Location"),
                 {QStringLiteral("Head office"), QStringLiteral("East coast"),
                  QStringLiteral("West coast"), QStringLiteral("Midwest hub")});
    const QStringList names{QStringLiteral("Main Warehouse"), QStringLiteral("East Distribution"),
                            QStringLiteral("West Distribution"), QStringLiteral("Returns"),
                            QStringLiteral("Drop Ship")};
    for (int i = 0; i < names.size(); ++i) {
        const QString code = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        QVariantMap row = inventoryAccounts(w);
        row.insert(QStringLiteral("WhsCode"), code);
        row.insert(QStringLiteral("WhsName"), names[i]);
        row.insert(QStringLiteral("Location"), k.locations[i % k.locations.size()]);
        row.insert(QStringLiteral("DropShip"), i == 4 ? QStringLiteral("Y") : QStringLiteral("N"));
        row.insert(QStringLiteral("Nettable"), i == 3 ? QStringLiteral("N") : QStringLiteral("Y"));
        row.insert(QStringLiteral("Street"), w.streetName());
        row.insert(QStringLiteral("StreetNo"), QString::number(w.number(1, 999)));
        row.insert(QStringLiteral("City"), w.cityName());
        row.insert(QStringLiteral("ZipCode"), w.zipCode());
        row.insert(QStringLiteral("State"), w.pick(k.homeStates));
        row.insert(QStringLiteral("Country"), k.country);
        row.insert(QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(1, 2)));
        w.put(QStringLiteral("OWHS"), row);
        k.warehouses << code;
    }
}

void writeUnitsAndLookups(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::tuple<QString, QString, double>> lengths{
        {QStringLiteral("mm"), QStringLiteral("Millimeter"), 1},
        {QStringLiteral("cm"), QStringLiteral("Centimeter"), 10},
        {QStringLiteral("m"), QStringLiteral("Meter"), 1000},
        {QStringLiteral("in"), QStringLiteral("Inch"), 25.4},
        {QStringLiteral("ft"), QStringLiteral("Foot"), 304.8}};
    for (const auto& [shown, name, mm] : lengths) {
        const int code = int(k.lengthUnits.size()) + 1;
        w.put(QStringLiteral("OLGT"), {{QStringLiteral("UnitCode"), code},
                                       {QStringLiteral("UnitDisply"), shown},
                                       {QStringLiteral("UnitName"), name},
                                       {QStringLiteral("SizeInMM"), mm}});
        k.lengthUnits << code;
    }
    const QList<std::tuple<QString, QString, double>> weights{
        {QStringLiteral("g"), QStringLiteral("Gram"), 1000},
        {QStringLiteral("kg"), QStringLiteral("Kilogram"), 1000000},
        {QStringLiteral("lb"), QStringLiteral("Pound"), 453592.37},
        {QStringLiteral("oz"), QStringLiteral("Ounce"), 28349.523}};
    for (const auto& [shown, name, mg] : weights) {
        const int code = int(k.weightUnits.size()) + 1;
        w.put(QStringLiteral("OWGT"), {{QStringLiteral("UnitCode"), code},
                                       {QStringLiteral("UnitDisply"), shown},
                                       {QStringLiteral("UnitName"), name},
                                       {QStringLiteral("WightInMG"), mg}});
        k.weightUnits << code;
    }
    k.customsGroups = numbered(
        w, QStringLiteral("OARG"), QStringLiteral("CstGrpCode"), QStringLiteral("CstGrpName"),
        {QStringLiteral("Electronics"), QStringLiteral("Textiles"), QStringLiteral("Machinery"),
         QStringLiteral("Food products")},
        {{QStringLiteral("Custom"), 2.5}, {QStringLiteral("OtherTax"), 0.5}});
    k.manufacturers =
        numbered(w, QStringLiteral("OMRC"), QStringLiteral("FirmCode"), QStringLiteral("FirmName"),
                 {QStringLiteral("Acorn Devices"), QStringLiteral("Brightway Manufacturing"),
                  QStringLiteral("Columbia Tooling"), QStringLiteral("Delta Office Goods"),
                  QStringLiteral("Evergreen Furniture"), QStringLiteral("Fulcrum Parts"),
                  QStringLiteral("Gemini Software"), QStringLiteral("Hillcrest Paper Mills")});
    k.shippingTypes = numbered(
        w, QStringLiteral("OSHP"), QStringLiteral("TrnspCode"), QStringLiteral("TrnspName"),
        {QStringLiteral("Ground"), QStringLiteral("Express"), QStringLiteral("Overnight"),
         QStringLiteral("Freight carrier"), QStringLiteral("Customer pickup")},
        {{QStringLiteral("WebSite"), QStringLiteral("https://track.example.com")}});
    const QList<std::tuple<QString, QString, int>> cycles{
        {QStringLiteral("Weekly, A items"), QStringLiteral("W"), 1},
        {QStringLiteral("Monthly, B items"), QStringLiteral("M"), 1},
        {QStringLiteral("Quarterly, C items"), QStringLiteral("M"), 3}};
    for (const auto& [name, frequency, interval] : cycles) {
        const int code = int(k.cycles.size()) + 1;
        w.put(QStringLiteral("OCYC"),
              {{QStringLiteral("Code"), code},
               {QStringLiteral("Name"), name},
               {QStringLiteral("Frequency"), frequency},
               {QStringLiteral("Interval"), interval},
               {QStringLiteral("Day"), code},
               {QStringLiteral("NextDate"), DemoWriter::dateText(w.day(2, code * 3))},
               {QStringLiteral("Hour"), 800 + 100 * code},
               {QStringLiteral("Remind"), QStringLiteral("Y")}});
        k.cycles << code;
    }
    const QList<std::tuple<QString, double, double, double, double>> packages{
        {QStringLiteral("Envelope"), 32, 23, 1, 0.1},
        {QStringLiteral("Small box"), 30, 20, 15, 0.3},
        {QStringLiteral("Medium box"), 50, 40, 30, 0.8},
        {QStringLiteral("Large box"), 80, 60, 50, 1.5},
        {QStringLiteral("Pallet"), 120, 80, 15, 25}};
    int package = 0;
    for (const auto& [name, l, wd, h, kg] : packages)
        w.put(QStringLiteral("OPKG"), {{QStringLiteral("PkgCode"), ++package},
                                       {QStringLiteral("PkgType"), name},
                                       {QStringLiteral("Length1"), l},
                                       {QStringLiteral("Width1"), wd},
                                       {QStringLiteral("Height1"), h},
                                       {QStringLiteral("Volume"), l * wd * h},
                                       {QStringLiteral("Weight1"), kg}});
    const QList<std::tuple<QString, QString, QString>> costs{
        {QStringLiteral("FREIGHT"), QStringLiteral("Inbound freight"), QStringLiteral("W")},
        {QStringLiteral("CUSTOMS"), QStringLiteral("Customs duties"), QStringLiteral("C")},
        {QStringLiteral("INSURANCE"), QStringLiteral("Transport insurance"), QStringLiteral("C")},
        {QStringLiteral("HANDLING"), QStringLiteral("Handling fees"), QStringLiteral("Q")}};
    for (const auto& [code, name, type] : costs)
        w.put(QStringLiteral("OALC"),
              {{QStringLiteral("AlcCode"), code},
               {QStringLiteral("AlcName"), name},
               {QStringLiteral("OhType"), type},
               {QStringLiteral("AllocAcct"), w.account(QStringLiteral("512900"))}});
}

void writeItemGroups(DemoWriter& w) {
    DemoKeys& k = w.keys();
    // The new company's group 100 gets its accounts too.
    QStringList sets;
    QVariantList values;
    const QVariantMap accounts = inventoryAccounts(w);
    for (auto it = accounts.begin(); it != accounts.end(); ++it) {
        sets << QStringLiteral("\"%1\" = ?").arg(it.key());
        values << it.value();
    }
    w.exec(QStringLiteral("UPDATE OITB SET %1 WHERE ItmsGrpCod = 100").arg(sets.join(u',')),
           values);
    k.itemGroups << 100;
    const QStringList names{QStringLiteral("Hardware"),        QStringLiteral("Software"),
                            QStringLiteral("Office Supplies"), QStringLiteral("Furniture"),
                            QStringLiteral("Services"),        QStringLiteral("Spare Parts"),
                            QStringLiteral("Consumables"),     QStringLiteral("Tools")};
    for (int i = 0; i < names.size(); ++i) {
        const int code = 101 + i;
        QVariantMap row = accounts;
        row.insert(QStringLiteral("ItmsGrpCod"), code);
        row.insert(QStringLiteral("ItmsGrpNam"), names[i]);
        row.insert(QStringLiteral("CycleCode"), k.cycles[i % k.cycles.size()]);
        row.insert(QStringLiteral("PlaningSys"),
                   i % 3 == 0 ? QStringLiteral("M") : QStringLiteral("N"));
        row.insert(QStringLiteral("PrcrmntMtd"),
                   i == 3 ? QStringLiteral("M") : QStringLiteral("B"));
        row.insert(QStringLiteral("OrdrIntrvl"), 7 * (1 + i % 4));
        row.insert(QStringLiteral("MinOrdrQty"), 5 * (1 + i % 3));
        row.insert(QStringLiteral("LeadTime"), w.number(2, 21));
        row.insert(QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(1, 3)));
        w.put(QStringLiteral("OITB"), row);
        k.itemGroups << code;
        // The history keeps the name the group had before its rename.
        for (int log = 1; log <= 1 + i % 2; ++log)
            w.put(QStringLiteral("AITB"),
                  {{QStringLiteral("ItmsGrpCod"), code},
                   {QStringLiteral("LogInstanc"), log},
                   {QStringLiteral("ItmsGrpNam"), log == 1 ? names[i].left(12) : names[i]},
                   {QStringLiteral("CycleCode"), k.cycles[i % k.cycles.size()]},
                   {QStringLiteral("UserSign"), 1},
                   {QStringLiteral("UpdateDate"), DemoWriter::dateText(w.day(1, 3 + log))}});
    }
    const QStringList properties{
        QStringLiteral("Fragile"),     QStringLiteral("Hazardous"), QStringLiteral("Refrigerated"),
        QStringLiteral("Oversized"),   QStringLiteral("Imported"),  QStringLiteral("Eco friendly"),
        QStringLiteral("Best seller"), QStringLiteral("Clearance"), QStringLiteral("Serialized"),
        QStringLiteral("Seasonal"),    QStringLiteral("Bundled"),   QStringLiteral("Discontinued")};
    // The host keeps all 64 property slots; unnamed ones carry a number.
    for (int p = 1; p <= 64; ++p) {
        w.put(
            QStringLiteral("OITG"),
            {{QStringLiteral("ItmsTypCod"), p},
             {QStringLiteral("ItmsGrpNam"),
              p <= properties.size() ? properties[p - 1] : QStringLiteral("Property %1").arg(p)}});
        k.itemProperties << p;
    }
}

void writePriceLists(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::tuple<QString, int, double, QString>> lists{
        {QStringLiteral("Base Price"), 1, 1.0, k.currency},
        {QStringLiteral("Purchase Price"), 2, 1.0, k.currency},
        {QStringLiteral("Wholesale"), 1, 0.8, k.currency},
        {QStringLiteral("Retail"), 1, 1.25, k.currency},
        {QStringLiteral("Export"), 1, 0.95, k.foreignCurrencies.value(0)}};
    for (int i = 0; i < lists.size(); ++i) {
        const auto& [name, base, factor, currency] = lists[i];
        w.put(QStringLiteral("OPLN"),
              {{QStringLiteral("ListNum"), i + 1},
               {QStringLiteral("ListName"), name},
               {QStringLiteral("BASE_NUM"), base},
               {QStringLiteral("Factor"), factor},
               {QStringLiteral("RoundSys"), i >= 2 ? 1 : 0},
               {QStringLiteral("PrimCurr"), currency},
               {QStringLiteral("IsGrossPrc"), i == 3 ? QStringLiteral("Y") : QStringLiteral("N")},
               {QStringLiteral("ValidFrom"), DemoWriter::dateText(w.day(1, 1))}});
        k.priceLists << i + 1;
    }
}

} // namespace

void writeLogisticsSetup(DemoWriter& w) {
    writeWarehouses(w);
    writeUnitsAndLookups(w);
    writeItemGroups(w);
    writePriceLists(w);
}

} // namespace LLObjectsCOM::demo
