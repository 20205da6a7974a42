// Chart of accounts, account categories and segmentation, projects, profit
// centers, distribution rules, indexes and transaction codes.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

struct AccountDef {
    const char* code; // 1 digit: drawer, 2: title, 3: title, 6: postable account
    const char* name;
    int category; // OACG.AbsId of a postable account
};

// Codes of the titles give the tree: an account belongs to the title whose
// code its own begins with.
// The drawers (one digit) are every new company's own.
const AccountDef chart[] = {{"11", "Current Assets", 0},
                            {"111", "Cash and Banks", 0},
                            {"111100", "Petty Cash", 1},
                            {"111200", "Checking Account", 1},
                            {"111300", "Savings Account", 1},
                            {"111400", "Credit Card Clearing", 1},
                            {"111500", "Checks Received", 1},
                            {"112", "Receivables", 0},
                            {"112100", "Accounts Receivable", 1},
                            {"112200", "Foreign Receivables", 1},
                            {"112300", "Down Payments Received Clearing", 1},
                            {"112400", "Doubtful Debts", 1},
                            {"113", "Inventory", 0},
                            {"113100", "Inventory", 1},
                            {"113200", "Goods in Transit", 1},
                            {"113300", "WIP Materials", 1},
                            {"113400", "Allocation Costs", 1},
                            {"113500", "Goods Clearing", 1},
                            {"114", "Tax Receivable", 0},
                            {"114100", "Input Tax", 1},
                            {"114200", "Withholding Tax Receivable", 1},
                            {"114300", "Deferred Input Tax", 1},
                            {"12", "Fixed Assets", 0},
                            {"121", "Property and Equipment", 0},
                            {"121100", "Buildings", 2},
                            {"121200", "Machinery", 2},
                            {"121300", "Vehicles", 2},
                            {"121400", "Office Equipment", 2},
                            {"122", "Depreciation", 0},
                            {"122100", "Accumulated Depreciation", 2},
                            {"21", "Current Liabilities", 0},
                            {"211", "Payables", 0},
                            {"211100", "Accounts Payable", 3},
                            {"211200", "Foreign Payables", 3},
                            {"211300", "Down Payments Paid Clearing", 3},
                            {"211400", "Checks Payable", 3},
                            {"212", "Tax Payable", 0},
                            {"212100", "Output Tax", 3},
                            {"212200", "Withholding Tax Payable", 3},
                            {"212300", "Deferred Output Tax", 3},
                            {"212400", "Use Tax Payable", 3},
                            {"212500", "Sales Tax Payable", 3},
                            {"213", "Accruals", 0},
                            {"213100", "Accrued Salaries", 3},
                            {"213200", "Accrued Expenses", 3},
                            {"22", "Long-Term Liabilities", 0},
                            {"221", "Loans", 0},
                            {"221100", "Bank Loans", 4},
                            {"31", "Equity", 0},
                            {"311", "Capital", 0},
                            {"311100", "Share Capital", 5},
                            {"311200", "Retained Earnings", 5},
                            {"41", "Sales", 0},
                            {"411", "Domestic Sales", 0},
                            {"411100", "Sales Revenue", 6},
                            {"411200", "Service Revenue", 6},
                            {"411300", "Sales Returns", 6},
                            {"411400", "Exempt Revenue", 6},
                            {"412", "Foreign Sales", 0},
                            {"412100", "Foreign Sales Revenue", 6},
                            {"412200", "EU Sales Revenue", 6},
                            {"412300", "Sales Credit", 6},
                            {"412400", "Foreign Sales Credit", 6},
                            {"412500", "EU Sales Credit", 6},
                            {"42", "Other Revenue", 0},
                            {"421", "Financial Income", 0},
                            {"421100", "Exchange Rate Gains", 9},
                            {"421200", "Cash Discount Received", 9},
                            {"421300", "Overpayment Differences", 9},
                            {"51", "Cost of Goods", 0},
                            {"511", "Cost of Goods Sold", 0},
                            {"511100", "Cost of Goods Sold", 7},
                            {"511200", "Purchase Price Variance", 7},
                            {"511300", "Inventory Variance", 7},
                            {"511400", "Negative Inventory Adjustment", 7},
                            {"511500", "Stock Revaluation", 7},
                            {"511600", "Stock Revaluation Offset", 7},
                            {"511700", "WIP Variance", 7},
                            {"512", "Purchasing", 0},
                            {"512100", "Purchases", 7},
                            {"512200", "Foreign Purchases", 7},
                            {"512300", "EU Purchases", 7},
                            {"512400", "Purchase Returns", 7},
                            {"512500", "Purchase Offset", 7},
                            {"512600", "Purchase Credit", 7},
                            {"512700", "Foreign Purchase Credit", 7},
                            {"512800", "EU Purchase Credit", 7},
                            {"512900", "Landed Costs Allocation", 7},
                            {"513", "Inventory Adjustments", 0},
                            {"513100", "Inventory Increase", 7},
                            {"513200", "Inventory Decrease", 7},
                            {"513300", "Inventory Offset Increase", 7},
                            {"513400", "Inventory Offset Decrease", 7},
                            {"513500", "Expense Clearing", 7},
                            {"513600", "Stock Transfer", 7},
                            {"61", "Personnel", 0},
                            {"611", "Salaries", 0},
                            {"611100", "Salaries and Wages", 8},
                            {"611200", "Sales Commissions", 8},
                            {"62", "General Expenses", 0},
                            {"621", "Office and Administration", 0},
                            {"621100", "Rent", 8},
                            {"621200", "Utilities", 8},
                            {"621300", "Office Supplies", 8},
                            {"621400", "Freight Out", 8},
                            {"621500", "Exchange Rate Losses", 8},
                            {"621600", "Cash Discount Granted", 8},
                            {"621700", "Rounding Differences", 8},
                            {"621800", "Bank Charges", 8},
                            {"621900", "Expense Variance", 8},
                            {"71", "Non-Operating Items", 0},
                            {"711", "Interest", 0},
                            {"711100", "Interest Income", 9},
                            {"711200", "Interest Expense", 9}};

