// Account determination per period category, budgets, financial report
// templates and journal entries.

#include "host/admin/LLDemoWriter.h"

#include "host/admin/LLAdmin.h"

namespace LLObjectsCOM::demo {

namespace {

// Each account field of a period category and the account it posts to.
const std::pair<const char*, const char*> determination[] = {
    {"DebitorsFollowUpAccount", "112100"},
    {"ForeignAccountsReceivables", "112200"},
    {"ReconciliationDifference", "621700"},
    {"AccountforCashReceipt", "111100"},
    {"InvoicePaymentBP", "112100"},
    {"OverpaymentsARAccount", "421300"},
    {"UnderpaymentsARAccount", "621700"},
    {"DownPaymentSClearingAcct", "112300"},
    {"ARGainRealizedExchngeDif", "421100"},
    {"ARLossRealizedExchangeDi", "621500"},
    {"ARCashDiscountAccount", "621600"},
    {"DefaultSaleAccount", "411100"},
    {"RevenuesAccountForeign", "412100"},
    {"SalesRevenueEU", "412200"},
    {"SalesCreditAcc", "412300"},
    {"SalesCreditForeignAcc", "412400"},
    {"SalesCreditEUAcc", "412500"},
    {"DownPaymentVATAcctSale", "212300"},
    {"CreditorsFollowUpAccount", "211100"},
    {"OutgoingChecksAccount", "211400"},
    {"APGainRealizedExchngeDif", "421100"},
    {"APLossRealizedExchangeDif", "621500"},
    {"OutgoingCashAccount", "111100"},
    {"APCashDiscountAccount", "421200"},
    {"APLossCashDiscountAccount", "621600"},
    {"ExpenseAccountDefault", "512100"},
    {"ExpensesAccountForeign", "512200"},
    {"EUExpenseAccount", "512300"},
    {"PurchaseCreditAcc", "512600"},
    {"ForeignPurchaseCreditAcc", "512700"},
    {"EUPurchaseCreditAcc", "512800"},
    {"OverpaymentsAPAccount", "421300"},
    {"UnderpaymentsAPAccount", "621700"},
    {"DownPaymentPClearingAcct", "211300"},
    {"ExpenseVarianceAccount", "621900"},
    {"DownPaymentVATAcctPurch", "114300"},
    {"CommissionAccountDefault", "611200"},
    {"RoundingAccount", "_SYS00000000001"},
    {"EOYControlAccount", "_SYS00000000004"},
    {"AccountforOutgoingChecks", "211400"},
    {"TaxExemptRevenuesDefault", "411400"},
    {"ExemptedCredits", "412300"},
    {"InputTaxAccount", "114100"},
    {"TaxDefinition", "212100"},
    {"AccountforCreditMemoPayme", "112100"},
    {"WithholodingTax", "212200"},
    {"PurchaseTax", "114100"},
    {"VendorAssetsAccount", "121400"},
    {"VendorDoubtfulDebtsAcct", "112400"},
    {"VendorDownPaymentsAccount", "211300"},
    {"StockAccount", "113100"},
    {"CostOfGoodsSold", "511100"},
    {"AllocationAcc", "113400"},
    {"VarianceAcc", "511300"},
    {"PriceDifferenceAccount", "511200"},
    {"InventoryOffsetDecrease", "513400"},
    {"InventoryOffsetIncrease", "513300"},
    {"SalesReturns", "411300"},
    {"ExchangeRateDifferencesAcct", "_SYS00000000002"},
    {"GoodsClearingAcc", "113500"},
    {"IncreaseGLAccount", "513100"},
    {"DecreaseGLAccount", "513200"},
    {"DecreaseGLAcc", "513200"},
    {"StockRevaluationAccount", "511500"},
    {"StockRevaluationOffsetAcct", "511600"},
    {"WIPMaterialAccount", "113300"},
    {"WIPMaterialVarianceAccount", "511700"},
    {"ExpenseClearingAccount", "513500"}};

void determineAccounts(DemoWriter& w, const QString& category) {
    QStringList sets;
    QVariantList values;
    for (const auto& [column, code] : determination) {
        sets << QStringLiteral("\"%1\" = ?").arg(QLatin1String(column));
        values << w.account(QString::fromLatin1(code));
    }
    values << category;
    w.exec(QStringLiteral("UPDATE OACP SET %1 WHERE PeriodCat = ?").arg(sets.join(u',')), values);
}

} // namespace

void writePeriodCategories(DemoWriter& w) {
    const QString current = QString::number(w.year());
    determineAccounts(w, current);
    QString why;
    if (w.ok() && !Admin::addPeriodCategory(w.db(), w.year() - 1, &why))
        w.fail(QStringLiteral("Second period category: %1").arg(why));
    w.count(13);
    determineAccounts(w, QString::number(w.year() - 1));
    w.exec(QStringLiteral("UPDATE OFPR SET Status = 'L' WHERE PeriodCat = ?"),
           {QString::number(w.year() - 1)});
}

void writeBudgetsAndReports(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QString yearStart = DemoWriter::dateText(w.day(1, 1));
    w.put(QStringLiteral("OBGS"), {{QStringLiteral("AbsId"), 1},
                                   {QStringLiteral("Name"), QStringLiteral("Main Budget")},
                                   {QStringLiteral("FinancYear"), yearStart}});
    w.put(QStringLiteral("OBGS"), {{QStringLiteral("AbsId"), 2},
                                   {QStringLiteral("Name"), QStringLiteral("Optimistic")},
                                   {QStringLiteral("FinancYear"), yearStart},
                                   {QStringLiteral("BasedOn"), 1},
                                   {QStringLiteral("Ratio"), 110}});
    const QList<std::pair<QString, QString>> rules{
        {QStringLiteral("EVEN"), QStringLiteral("Equal per month")},
        {QStringLiteral("SEASON"), QStringLiteral("Seasonal, summer peak")},
        {QStringLiteral("YEAREND"), QStringLiteral("Weighted to year end")}};
    for (const auto& [code, name] : rules)
        w.put(QStringLiteral("OBGD"), {{QStringLiteral("BgdCode"), code},
                                       {QStringLiteral("BgdName"), name},
                                       {QStringLiteral("Total"), 100}});
    int budget = 0;
    for (const QString& account : k.revenueAccounts + k.expenseAccounts) {
        const bool revenue = k.revenueAccounts.contains(account);
        const double total = w.amount(5000, 250000, 0);
        for (int scenario = 1; scenario <= 2; ++scenario)
            w.put(
                QStringLiteral("OBGT"),
                {{QStringLiteral("AbsId"), ++budget},
                 {QStringLiteral("AccountCode"), account},
                 {QStringLiteral("BudgetScenario"), scenario},
                 {QStringLiteral("DivisionCode"), rules[budget % rules.size()].first},
                 {QStringLiteral("FinancYear"), yearStart},
                 {QStringLiteral("DebitTotal"), revenue ? 0.0 : total * (scenario == 2 ? 1.1 : 1)},
                 {QStringLiteral("CreditTotal"),
                  revenue ? total * (scenario == 2 ? 1.1 : 1) : 0.0}});
    }

    // Report templates: categories hold the accounts whose codes begin
    // with the prefix; the trial balance lists every postable account.
    struct Category {
        int template_;
        QString name;
        QString prefix;
    };
    const QList<std::tuple<int, QString, QString>> templates{
        {1, QStringLiteral("Balance Sheet"), QStringLiteral("B")},
        {2, QStringLiteral("Profit and Loss Statement"), QStringLiteral("P")},
        {3, QStringLiteral("Trial Balance"), QStringLiteral("T")}};
    for (const auto& [id, name, type] : templates)
        w.put(QStringLiteral("OFRT"), {{QStringLiteral("AbsId"), id},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("ReportType"), type},
                                       {QStringLiteral("Levels"), id == 3 ? 1 : 2}});
    const QList<Category> categories{
        {1, QStringLiteral("Current Assets"), QStringLiteral("11")},
        {1, QStringLiteral("Fixed Assets"), QStringLiteral("12")},
        {1, QStringLiteral("Liabilities"), QStringLiteral("2")},
        {1, QStringLiteral("Equity"), QStringLiteral("3")},
        {2, QStringLiteral("Revenue"), QStringLiteral("4")},
        {2, QStringLiteral("Cost of Sales"), QStringLiteral("5")},
        {2, QStringLiteral("Operating Expenses"), QStringLiteral("6")},
        {2, QStringLiteral("Other Income and Expenses"), QStringLiteral("7")},
        {3, QStringLiteral("All Accounts"), QString()}};
    int catId = 0;
    QHash<int, int> order, top;
    for (const Category& c : categories) {
        // One heading per template holds its categories.
        if (!top.contains(c.template_)) {
            top[c.template_] = ++catId;
            w.put(QStringLiteral("OFRC"),
                  {{QStringLiteral("CatId"), catId},
                   {QStringLiteral("TemplateId"), c.template_},
                   {QStringLiteral("Name"), std::get<1>(templates[c.template_ - 1])},
                   {QStringLiteral("Levels"), 1},
                   {QStringLiteral("VisOrder"), 0}});
        }
        w.put(QStringLiteral("OFRC"),
              {{QStringLiteral("CatId"), ++catId},
               {QStringLiteral("TemplateId"), c.template_},
               {QStringLiteral("Name"), c.name},
               {QStringLiteral("FatherNum"), top[c.template_]},
               {QStringLiteral("Levels"), 2},
               {QStringLiteral("VisOrder"), ++order[c.template_]},
               {QStringLiteral("Formula"),
                c.prefix.isEmpty() ? QString() : QStringLiteral("SUM(%1*)").arg(c.prefix)}});
        int line = 0;
        for (const QString& account : k.postable) {
            if (!account.startsWith(c.prefix))
                continue;
            w.put(QStringLiteral("FRC1"),
                  {{QStringLiteral("TemplateId"), c.template_},
                   {QStringLiteral("CatId"), catId},
                   {QStringLiteral("AcctCode"), account},
                   {QStringLiteral("VisOrder"), line++},
                   {QStringLiteral("Sign"), account.startsWith(u'5') || account.startsWith(u'6')
                                                ? QStringLiteral("-")
                                                : QStringLiteral("+")}});
        }
    }
}

} // namespace LLObjectsCOM::demo
