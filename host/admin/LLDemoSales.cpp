// Sales setup: commission groups, employees and their lookups, sales
// employees, territories, sales stages, relationships, competitors,
// contract templates and predefined texts.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

// (id, name) rows of an employee lookup table; lockable ones stay open.
void lookup(DemoWriter& w, const QString& table, const QString& key, const QStringList& names,
            const QString& lockColumn = QString()) {
    for (int i = 0; i < names.size(); ++i) {
        QVariantMap row{{key, i + 1},
                        {QStringLiteral("name"), names[i]},
                        {QStringLiteral("descriptio"), names[i] + QStringLiteral(" (demo)")}};
        if (!lockColumn.isEmpty())
            row.insert(lockColumn, QStringLiteral("N"));
        w.put(table, row);
    }
}

void writeEmployees(DemoWriter& w) {
    DemoKeys& k = w.keys();
    lookup(w, QStringLiteral("OHED"), QStringLiteral("edType"),
           {QStringLiteral("High school"), QStringLiteral("Bachelor"), QStringLiteral("Master"),
            QStringLiteral("Doctorate")},
           QStringLiteral("Locked"));
    lookup(w, QStringLiteral("OHPS"), QStringLiteral("posID"),
           {QStringLiteral("Managing director"), QStringLiteral("Sales manager"),
            QStringLiteral("Sales representative"), QStringLiteral("Accountant"),
            QStringLiteral("Warehouse clerk"), QStringLiteral("Buyer")});
    lookup(w, QStringLiteral("OHTR"), QStringLiteral("reasonID"),
           {QStringLiteral("Resignation"), QStringLiteral("Retirement"),
            QStringLiteral("End of contract")});
    lookup(w, QStringLiteral("OHTY"), QStringLiteral("typeID"),
           {QStringLiteral("Full time"), QStringLiteral("Part time"), QStringLiteral("Contractor")},
           QStringLiteral("locked"));
    lookup(w, QStringLiteral("OHST"), QStringLiteral("statusID"),
           {QStringLiteral("Active"), QStringLiteral("On leave"), QStringLiteral("Terminated")});

    const QList<std::pair<QString, double>> groups{{QStringLiteral("Standard"), 5},
                                                   {QStringLiteral("Senior"), 7.5},
                                                   {QStringLiteral("Key accounts"), 10}};
    for (int g = 0; g < groups.size(); ++g) {
        w.put(QStringLiteral("OCOG"), {{QStringLiteral("GroupCode"), g + 1},
                                       {QStringLiteral("GroupName"), groups[g].first},
                                       {QStringLiteral("Commission"), groups[g].second}});
        k.commissionGroups << g + 1;
    }

    // Employee 1 runs the company, 2 the sales team; 3 to 10 sell (as
    // sales employees 1 to 8), the rest keep the books and the stock.
    const int employees = 14;
    for (int e = 1; e <= employees; ++e) {
        const QString first = w.firstName();
        const QString last = w.lastName();
        const bool sells = e >= 3 && e <= 10;
        const int position = e == 1 ? 1 : e == 2 ? 2 : sells ? 3 : 4 + e % 3;
        QVariantMap row{
            {QStringLiteral("empID"), e},
            {QStringLiteral("firstName"), first},
            {QStringLiteral("lastName"), last},
            {QStringLiteral("jobTitle"),
             position == 3 ? QStringLiteral("Sales rep") : QStringLiteral("Staff")},
            {QStringLiteral("position"), position},
            {QStringLiteral("dept"), w.pick(k.departments)},
            {QStringLiteral("branch"), w.pick(k.branches)},
            {QStringLiteral("type"), e == employees ? 3 : 1},
            {QStringLiteral("status"), e == employees - 1 ? 3 : 1},
            {QStringLiteral("edType"), w.number(1, 4)},
            {QStringLiteral("officeTel"), w.phone()},
            {QStringLiteral("mobile"), w.phone()},
            {QStringLiteral("email"),
             QStringLiteral("%1.%2@demo.example.com")
                 .arg(DemoWriter::mailName(first), DemoWriter::mailName(last))},
            {QStringLiteral("homeStreet"), w.streetName()},
            {QStringLiteral("homeCity"), w.cityName()},
            {QStringLiteral("homeZip"), w.zipCode()},
            {QStringLiteral("homeState"), w.pick(k.homeStates)},
            {QStringLiteral("homeCountr"), k.country},
            {QStringLiteral("startDate"),
             DemoWriter::dateText(QDate(w.year() - w.number(1, 12), w.number(1, 12), 1))},
            {QStringLiteral("Active"),
             e == employees - 1 ? QStringLiteral("N") : QStringLiteral("Y")}};
        if (e > 1)
            row.insert(QStringLiteral("manager"), sells ? 2 : 1);
        if (e <= k.userKeys.size())
            row.insert(QStringLiteral("userId"), k.userKeys[e - 1]);
        if (sells) {
            row.insert(QStringLiteral("salesPrson"), e - 2);
            row.insert(QStringLiteral("CommGrCode"), w.pick(k.commissionGroups));
        }
        if (e == employees - 1) {
            row.insert(QStringLiteral("termReason"), 1);
            row.insert(QStringLiteral("termDate"), DemoWriter::dateText(w.day(3, 31)));
        }
        w.put(QStringLiteral("OHEM"), row);
        k.employees << e;
        if (!sells)
            continue;
        w.put(QStringLiteral("OSLP"),
              {{QStringLiteral("SlpCode"), e - 2},
               {QStringLiteral("SlpName"), QStringLiteral("%1 %2").arg(first, last)},
               {QStringLiteral("Memo"), QStringLiteral("Region %1").arg(1 + e % 3)},
               {QStringLiteral("GroupCode"), row.value(QStringLiteral("CommGrCode"))},
               {QStringLiteral("Commission"), w.amount(2, 8, 1)},
               {QStringLiteral("EmpID"), e},
               {QStringLiteral("Telephone"), row.value(QStringLiteral("officeTel"))},
               {QStringLiteral("Mobil"), row.value(QStringLiteral("mobile"))},
               {QStringLiteral("Email"), row.value(QStringLiteral("email"))}});
        k.salesEmployees << e - 2;
    }
}