void writeCategories(DemoWriter& w) {
    const QList<std::pair<QString, QString>> categories{
        {QStringLiteral("Current Assets"), QStringLiteral("B")},
        {QStringLiteral("Fixed Assets"), QStringLiteral("B")},
        {QStringLiteral("Current Liabilities"), QStringLiteral("B")},
        {QStringLiteral("Long-Term Liabilities"), QStringLiteral("B")},
        {QStringLiteral("Equity"), QStringLiteral("B")},
        {QStringLiteral("Revenue"), QStringLiteral("P")},
        {QStringLiteral("Cost of Sales"), QStringLiteral("P")},
        {QStringLiteral("Operating Expenses"), QStringLiteral("P")},
        {QStringLiteral("Financial Result"), QStringLiteral("P")}};
    int id = 0;
    for (const auto& [name, source] : categories) {
        w.put(QStringLiteral("OACG"), {{QStringLiteral("AbsId"), ++id},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("Source"), source}});
        w.keys().accountCategories << id;
    }
}

void writeSegmentation(DemoWriter& w) {
    const QList<std::tuple<int, QString, int, QString>> segments{
        {1, QStringLiteral("Natural Account"), 6, QStringLiteral("N")},
        {2, QStringLiteral("Region"), 2, QStringLiteral("A")},
        {3, QStringLiteral("Department"), 3, QStringLiteral("N")}};
    for (const auto& [id, name, size, type] : segments)
        w.put(QStringLiteral("OASG"), {{QStringLiteral("AbsId"), id},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("Size"), size},
                                       {QStringLiteral("Type"), type}});
    const QList<std::tuple<int, QString, QString>> codes{
        {1, QStringLiteral("1"), QStringLiteral("Assets")},
        {1, QStringLiteral("2"), QStringLiteral("Liabilities")},
        {1, QStringLiteral("4"), QStringLiteral("Turnover")},
        {2, QStringLiteral("EA"), QStringLiteral("East")},
        {2, QStringLiteral("WE"), QStringLiteral("West")},
        {2, QStringLiteral("CE"), QStringLiteral("Central")},
        {3, QStringLiteral("100"), QStringLiteral("Sales")},
        {3, QStringLiteral("200"), QStringLiteral("Purchasing")},
        {3, QStringLiteral("300"), QStringLiteral("Administration")},
        {3, QStringLiteral("400"), QStringLiteral("Warehouse")}};
    for (const auto& [segment, code, name] : codes)
        w.put(QStringLiteral("OASC"), {{QStringLiteral("SegmentId"), segment},
                                       {QStringLiteral("Code"), code},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("ShortName"), name.left(4).toUpper()}});
}

