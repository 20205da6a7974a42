// Tax setup: indicators, sales tax authorities and codes, VAT groups,
// deduction groups and withholding tax codes.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

void writeSalesTax(DemoWriter& w) {
    const QList<std::pair<QString, QString>> types{
        {QStringLiteral("State"), QStringLiteral("212500")},
        {QStringLiteral("County"), QStringLiteral("212500")},
        {QStringLiteral("City"), QStringLiteral("212500")}};
    for (int t = 0; t < types.size(); ++t)
        w.put(QStringLiteral("OSTT"), {{QStringLiteral("AbsId"), t + 1},
                                       {QStringLiteral("Name"), types[t].first},
                                       {QStringLiteral("Account"), w.account(types[t].second)}});
    struct Authority {
        QString code, name;
        int type;
        double rate;
    };
    const QList<Authority> authorities{
        {QStringLiteral("CA"), QStringLiteral("California"), 1, 6.0},
        {QStringLiteral("NY"), QStringLiteral("New York State"), 1, 4.0},
        {QStringLiteral("TX"), QStringLiteral("Texas"), 1, 6.25},
        {QStringLiteral("LACO"), QStringLiteral("Los Angeles County"), 2, 1.0},
        {QStringLiteral("NYC"), QStringLiteral("New York City"), 3, 4.5},
        {QStringLiteral("HOU"), QStringLiteral("Houston"), 3, 1.0}};
    for (const Authority& a : authorities)
        w.put(QStringLiteral("OSTA"),
              {{QStringLiteral("Code"), a.code},
               {QStringLiteral("Name"), a.name},
               {QStringLiteral("Type"), a.type},
               {QStringLiteral("Rate"), a.rate},
               {QStringLiteral("AOrRTaxAccount"), w.account(QStringLiteral("212500"))},
               {QStringLiteral("AOrPTaxAccount"), w.account(QStringLiteral("114100"))},
               {QStringLiteral("UseTaxAccount"), w.account(QStringLiteral("212400"))},
               {QStringLiteral("DeferredTaxAccount"), w.account(QStringLiteral("212300"))},
               {QStringLiteral("NonDeductibleAccount"), w.account(QStringLiteral("621900"))},
               {QStringLiteral("NonDeductPct"), a.type == 1 ? 0 : 10}});
    // A code sums the authorities whose tax a sale in that place carries.
    const QList<std::pair<QString, QStringList>> codes{
        {QStringLiteral("CA"), {QStringLiteral("CA")}},
        {QStringLiteral("CALA"), {QStringLiteral("CA"), QStringLiteral("LACO")}},
        {QStringLiteral("NY"), {QStringLiteral("NY")}},
        {QStringLiteral("NYNYC"), {QStringLiteral("NY"), QStringLiteral("NYC")}},
        {QStringLiteral("TXHOU"), {QStringLiteral("TX"), QStringLiteral("HOU")}},
        {QStringLiteral("EXEMPT"), {}}};
    for (const auto& [code, parts] : codes) {
        double rate = 0;
        int line = 0;
        for (const QString& part : parts) {
            for (const Authority& a : authorities) {
                if (a.code != part)
                    continue;
                rate += a.rate;
                QVariantMap row{{QStringLiteral("STCCode"), code},
                                {QStringLiteral("STACode"), a.code},
                                {QStringLiteral("STAType"), a.type},
                                {QStringLiteral("LineNum"), line++}};
                if (a.type == 3)
                    row.insert(QStringLiteral("STATaxOnTaxType"), 1);
                w.put(QStringLiteral("STC1"), row);
            }
        }
        w.put(QStringLiteral("OSTC"),
              {{QStringLiteral("Code"), code},
               {QStringLiteral("Name"), parts.isEmpty() ? QStringLiteral("Tax exempt")
                                                        : QStringLiteral("Sales tax %1").arg(code)},
               {QStringLiteral("Rate"), rate},
               {QStringLiteral("Freight"), line > 1 ? QStringLiteral("Y") : QStringLiteral("N")},
               {QStringLiteral("Account"), w.account(QStringLiteral("212500"))}});
    }
}

