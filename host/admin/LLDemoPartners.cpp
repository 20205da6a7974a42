// What business partners point at: their groups, properties, priorities,
// industries and tax number types.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

void writePartnerSetup(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::pair<QString, QChar>> groups{{QStringLiteral("Retail"), u'C'},
                                                  {QStringLiteral("Wholesale"), u'C'},
                                                  {QStringLiteral("Key Accounts"), u'C'},
                                                  {QStringLiteral("Government"), u'C'},
                                                  {QStringLiteral("Domestic Suppliers"), u'S'},
                                                  {QStringLiteral("Foreign Suppliers"), u'S'},
                                                  {QStringLiteral("Service Providers"), u'S'}};
    for (int g = 0; g < groups.size(); ++g) {
        const int code = 100 + g;
        w.put(QStringLiteral("OCRG"), {{QStringLiteral("GroupCode"), code},
                                       {QStringLiteral("GroupName"), groups[g].first},
                                       {QStringLiteral("GroupType"), QString(groups[g].second)},
                                       {QStringLiteral("PriceList"), k.priceLists[g % 4]}});
        (groups[g].second == u'C' ? k.customerGroups : k.vendorGroups) << code;
    }
    const QStringList properties{
        QStringLiteral("Newsletter"),  QStringLiteral("Trade fair"),
        QStringLiteral("Online shop"), QStringLiteral("Certified"),
        QStringLiteral("Export"),      QStringLiteral("Framework contract")};
    for (int p = 1; p <= 64; ++p)
        w.put(
            QStringLiteral("OCQG"),
            {{QStringLiteral("GroupCode"), p},
             {QStringLiteral("GroupName"),
              p <= properties.size() ? properties[p - 1] : QStringLiteral("Property %1").arg(p)}});
    const QStringList priorities{QStringLiteral("Strategic"), QStringLiteral("High"),
                                 QStringLiteral("Normal"), QStringLiteral("Low")};
    for (int p = 0; p < priorities.size(); ++p) {
        w.put(QStringLiteral("OBPP"),
              {{QStringLiteral("PrioCode"), p + 1}, {QStringLiteral("PrioDesc"), priorities[p]}});
        k.priorities << p + 1;
    }
    const QStringList industries{QStringLiteral("Manufacturing"), QStringLiteral("Retail"),
                                 QStringLiteral("Wholesale"),     QStringLiteral("Healthcare"),
                                 QStringLiteral("Education"),     QStringLiteral("Public sector"),
                                 QStringLiteral("Technology"),    QStringLiteral("Hospitality")};
    for (int i = 0; i < industries.size(); ++i) {
        w.put(QStringLiteral("OIDC"),
              {{QStringLiteral("IndCode"), i + 1},
               {QStringLiteral("IndName"), industries[i]},
               {QStringLiteral("IndDesc"), industries[i] + QStringLiteral(" companies")}});
        k.industries << i + 1;
    }
    const QList<std::tuple<QString, QString, QString>> taxTypes{
        {QStringLiteral("EIN"), QStringLiteral("Employer identification number"),
         QStringLiteral("99-9999999")},
        {QStringLiteral("SSN"), QStringLiteral("Social security number"),
         QStringLiteral("999-99-9999")},
        {QStringLiteral("VAT"), QStringLiteral("Foreign VAT number"),
         QStringLiteral("AA999999999")}};
    for (const auto& [code, name, format] : taxTypes) {
        w.put(QStringLiteral("OTNN"), {{QStringLiteral("Code"), code},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("Format"), format}});
        k.taxNumberTypes << code;
    }
}

} // namespace LLObjectsCOM::demo