void writeAccounts(DemoWriter& w) {
    DemoKeys& k = w.keys();
    // The system accounts the new company carries are postable too.
    for (int n = 1; n <= 4; ++n) {
        const QString code = QStringLiteral("_SYS%1").arg(n, 11, 10, QLatin1Char('0'));
        k.account.insert(code, code);
    }
    QHash<QString, int> lines; // father -> accounts under it so far
    for (const AccountDef& a : chart) {
        const QString code = QString::fromLatin1(a.code);
        const bool postable = code.size() == 6;
        const int level = postable ? 4 : code.size();
        const QString father = level == 1 ? QString() : code.left(level == 4 ? 3 : level - 1);
        const int drawer = code.left(1).toInt();
        QVariantMap row{
            {QStringLiteral("AcctCode"), code},
            {QStringLiteral("AcctName"), QString::fromLatin1(a.name)},
            {QStringLiteral("FormatCode"), code},
            {QStringLiteral("Levels"), level},
            {QStringLiteral("GrpLine"), lines[father]++},
            {QStringLiteral("GroupMask"), drawer},
            {QStringLiteral("Postable"), postable ? QStringLiteral("Y") : QStringLiteral("N")},
            {QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(1, 1))}};
        if (!father.isEmpty())
            row.insert(QStringLiteral("FatherNum"), father);
        if (postable) {
            const bool foreign = code == u"112200" || code == u"211200";
            row.insert(QStringLiteral("ActType"), drawer == 4   ? QStringLiteral("I")
                                                  : drawer >= 5 ? QStringLiteral("E")
                                                                : QStringLiteral("N"));
            row.insert(QStringLiteral("ActCurr"),
                       foreign ? k.foreignCurrencies.value(0) : k.currency);
            row.insert(QStringLiteral("Category"), a.category);
            row.insert(QStringLiteral("LocManTran"), code == u"112100" || code == u"211100"
                                                         ? QStringLiteral("Y")
                                                         : QStringLiteral("N"));
            row.insert(QStringLiteral("Finanse"), code.startsWith(QLatin1String("111"))
                                                      ? QStringLiteral("Y")
                                                      : QStringLiteral("N"));
            row.insert(QStringLiteral("RevalMatch"),
                       foreign ? QStringLiteral("Y") : QStringLiteral("N"));
            row.insert(QStringLiteral("Budget"),
                       drawer >= 4 ? QStringLiteral("Y") : QStringLiteral("N"));
            if (drawer == 6 && w.chance(40))
                row.insert(QStringLiteral("Project"), w.pick(k.projects));
            row.insert(QStringLiteral("FrgnName"), QString::fromLatin1(a.name).toUpper());
            k.account.insert(code, code);
            k.postable << code;
            if (drawer == 4)
                k.revenueAccounts << code;
            else if (drawer >= 5)
                k.expenseAccounts << code;
            else if (drawer == 1)
                k.assetAccounts << code;
        }
        w.put(QStringLiteral("OACT"), row);
    }
}

} // namespace

void writeChartOfAccounts(DemoWriter& w) {
    writeCategories(w);
    writeSegmentation(w);
    writeAccounts(w);
}

