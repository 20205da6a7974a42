// What users set up for themselves: defaults groups, form preferences,
// menus, alerts, default series and default print layouts.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

void writeDefaults(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::tuple<QString, QString, int, int, int, int>> groups{
        {QStringLiteral("SALES"), QStringLiteral("Sales desk"), 0, 4, 1, k.salesEmployees.value(0)},
        {QStringLiteral("BUYING"), QStringLiteral("Purchasing desk"), 0, 2, 1, -1},
        {QStringLiteral("STOCK"), QStringLiteral("Warehouse staff"), 1, 1, 3, -1}};
    for (const auto& [code, name, warehouse, list, branch, employee] : groups) {
        w.put(QStringLiteral("OUDG"),
              {{QStringLiteral("Code"), code},
               {QStringLiteral("Name"), name},
               {QStringLiteral("Warehouse"), k.warehouses[warehouse]},
               {QStringLiteral("CashAcct"), w.account(QStringLiteral("111100"))},
               {QStringLiteral("CheckAcct"), w.account(QStringLiteral("111500"))},
               {QStringLiteral("PriceList"), list},
               {QStringLiteral("Branch"), branch},
               {QStringLiteral("SlpCode"), employee},
               {QStringLiteral("PrintHeadr"), QStringLiteral("Demo Company - %1").arg(name)}});
        k.defaultsGroups << code;
    }
    const QList<std::pair<QString, QString>> assigned{
        {QStringLiteral("sales1"), QStringLiteral("SALES")},
        {QStringLiteral("sales2"), QStringLiteral("SALES")},
        {QStringLiteral("buyer"), QStringLiteral("BUYING")},
        {QStringLiteral("stock"), QStringLiteral("STOCK")}};
    for (const auto& [user, group] : assigned)
        w.exec(QStringLiteral("UPDATE OUSR SET DfltsGroup = ? WHERE USER_CODE = ?"), {group, user});
}

void writeScreens(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QStringList forms{QStringLiteral("139"), QStringLiteral("133"), QStringLiteral("150")};
    const QStringList columns{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("11"),
                              QStringLiteral("14"), QStringLiteral("21")};
    for (int u = 1; u <= 4 && u < k.userKeys.size(); ++u) {
        const int user = k.userKeys[u];
        for (const QString& form : forms) {
            for (int c = 0; c < columns.size(); ++c)
                w.put(QStringLiteral("CPRF"),
                      {{QStringLiteral("FormID"), form},
                       {QStringLiteral("UserSign"), user},
                       {QStringLiteral("ItemID"), QStringLiteral("38")},
                       {QStringLiteral("ColumnID"), columns[c]},
                       {QStringLiteral("Position"), c},
                       {QStringLiteral("Width"), 40 + 10 * w.number(0, 8)},
                       {QStringLiteral("Visible"),
                        w.chance(85) ? QStringLiteral("Y") : QStringLiteral("N")},
                       {QStringLiteral("Editable"),
                        c == 0 ? QStringLiteral("N") : QStringLiteral("Y")},
                       {QStringLiteral("Descr"), QStringLiteral("Column %1").arg(columns[c])},
                       {QStringLiteral("FontSize"), 8 + w.number(0, 2)}});
        }
        // A menu of its own: a folder with a report and a query, and a
        // shortcut at the top.
        const QList<std::tuple<int, int, QString, QString, QString>> menu{
            {1, -1, QStringLiteral("F"), QStringLiteral("My reports"), QString()},
            {2, 1, QStringLiteral("R"), QStringLiteral("Sales analysis"),
             QStringLiteral("report:INV2")},
            {3, 1, QStringLiteral("Q"), QStringLiteral("Stock per warehouse"),
             QStringLiteral("query:%1").arg(w.pick(k.queries))},
            {4, -1, QStringLiteral("M"), QStringLiteral("Item master data"),
             QStringLiteral("3073")}};
        for (const auto& [position, father, type, name, link] : menu)
            w.put(QStringLiteral("CUMI"),
                  {{QStringLiteral("USERID"), user},
                   {QStringLiteral("Position"), position},
                   {QStringLiteral("Father"), father},
                   {QStringLiteral("ItemType"), type},
                   {QStringLiteral("Name"), name},
                   {QStringLiteral("Link"), link.isEmpty() ? QVariant() : QVariant(link)}});
    }
}