void writeVat(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::pair<QString, QString>> indicators{
        {QStringLiteral("01"), QStringLiteral("Standard rate")},
        {QStringLiteral("02"), QStringLiteral("Reduced rate")},
        {QStringLiteral("03"), QStringLiteral("Exempt")}};
    for (const auto& [code, name] : indicators) {
        w.put(QStringLiteral("OIND"),
              {{QStringLiteral("Code"), code}, {QStringLiteral("Name"), name}});
        k.indicators << code;
    }
    struct Group {
        QString code, name, category;
        double rate;
        QString indicator;
    };
    const QList<Group> groups{{QStringLiteral("O1"), QStringLiteral("Output standard 20%"),
                               QStringLiteral("O"), 20, QStringLiteral("01")},
                              {QStringLiteral("O2"), QStringLiteral("Output reduced 5%"),
                               QStringLiteral("O"), 5, QStringLiteral("02")},
                              {QStringLiteral("O0"), QStringLiteral("Output exempt"),
                               QStringLiteral("O"), 0, QStringLiteral("03")},
                              {QStringLiteral("I1"), QStringLiteral("Input standard 20%"),
                               QStringLiteral("I"), 20, QStringLiteral("01")},
                              {QStringLiteral("I2"), QStringLiteral("Input reduced 5%"),
                               QStringLiteral("I"), 5, QStringLiteral("02")},
                              {QStringLiteral("I0"), QStringLiteral("Input exempt"),
                               QStringLiteral("I"), 0, QStringLiteral("03")}};
    for (const Group& g : groups) {
        const bool output = g.category == u"O";
        w.put(QStringLiteral("OVTG"),
              {{QStringLiteral("Code"), g.code},
               {QStringLiteral("Name"), g.name},
               {QStringLiteral("Category"), g.category},
               {QStringLiteral("Rate"), g.rate},
               {QStringLiteral("TaxAccount"),
                w.account(output ? QStringLiteral("212100") : QStringLiteral("114100"))},
               {QStringLiteral("AquisitionTax"), w.account(QStringLiteral("212400"))},
               {QStringLiteral("DeferredTaxAcc"),
                w.account(output ? QStringLiteral("212300") : QStringLiteral("114300"))},
               {QStringLiteral("NonDeductAcc"), w.account(QStringLiteral("621900"))},
               {QStringLiteral("Indicator"), g.indicator}});
        (output ? k.vatOutput : k.vatInput) << g.code;
    }
}

void writeWithholding(DemoWriter& w) {
    DemoKeys& k = w.keys();
    w.put(QStringLiteral("ODDG"),
          {{QStringLiteral("DdgCode"), QStringLiteral("CONTR10")},
           {QStringLiteral("DdgName"), QStringLiteral("Contractors 10%")},
           {QStringLiteral("Rate"), 10},
           {QStringLiteral("Account"), w.account(QStringLiteral("212200"))}});
    w.put(QStringLiteral("ODDG"),
          {{QStringLiteral("DdgCode"), QStringLiteral("ROYAL5")},
           {QStringLiteral("DdgName"), QStringLiteral("Royalties 5%")},
           {QStringLiteral("Rate"), 5},
           {QStringLiteral("Account"), w.account(QStringLiteral("212200"))}});
    const QList<std::tuple<QString, QString, QString, double>> codes{
        {QStringLiteral("W10"), QStringLiteral("Services 10%"), QStringLiteral("I"), 10},
        {QStringLiteral("W24"), QStringLiteral("Backup withholding 24%"), QStringLiteral("P"), 24},
        {QStringLiteral("W30"), QStringLiteral("Foreign persons 30%"), QStringLiteral("P"), 30}};
    for (const auto& [code, name, category, rate] : codes) {
        w.put(QStringLiteral("OWHT"),
              {{QStringLiteral("WTCode"), code},
               {QStringLiteral("WTName"), name},
               {QStringLiteral("Category"), category},
               {QStringLiteral("BaseType"), QStringLiteral("N")},
               {QStringLiteral("Rate"), rate},
               {QStringLiteral("Account"), w.account(QStringLiteral("212200"))}});
        k.withholdingCodes << code;
    }
}

} // namespace

void writeTaxes(DemoWriter& w) {
    writeSalesTax(w);
    writeVat(w);
    writeWithholding(w);
}

} // namespace LLObjectsCOM::demo