void writeFinanceSetup(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QStringList projects{
        QStringLiteral("Warehouse Expansion"), QStringLiteral("Web Shop Launch"),
        QStringLiteral("ERP Upgrade"),         QStringLiteral("Trade Fair"),
        QStringLiteral("Fleet Renewal"),       QStringLiteral("Customer Portal"),
        QStringLiteral("Energy Audit"),        QStringLiteral("Office Move")};
    for (int i = 0; i < projects.size(); ++i) {
        const QString code = QStringLiteral("PRJ%1").arg(i + 1, 3, 10, QLatin1Char('0'));
        w.put(QStringLiteral("OPRJ"),
              {{QStringLiteral("PrjCode"), code},
               {QStringLiteral("PrjName"), projects[i]},
               {QStringLiteral("Active"), i < 6 ? QStringLiteral("Y") : QStringLiteral("N")},
               {QStringLiteral("ValidFrom"), DemoWriter::dateText(w.day(1 + i, 1))},
               {QStringLiteral("ValidTo"), DemoWriter::dateText(w.day(12, 31))}});
        k.projects << code;
    }
    const QStringList centers{QStringLiteral("Sales"),          QStringLiteral("Purchasing"),
                              QStringLiteral("Administration"), QStringLiteral("Warehouse"),
                              QStringLiteral("Service"),        QStringLiteral("Marketing")};
    for (const QString& name : centers) {
        const QString code = name.left(3).toUpper() + QStringLiteral("01");
        w.put(QStringLiteral("OPRC"), {{QStringLiteral("PrcCode"), code},
                                       {QStringLiteral("PrcName"), name},
                                       {QStringLiteral("DimCode"), 1}});
        k.profitCenters << code;
    }
    // Each rule spreads 100 over two or three centers.
    for (int r = 0; r < 4; ++r) {
        const QString code = QStringLiteral("DR%1").arg(r + 1, 2, 10, QLatin1Char('0'));
        w.put(QStringLiteral("OOCR"),
              {{QStringLiteral("OcrCode"), code},
               {QStringLiteral("OcrName"), QStringLiteral("Allocation rule %1").arg(r + 1)},
               {QStringLiteral("OcrTotal"), 100},
               {QStringLiteral("Direct"), QStringLiteral("N")}});
        const int parts = 2 + r % 2;
        for (int p = 0; p < parts; ++p)
            w.put(QStringLiteral("OCR1"),
                  {{QStringLiteral("OcrCode"), code},
                   {QStringLiteral("PrcCode"), k.profitCenters[(r + p) % k.profitCenters.size()]},
                   {QStringLiteral("PrcAmount"), p == 0 ? 100 - 40 * (parts - 1) : 40},
                   {QStringLiteral("OcrTotal"), 100}});
        k.distributionRules << code;
    }
    const QList<std::pair<QString, QString>> indexes{
        {QStringLiteral("CPI"), QStringLiteral("Consumer Price Index")},
        {QStringLiteral("PPI"), QStringLiteral("Producer Price Index")},
        {QStringLiteral("WAGE"), QStringLiteral("Wage Index")}};
    for (const auto& [code, name] : indexes)
        w.put(QStringLiteral("OIDX"),
              {{QStringLiteral("IdexCode"), code}, {QStringLiteral("IndexName"), name}});
    const QList<std::pair<QString, QString>> codes{
        {QStringLiteral("ACCR"), QStringLiteral("Accruals")},
        {QStringLiteral("CORR"), QStringLiteral("Corrections")},
        {QStringLiteral("DEPR"), QStringLiteral("Depreciation")},
        {QStringLiteral("PAYR"), QStringLiteral("Payroll")},
        {QStringLiteral("REVL"), QStringLiteral("Revaluation")}};
    for (const auto& [code, name] : codes) {
        w.put(QStringLiteral("OTRC"),
              {{QStringLiteral("TrnsCode"), code}, {QStringLiteral("TrnsCodDsc"), name}});
        k.transactionCodes << code;
    }
}

} // namespace LLObjectsCOM::demo
