// Print layouts, saved queries with their categories and formatted
// searches.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

// A layout definition as the designer stores it; the condition text keeps
// escaped characters, which the copy must carry through unchanged.
QString layoutTemplate(const QString& title, int fields) {
    QString text = QStringLiteral("<Layout title=\"%1\"><Header height=\"40\"/>").arg(title);
    for (int f = 0; f < fields; ++f)
        text += QStringLiteral("<Field id=\"%1\" x=\"%2\" y=\"60\" width=\"80\"/>")
                    .arg(f + 1)
                    .arg(20 + 90 * f);
    text += QStringLiteral(
        "<Condition>DocTotal &gt; 0 &amp;&amp; Printed &lt;&gt; 'Y'</Condition></Layout>");
    return text;
}

void writeQueries(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::pair<int, QString>> categories{{-2, QStringLiteral("System")},
                                                    {1, QStringLiteral("Sales")},
                                                    {2, QStringLiteral("Purchasing")},
                                                    {3, QStringLiteral("Inventory")},
                                                    {4, QStringLiteral("Finance")}};
    for (const auto& [id, name] : categories)
        w.put(QStringLiteral("OQCN"), {{QStringLiteral("CategoryId"), id},
                                       {QStringLiteral("CatName"), name},
                                       {QStringLiteral("PermMask"), QString(30, u'Y')}});
    const QList<std::tuple<int, QString, QString>> queries{
        {-2, QStringLiteral("System: open periods"),
         QStringLiteral("SELECT Code, Name FROM OFPR WHERE Status = 'N'")},
        {1, QStringLiteral("Customers by group"),
         QStringLiteral("SELECT T0.CardCode, T0.CardName, T1.GroupName FROM OCRD T0 INNER JOIN "
                        "OCRG T1 ON T0.GroupCode = T1.GroupCode WHERE T0.CardType = 'C'")},
        {1, QStringLiteral("Customers over credit line"),
         QStringLiteral("SELECT CardCode, CardName, Balance, CreditLine FROM OCRD WHERE Balance > "
                        "CreditLine AND CardType = 'C'")},
        {1, QStringLiteral("Price of item for list"),
         QStringLiteral("SELECT Price FROM ITM1 WHERE ItemCode = $[$38.1.0] AND PriceList = 1")},
        {1, QStringLiteral("Customer region"),
         QStringLiteral("SELECT U_Region FROM OCRD WHERE CardCode = $[OCRD.CardCode]")},
        {2, QStringLiteral("Vendors with bank accounts"),
         QStringLiteral("SELECT T0.CardCode, T1.BankCode, T1.Account FROM OCRD T0 INNER JOIN OCRB "
                        "T1 ON T0.CardCode = T1.CardCode")},
        {2, QStringLiteral("Vendor catalog numbers"),
         QStringLiteral("SELECT ItemCode, CardCode, Substitute FROM OSCN ORDER BY CardCode")},
        {3, QStringLiteral("Stock per warehouse"),
         QStringLiteral(
             "SELECT ItemCode, WhsCode, OnHand FROM OITW WHERE OnHand > 0 ORDER BY ItemCode")},
        {3, QStringLiteral("Items below minimum"),
         QStringLiteral(
             "SELECT ItemCode, ItemName, OnHand, MinLevel FROM OITM WHERE OnHand < MinLevel")},
        {3, QStringLiteral("Item colors"),
         QStringLiteral("SELECT ItemCode, U_Color FROM OITM WHERE U_Color IS NOT NULL")},
        {4, QStringLiteral("Journal entries this month"),
         QStringLiteral("SELECT TransId, RefDate, Memo, LocTotal FROM OJDT WHERE RefDate >= [%0]")},
        {4, QStringLiteral("Accounts without budget"),
         QStringLiteral(
             "SELECT AcctCode, AcctName FROM OACT WHERE Postable = 'Y' AND Budget = 'N'")},
        {-1, QStringLiteral("Scratch: partners per country"),
         QStringLiteral("SELECT Country, COUNT(*) FROM CRD1 GROUP BY Country")}};
    int key = 0;
    for (const auto& [category, name, sql] : queries) {
        w.put(QStringLiteral("OUQR"),
              {{QStringLiteral("IntrnalKey"), ++key},
               {QStringLiteral("QCategory"), category},
               {QStringLiteral("QName"), name},
               {QStringLiteral("QString"), sql},
               {QStringLiteral("QType"), QStringLiteral("W")},
               {QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(2, key))},
               {QStringLiteral("UserSign"), w.pick(k.userKeys)}});
        if (category != -2)
            k.queries << key;
    }
    // Searches on standard fields and on user-defined ones ("U_").
    const QList<std::tuple<QString, QString, QString, QString, int>> searches{
        {QStringLiteral("139"), QStringLiteral("38"), QStringLiteral("14"), QStringLiteral("1"), 4},
        {QStringLiteral("133"), QStringLiteral("38"), QStringLiteral("14"), QStringLiteral("1"), 4},
        {QStringLiteral("134"), QStringLiteral("16"), QStringLiteral("-1"), QString(), 2},
        {QStringLiteral("150"), QStringLiteral("39"), QStringLiteral("-1"), QString(), 9},
        {QStringLiteral("134"), QStringLiteral("U_Region"), QStringLiteral("-1"),
         QStringLiteral("CardCode"), 5},
        {QStringLiteral("150"), QStringLiteral("U_Color"), QStringLiteral("-1"), QString(), 10},
        {QStringLiteral("139"), QStringLiteral("U_Region"), QStringLiteral("-1"),
         QStringLiteral("4"), 5}};
    int index = 0;
    for (const auto& [form, item, column, field, query] : searches)
        w.put(QStringLiteral("CSHS"),
              {{QStringLiteral("IndexID"), ++index},
               {QStringLiteral("FormID"), form},
               {QStringLiteral("ItemID"), item},
               {QStringLiteral("ColumnID"), column},
               {QStringLiteral("FieldID"), field.isEmpty() ? QVariant() : QVariant(field)},
               {QStringLiteral("Action"), QStringLiteral("Q")},
               {QStringLiteral("QueryID"), query},
               {QStringLiteral("Refresh"),
                field.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y")},
               {QStringLiteral("ByField"),
                field.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y")}});
}

} // namespace

void writeLayouts(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::pair<QString, QString>> types{
        {QStringLiteral("INV2"), QStringLiteral("A/R Invoice")},
        {QStringLiteral("RDR2"), QStringLiteral("Sales Order")},
        {QStringLiteral("POR2"), QStringLiteral("Purchase Order")},
        {QStringLiteral("DUN1"), QStringLiteral("Dunning Letter")},
        {QStringLiteral("PAY1"), QStringLiteral("Payment Advice")},
        {QStringLiteral("USRT"), QStringLiteral("Query Print Layout")},
        {QStringLiteral("USRP"), QStringLiteral("Query Print Preview")}};
    int layout = 0;
    for (const auto& [type, name] : types) {
        // Every company has the host's own type and layout ("<type>0000",
        // author "System"); these are those the users designed.
        if (type == u"DUN1")
            k.layoutsDunning << type + QStringLiteral("0000");
        if (type == u"PAY1")
            k.layoutsPayment << type + QStringLiteral("0000");
        const int own = type == u"DUN1" ? 3 : type.startsWith(QLatin1String("USR")) ? 2 : 1;
        for (int n = 1; n <= own; ++n) {
            const QString code =
                QStringLiteral("%1%2").arg(type).arg(++layout, 4, 10, QLatin1Char('0'));
            w.put(
                QStringLiteral("RDOC"),
                {{QStringLiteral("DocCode"), code},
                 {QStringLiteral("DocName"), QStringLiteral("%1 %2").arg(name).arg(n)},
                 {QStringLiteral("TypeCode"), type},
                 {QStringLiteral("Author"),
                  w.pick(QStringList{QStringLiteral("manager"), QStringLiteral("sales1")})},
                 {QStringLiteral("Notes"), QStringLiteral("Company letterhead")},
                 {QStringLiteral("Language"), 3},
                 {QStringLiteral("Template"), layoutTemplate(name, 3 + n)},
                 {QStringLiteral("Paper"), n % 2 ? QStringLiteral("A4") : QStringLiteral("Letter")},
                 {QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(1, 10 + n))},
                 {QStringLiteral("UserSign"), 1}});
            if (type == u"DUN1")
                k.layoutsDunning << code;
            if (type == u"PAY1")
                k.layoutsPayment << code;
        }
        if (!type.startsWith(QLatin1String("USR")))
            k.reportTypes << type;
    }
}

void writeCustomization(DemoWriter& w) {
    writeQueries(w);
    writeUserTables(w);
}

} // namespace LLObjectsCOM::demo
