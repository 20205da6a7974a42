// What ties items and partners together: alternative items, catalog
// numbers, special prices and price hierarchies, discount groups, bills of
// materials, forecasts and sales partners.

#include "host/admin/LLDemoWriter.h"

#include <QSet>

namespace LLObjectsCOM::demo {

namespace {

void writeItemPairs(DemoWriter& w) {
    DemoKeys& k = w.keys();
    QSet<QString> seen;
    for (int n = 0; n < 40; ++n) {
        const QString original = w.pick(k.items);
        const QString alternative = w.pick(k.items);
        if (original == alternative || seen.contains(original + alternative))
            continue;
        seen.insert(original + alternative);
        w.put(QStringLiteral("OALI"), {{QStringLiteral("OrigItem"), original},
                                       {QStringLiteral("AltItem"), alternative},
                                       {QStringLiteral("Match"), w.number(60, 100)},
                                       {QStringLiteral("Remarks"), QStringLiteral("Same use")}});
    }
    for (int n = 0; n < 60; ++n) {
        const QString item = w.pick(k.items);
        const QString vendor = w.pick(k.vendors);
        if (seen.contains(item + vendor))
            continue;
        seen.insert(item + vendor);
        w.put(QStringLiteral("OSCN"),
              {{QStringLiteral("ItemCode"), item},
               {QStringLiteral("CardCode"), vendor},
               {QStringLiteral("Substitute"),
                QStringLiteral("%1-%2").arg(vendor.right(3)).arg(w.number(10000, 99999))},
               {QStringLiteral("Descr"), QStringLiteral("Vendor part number")}});
    }
}

void writePrices(DemoWriter& w) {
    DemoKeys& k = w.keys();
    QSet<QString> seen;
    // Partners' own prices, then the hierarchies *1 and *2 (not partners).
    QStringList cards = k.customers.mid(0, 40);
    cards << QStringLiteral("*1") << QStringLiteral("*2");
    for (int n = 0; n < 90; ++n) {
        const QString card =
            n < 70 ? w.pick(k.customers.mid(0, 40)) : cards[cards.size() - 2 + n % 2];
        const QString item = w.pick(k.items);
        if (seen.contains(item + card))
            continue;
        seen.insert(item + card);
        const double discount = w.number(2, 25);
        w.put(QStringLiteral("OSPP"),
              {{QStringLiteral("ItemCode"), item},
               {QStringLiteral("CardCode"), card},
               {QStringLiteral("ListNum"), w.pick(k.priceLists)},
               {QStringLiteral("Price"), w.amount(5, 500)},
               {QStringLiteral("Currency"), k.currency},
               {QStringLiteral("Discount"), discount},
               {QStringLiteral("ValidFrom"), DemoWriter::dateText(w.day(1, 1))},
               {QStringLiteral("ValidTo"), DemoWriter::dateText(w.day(12, 31))},
               {QStringLiteral("AutoUpdt"),
                w.chance(70) ? QStringLiteral("Y") : QStringLiteral("N")}});
    }
    // Discounts by item group, manufacturer or property.
    for (int n = 0; n < 40; ++n) {
        const QString card =
            n < 32 ? w.pick(k.customers.mid(0, 30)) : cards[cards.size() - 2 + n % 2];
        const int kind = n % 3;
        const QString objType = kind == 0   ? QStringLiteral("52")
                                : kind == 1 ? QStringLiteral("43")
                                            : QStringLiteral("2");
        const int key = kind == 0   ? w.pick(k.itemGroups)
                        : kind == 1 ? w.pick(k.manufacturers)
                                    : w.pick(k.itemProperties.mid(0, 12));
        if (seen.contains(card + objType + QString::number(key)))
            continue;
        seen.insert(card + objType + QString::number(key));
        w.put(QStringLiteral("OSPG"), {{QStringLiteral("CardCode"), card},
                                       {QStringLiteral("ObjType"), objType},
                                       {QStringLiteral("ObjKey"), QString::number(key)},
                                       {QStringLiteral("Discount"), w.number(1, 15)}});
    }
}

void writeBillsOfMaterials(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QStringList types{QStringLiteral("P"), QStringLiteral("S"), QStringLiteral("A"),
                            QStringLiteral("T")};
    for (int b = 0; b < 12; ++b) {
        const QString parent = k.items[b * 7 % k.items.size()];
        const QString type = types[b % types.size()];
        w.put(
            QStringLiteral("OITT"),
            {{QStringLiteral("TreeCode"), parent},
             {QStringLiteral("TreeType"), type},
             {QStringLiteral("Qauntity"), 1 + b % 3},
             {QStringLiteral("PriceList"), 1},
             {QStringLiteral("ToWH"), k.warehouses[0]},
             {QStringLiteral("OcrCode"), w.pick(k.distributionRules)},
             {QStringLiteral("PrcCode"), w.pick(k.profitCenters)},
             {QStringLiteral("HideComp"), type == u"S" ? QStringLiteral("Y") : QStringLiteral("N")},
             {QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(2, 1 + b))}});
        w.exec(QStringLiteral("UPDATE OITM SET TreeType = ? WHERE ItemCode = ?"), {type, parent});
        QStringList used{parent};
        const int parts = w.number(2, 5);
        for (int c = 0; c < parts; ++c) {
            const QString component = w.pick(k.items);
            if (used.contains(component))
                continue;
            used << component;
            w.put(QStringLiteral("ITT1"),
                  {{QStringLiteral("Father"), parent},
                   {QStringLiteral("ChildNum"), c},
                   {QStringLiteral("Code"), component},
                   {QStringLiteral("Quantity"), w.number(1, 6)},
                   {QStringLiteral("Warehouse"), w.pick(k.warehouses.mid(0, 3))},
                   {QStringLiteral("Price"), w.amount(1, 200)},
                   {QStringLiteral("Currency"), k.currency},
                   {QStringLiteral("PriceList"), 1},
                   {QStringLiteral("IssueMthd"), c % 2 ? QStringLiteral("B") : QStringLiteral("M")},
                   {QStringLiteral("OcrCode"), w.pick(k.distributionRules)},
                   {QStringLiteral("PrcCode"), w.pick(k.profitCenters)},
                   {QStringLiteral("Comment"), QStringLiteral("Component %1").arg(c + 1)},
                   {QStringLiteral("VisOrder"), c}});
        }
    }
}

void writeForecasts(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::tuple<QString, QString, int, int, QString>> forecasts{
        {QStringLiteral("FC-H1"), QStringLiteral("First half year"), 1, 6, QStringLiteral("M")},
        {QStringLiteral("FC-Q4"), QStringLiteral("Year-end quarter"), 10, 12, QStringLiteral("W")}};
    int id = 0;
    for (const auto& [code, name, from, to, view] : forecasts) {
        w.put(QStringLiteral("OFCT"),
              {{QStringLiteral("AbsID"), ++id},
               {QStringLiteral("Code"), code},
               {QStringLiteral("Name"), name},
               {QStringLiteral("StartDate"), DemoWriter::dateText(w.day(from, 1))},
               {QStringLiteral("EndDate"), DemoWriter::dateText(w.day(to, 28))},
               {QStringLiteral("View"), view}});
        int line = 0;
        for (int n = 0; n < 12; ++n)
            for (int month = from; month <= to; ++month)
                w.put(QStringLiteral("FCT1"),
                      {{QStringLiteral("AbsID"), id},
                       {QStringLiteral("LineNum"), line++},
                       {QStringLiteral("ItemCode"), k.items[(n * 13 + id) % k.items.size()]},
                       {QStringLiteral("WhsCode"), k.warehouses[n % 3]},
                       {QStringLiteral("Date"), DemoWriter::dateText(w.day(month, 1))},
                       {QStringLiteral("Quantity"), w.number(5, 300)}});
    }
    for (int p = 1; p <= 4; ++p)
        w.put(QStringLiteral("OPRT"),
              {{QStringLiteral("PrtId"), p},
               {QStringLiteral("Name"), QStringLiteral("Partner network %1").arg(p)},
               {QStringLiteral("RelatnType"), w.pick(k.relationships)},
               {QStringLiteral("RelatCard"), w.pick(k.customers)},
               {QStringLiteral("Memo"),
                QStringLiteral("Joint offers in the %1 region").arg(w.cityName())}});
}

} // namespace

void writeItemRelations(DemoWriter& w) {
    writeItemPairs(w);
    writePrices(w);
    writeBillsOfMaterials(w);
    writeForecasts(w);
}

} // namespace LLObjectsCOM::demo