void writeOpportunitySetup(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::pair<QString, int>> territories{
        {QStringLiteral("North America"), -2}, {QStringLiteral("East"), 1},
        {QStringLiteral("West"), 1},           {QStringLiteral("Central"), 1},
        {QStringLiteral("Europe"), -2},        {QStringLiteral("DACH"), 5},
        {QStringLiteral("Nordics"), 5}};
    for (int t = 0; t < territories.size(); ++t) {
        w.put(QStringLiteral("OTER"), {{QStringLiteral("territryID"), t + 1},
                                       {QStringLiteral("descript"), territories[t].first},
                                       {QStringLiteral("parent"), territories[t].second},
                                       {QStringLiteral("lindex"), t}});
        k.territories << t + 1;
    }
    const QList<std::pair<QString, int>> stages{
        {QStringLiteral("Lead"), 10},        {QStringLiteral("Qualified"), 25},
        {QStringLiteral("Proposal"), 50},    {QStringLiteral("Negotiation"), 75},
        {QStringLiteral("Closed won"), 100}, {QStringLiteral("Lost"), 0}};
    for (int s = 0; s < stages.size(); ++s)
        w.put(QStringLiteral("OOST"),
              {{QStringLiteral("Num"), s + 1},
               {QStringLiteral("Descript"), stages[s].first},
               {QStringLiteral("StepId"), s + 1},
               {QStringLiteral("CloPrcnt"), stages[s].second},
               {QStringLiteral("Canceled"), s == 5 ? QStringLiteral("Y") : QStringLiteral("N")}});
    const QStringList relations{QStringLiteral("Reseller"), QStringLiteral("Distributor"),
                                QStringLiteral("Consultant"), QStringLiteral("Referral partner")};
    for (int r = 0; r < relations.size(); ++r) {
        w.put(QStringLiteral("OORL"),
              {{QStringLiteral("OrlCode"), r + 1}, {QStringLiteral("OrlDesc"), relations[r]}});
        k.relationships << r + 1;
    }
    for (int c = 1; c <= 5; ++c)
        w.put(
            QStringLiteral("OCMT"),
            {{QStringLiteral("CompetId"), c},
             {QStringLiteral("Name"), QStringLiteral("%1 (rival %2)").arg(w.companyName()).arg(c)},
             {QStringLiteral("ThreatLevl"), 1 + c % 3},
             {QStringLiteral("Memo"), QStringLiteral("Competes on price in region %1").arg(c)}});
}

void writeTemplatesAndTexts(DemoWriter& w) {
    const QList<std::tuple<QString, QString, QString, int>> contracts{
        {QStringLiteral("Standard Service"), QStringLiteral("One year of support"),
         QStringLiteral("C"), 12},
        {QStringLiteral("Premium Service"), QStringLiteral("Support with next-day response"),
         QStringLiteral("C"), 24},
        {QStringLiteral("Equipment Warranty"), QStringLiteral("Parts and labor"),
         QStringLiteral("I"), 36}};
    for (const auto& [name, descr, type, months] : contracts)
        w.put(QStringLiteral("OCTT"),
              {{QStringLiteral("TmpltName"), name},
               {QStringLiteral("Descriptio"), descr},
               {QStringLiteral("CntrcType"), type},
               {QStringLiteral("Duration"), months},
               {QStringLiteral("ResponseT"), type == u"C" ? 24 : 72},
               {QStringLiteral("Renewal"), QStringLiteral("Y")},
               {QStringLiteral("Remarks"),
                QStringLiteral("Terms as agreed in the master contract.")}});
    const QList<std::pair<QString, QString>> texts{
        {QStringLiteral("THANKS"), QStringLiteral("Thank you for your order.")},
        {QStringLiteral("DELIVERY"), QStringLiteral("Delivery within 5 working days.")},
        {QStringLiteral("RETURNS"), QStringLiteral("Returns are accepted within 30 days.")},
        {QStringLiteral("PAYMENT"),
         QStringLiteral("Please quote the invoice number with your payment.")},
        {QStringLiteral("EXPORT"),
         QStringLiteral("These goods are licensed for export.\nCheck local rules.")}};
    int entry = 0;
    for (const auto& [code, text] : texts)
        w.put(QStringLiteral("OPDT"), {{QStringLiteral("AbsEntry"), ++entry},
                                       {QStringLiteral("TextCode"), code},
                                       {QStringLiteral("Text"), text}});
}

} // namespace

void writeSalesSetup(DemoWriter& w) {
    writeEmployees(w);
    writeOpportunitySetup(w);
    writeTemplatesAndTexts(w);
}

} // namespace LLObjectsCOM::demo
