// Items with their prices per price list and stock per warehouse.

#include "host/admin/LLDemoWriter.h"

#include <cmath>

namespace LLObjectsCOM::demo {

namespace {

struct GroupGoods {
    QStringList nouns;
    double low, high; // base price range
};

// What each item group sells, in the order of DemoKeys::itemGroups.
const QList<GroupGoods>& goods() {
    static const QList<GroupGoods> list{
        {{QStringLiteral("Widget"), QStringLiteral("Gadget"), QStringLiteral("Module")}, 5, 80},
        {{QStringLiteral("Laptop"), QStringLiteral("Monitor"), QStringLiteral("Router"),
          QStringLiteral("Printer"), QStringLiteral("Keyboard")},
         20,
         1800},
        {{QStringLiteral("Office Suite License"), QStringLiteral("Backup Software"),
          QStringLiteral("Antivirus License")},
         30,
         600},
        {{QStringLiteral("Paper Ream"), QStringLiteral("Stapler"), QStringLiteral("Binder"),
          QStringLiteral("Pen Set")},
         1,
         40},
        {{QStringLiteral("Desk"), QStringLiteral("Office Chair"), QStringLiteral("Cabinet"),
          QStringLiteral("Shelf")},
         60,
         900},
        {{QStringLiteral("Installation Hour"), QStringLiteral("Support Package"),
          QStringLiteral("Training Day")},
         50,
         1200},
        {{QStringLiteral("Fan Assembly"), QStringLiteral("Power Supply"),
          QStringLiteral("Hinge Kit"), QStringLiteral("Gasket")},
         2,
         150},
        {{QStringLiteral("Toner Cartridge"), QStringLiteral("Cleaning Kit"),
          QStringLiteral("Label Roll")},
         3,
         90},
        {{QStringLiteral("Drill"), QStringLiteral("Wrench Set"), QStringLiteral("Screwdriver"),
          QStringLiteral("Tape Measure")},
         8,
         350}};
    return list;
}

const QStringList& adjectives() {
    static const QStringList words{QStringLiteral("Compact"),    QStringLiteral("Deluxe"),
                                   QStringLiteral("Heavy-Duty"), QStringLiteral("Eco"),
                                   QStringLiteral("Pro"),        QStringLiteral("Basic"),
                                   QStringLiteral("Ultra"),      QStringLiteral("Classic")};
    return words;
}

QString barcode(DemoWriter& w) {
    QString digits = QStringLiteral("0");
    for (int d = 0; d < 12; ++d)
        digits += QChar(u'0' + w.number(0, 9));
    return digits;
}

} // namespace

void writeItems(DemoWriter& w, int first, int count, bool full) {
    DemoKeys& k = w.keys();
    const QStringList listCurrency{k.currency, k.currency, k.currency, k.currency,
                                   k.foreignCurrencies.value(0)};
    const double listFactor[] = {1.0, 0.6, 0.8, 1.25, 0.9};
    for (int i = first; i < first + count; ++i) {
        const int g = i % int(k.itemGroups.size());
        const int groupCode = k.itemGroups[g];
        const GroupGoods& kind = goods()[g % goods().size()];
        const bool service = groupCode == 105 || groupCode == 102;
        const QString code = QStringLiteral("A%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("%1 %2 %3-%4")
                                 .arg(w.pick(adjectives()), w.pick(kind.nouns))
                                 .arg(QChar(u'A' + i % 26))
                                 .arg(i);
        const double price = w.amount(kind.low, kind.high);
        const int stockWarehouses = service ? 0 : full ? w.number(1, 3) : 1;
        // The default warehouse is one that holds the item.
        const QString warehouse =
            k.warehouses[stockWarehouses > 1 ? w.number(0, stockWarehouses - 1) : 0];
        QList<double> stock;
        double onHand = 0;
        for (int s = 0; s < stockWarehouses; ++s) {
            stock << w.number(0, 500);
            onHand += stock.last();
        }
        const char gl = "CCCCWWL"[w.number(0, 6)];
        QVariantMap row{
            {QStringLiteral("ItemCode"), code},
            {QStringLiteral("ItemName"), name},
            {QStringLiteral("ItemType"),
             groupCode == 105 ? QStringLiteral("L") : QStringLiteral("I")},
            {QStringLiteral("ItmsGrpCod"), groupCode},
            {QStringLiteral("FirmCode"), w.chance(70) ? w.pick(k.manufacturers) : -1},
            {QStringLiteral("CodeBars"), barcode(w)},
            {QStringLiteral("InvntItem"), service ? QStringLiteral("N") : QStringLiteral("Y")},
            {QStringLiteral("VatGroupSa"), w.pick(k.vatOutput)},
            {QStringLiteral("VatGroupPu"), w.pick(k.vatInput)},
            {QStringLiteral("DfltWH"), warehouse},
            {QStringLiteral("GLMethod"), QString(QLatin1Char(gl))},
            {QStringLiteral("OnHand"), onHand},
            {QStringLiteral("AvgPrice"), std::round(price * 60) / 100},
            {QStringLiteral("LastPurPrc"), std::round(price * 58) / 100},
            {QStringLiteral("LastPurCur"), k.currency},
            {QStringLiteral("CreateDate"), DemoWriter::dateText(w.anyDay())}};
        if (gl == 'L') {
            row.insert(QStringLiteral("InventoryAccount"), w.account(QStringLiteral("113100")));
            row.insert(QStringLiteral("CostOfGoodsSold"), w.account(QStringLiteral("511100")));
            row.insert(QStringLiteral("RevenuesAccount"), w.account(QStringLiteral("411100")));
            row.insert(QStringLiteral("ExpensesAccount"), w.account(QStringLiteral("512100")));
        }
        if (full) {
            row.insert(QStringLiteral("FrgnName"), name.toUpper());
            row.insert(QStringLiteral("CstGrpCode"), w.chance(40) ? w.pick(k.customsGroups) : -1);
            row.insert(QStringLiteral("ShipType"), w.pick(k.shippingTypes));
            row.insert(QStringLiteral("CommisGrp"), w.pick(k.commissionGroups));
            row.insert(QStringLiteral("CycleCode"), w.pick(k.cycles));
            row.insert(QStringLiteral("ManSerNum"), groupCode == 101 && w.chance(50)
                                                        ? QStringLiteral("Y")
                                                        : QStringLiteral("N"));
            row.insert(QStringLiteral("ManBtchNum"),
                       groupCode == 107 ? QStringLiteral("Y") : QStringLiteral("N"));
            row.insert(QStringLiteral("BuyUnitMsr"), QStringLiteral("Box"));
            row.insert(QStringLiteral("NumInBuy"), QList<int>{1, 6, 10, 12}[w.number(0, 3)]);
            row.insert(QStringLiteral("SalUnitMsr"), QStringLiteral("Each"));
            row.insert(QStringLiteral("InvntryUom"), QStringLiteral("Each"));
            row.insert(QStringLiteral("LengthUnit"), w.pick(k.lengthUnits));
            row.insert(QStringLiteral("Length"), w.amount(1, 200, 1));
            row.insert(QStringLiteral("Width"), w.amount(1, 100, 1));
            row.insert(QStringLiteral("Height"), w.amount(1, 100, 1));
            row.insert(QStringLiteral("WeightUnit"), w.pick(k.weightUnits));
            row.insert(QStringLiteral("Weight"), w.amount(0.1, 40, 2));
            row.insert(QStringLiteral("MinLevel"), service ? 0 : w.number(0, 20));
            row.insert(QStringLiteral("MaxLevel"), service ? 0 : w.number(200, 1000));
            row.insert(QStringLiteral("EvalSystem"), QString(QLatin1Char("AAASF"[w.number(0, 4)])));
            QString flags(64, u'N');
            flags[w.number(0, 11)] = u'Y';
            row.insert(QStringLiteral("Properties"), flags);
            row.insert(QStringLiteral("UserText"), QStringLiteral("Sold as %1.").arg(name));
        }
        w.put(QStringLiteral("OITM"), row);
        for (int l = 0; l < k.priceLists.size() && l < 5; ++l)
            w.put(
                QStringLiteral("ITM1"),
                {{QStringLiteral("ItemCode"), code},
                 {QStringLiteral("PriceList"), k.priceLists[l]},
                 {QStringLiteral("Price"), std::round(price * listFactor[l] * 100) / 100},
                 {QStringLiteral("Currency"), listCurrency[l]},
                 {QStringLiteral("Factor"), listFactor[l]},
                 {QStringLiteral("Ovrwritten"), l < 2 ? QStringLiteral("Y") : QStringLiteral("N")},
                 {QStringLiteral("LineNum"), l}});
        for (int s = 0; s < stockWarehouses; ++s)
            w.put(QStringLiteral("OITW"),
                  {{QStringLiteral("ItemCode"), code},
                   {QStringLiteral("WhsCode"), k.warehouses[s]},
                   {QStringLiteral("OnHand"), stock[s]},
                   {QStringLiteral("MinStock"), 10},
                   {QStringLiteral("MaxStock"), 800},
                   {QStringLiteral("AvgPrice"), std::round(price * 60) / 100}});
        if (full)
            k.items << code;
    }
}

} // namespace LLObjectsCOM::demo