void writeAlerts(DemoWriter& w) {
    DemoKeys& k = w.keys();
    // System alerts 1 to 6 come with the company; user alerts follow.
    const QStringList names{QStringLiteral("Customers over credit line"),
                            QStringLiteral("Items below minimum"),
                            QStringLiteral("New journal entries")};
    const int queries[] = {3, 9, 11};
    for (int a = 0; a < names.size(); ++a) {
        const int code = 7 + a;
        w.put(QStringLiteral("OALT"),
              {{QStringLiteral("Code"), code},
               {QStringLiteral("Name"), names[a]},
               {QStringLiteral("Type"), QStringLiteral("U")},
               {QStringLiteral("Priority"), QString::number(1 + a % 3)},
               {QStringLiteral("Active"), a == 2 ? QStringLiteral("N") : QStringLiteral("Y")},
               {QStringLiteral("QueryId"), queries[a]},
               {QStringLiteral("FrqncyType"), QString(QLatin1Char("DWM"[a]))},
               {QStringLiteral("FrqncyIntr"), 1},
               {QStringLiteral("ExecDay"), a + 1},
               {QStringLiteral("ExecTime"), 800 + 100 * a},
               {QStringLiteral("NextDate"), DemoWriter::dateText(w.day(3, 1))},
               {QStringLiteral("NextTime"), 800 + 100 * a},
               {QStringLiteral("UserSign"), 2}});
        for (int r = 0; r <= a; ++r)
            w.put(QStringLiteral("ALT1"), {{QStringLiteral("Code"), code},
                                           {QStringLiteral("UserSign"), k.userKeys[1 + r]},
                                           {QStringLiteral("SendEMail"),
                                            r == 0 ? QStringLiteral("Y") : QStringLiteral("N")}});
    }
}

void writeUserDocuments(DemoWriter& w) {
    DemoKeys& k = w.keys();
    // Default series: each sales user uses the second series of orders
    // and invoices, the buyer that of purchase orders.
    const QList<std::pair<int, QString>> series{{3, QStringLiteral("17")},
                                                {3, QStringLiteral("13")},
                                                {4, QStringLiteral("17")},
                                                {4, QStringLiteral("13")},
                                                {5, QStringLiteral("22")}};
    for (const auto& [user, object] : series)
        w.put(QStringLiteral("NNM2"),
              {{QStringLiteral("ObjectCode"), object},
               {QStringLiteral("DocSubType"), QStringLiteral("--")},
               {QStringLiteral("UserSign"), user},
               {QStringLiteral("Series"),
                w.scalar(QStringLiteral("SELECT MAX(Series) FROM NNM1 WHERE ObjectCode = ?"),
                         {object})}});
    // Default layouts: for everyone, per user, and per customer.
    int n = 0;
    for (const QString& type : k.reportTypes) {
        const QVariant own =
            w.scalar(QStringLiteral(
                         "SELECT MIN(DocCode) FROM RDOC WHERE TypeCode = ? AND Author <> 'System'"),
                     {type});
        w.put(QStringLiteral("RDFL"), {{QStringLiteral("DoumntDode"), type},
                                       {QStringLiteral("UserId"), -1},
                                       {QStringLiteral("CardCode"), QStringLiteral("")},
                                       {QStringLiteral("DfltReport"), own}});
        w.put(QStringLiteral("RDFL"), {{QStringLiteral("DoumntDode"), type},
                                       {QStringLiteral("UserId"), k.userKeys[2 + n++ % 3]},
                                       {QStringLiteral("CardCode"), QStringLiteral("")},
                                       {QStringLiteral("DfltReport"), own}});
        w.put(QStringLiteral("RDFL"), {{QStringLiteral("DoumntDode"), type},
                                       {QStringLiteral("UserId"), -1},
                                       {QStringLiteral("CardCode"), k.customers[n]},
                                       {QStringLiteral("DfltReport"), own}});
    }
}

} // namespace

void writeUserSettings(DemoWriter& w) {
    writeDefaults(w);
    writeScreens(w);
    writeAlerts(w);
    writeUserDocuments(w);
}

} // namespace LLObjectsCOM::demo
