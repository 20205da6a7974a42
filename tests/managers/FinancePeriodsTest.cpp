#include "ManagerTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString Determination = u"MRV_TRN_GLACCTDETERMINATION_100"_s;
const QString InventoryAccounts = u"MRV_TRN_GLINVNTRYSETTINGS_100"_s;
const QString Budget = u"MRV_TRN_BUDGET_100"_s;
const QString ReportTemplates = u"MRV_TRN_FINANCIALREPORTTMPL_100"_s;

// Templates with their categories and lines, by names and formatted codes.
const QString TemplateContents =
    u"SELECT t.Name, t.ReportType, t.Levels, c.Name, p.Name, c.Levels, c.VisOrder, c.HideTotal, "
    u"c.Formula, a.FormatCode, l.VisOrder, l.Sign FROM OFRC c "
    u"JOIN OFRT t ON t.AbsId = c.TemplateId LEFT JOIN OFRC p ON p.CatId = c.FatherNum "
    u"LEFT JOIN FRC1 l ON l.CatId = c.CatId AND l.TemplateId = c.TemplateId "
    u"LEFT JOIN OACT a ON a.AcctCode = l.AcctCode ORDER BY 1, 4, 10"_s;
const QString BudgetContents =
    // Totals as the column keeps them.
    u"SELECT a.FormatCode, s.Name, d.BgdName, b.FinancYear, ROUND(b.DebitTotal, 6), "
    u"ROUND(b.CreditTotal, 6) "
    u"FROM OBGT b LEFT JOIN OACT a ON a.AcctCode = b.AccountCode "
    u"LEFT JOIN OBGS s ON s.AbsId = b.BudgetScenario "
    u"LEFT JOIN OBGD d ON d.BgdCode = b.DivisionCode ORDER BY 1, 2"_s;
const QString ScenarioContents = u"SELECT s.Name, s.FinancYear, p.Name, s.Ratio FROM OBGS s "
                                 u"LEFT JOIN OBGS p ON p.AbsId = s.BasedOn ORDER BY 1"_s;
const QString RuleContents = u"SELECT BgdCode, BgdName, Total FROM OBGD ORDER BY 1"_s;

void templateAccounts(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    accountsOf(base, target, u"SELECT AcctCode FROM FRC1"_s);
}

// The account fields a category's records carry and those it writes, as
// its manager declares them.
struct PeriodFields {
    QStringList carried;
    QStringList written;
};
PeriodFields periodFields(MRV_DIInterface& manager) {
    const MRV_TableDeclaration* table = manager.table(u"OACP"_s);
    PeriodFields fields;
    if (!table)
        return fields;
    fields.carried = table->settings;
    for (const QString& f : table->settings)
        if (!table->settingsNotWritten.contains(f) && !fields.written.contains(f))
            fields.written << f;
    return fields;
}

// A category's account as formatted code, by the first day of its year.
QString fieldByDay(const QString& field) {
    return u"SELECT substr(c.BeginningofFinancialYear, 1, 10), a.FormatCode FROM OACP c "
           u"LEFT JOIN OACT a ON a.AcctCode = c.%1 ORDER BY 1"_s.arg(field);
}

} // namespace

QList<ManagerCase> financePeriodCases() {
    return {
        {"FinancialReportTemplates", ReportTemplates, TemplateContents, u"SELECT 1 FROM OFRT"_s,
         templateAccounts, u"INSERT INTO OFRT (AbsId, Name) VALUES (%1, %2)"_s,
         u"SELECT Name FROM OFRT"_s, 100, true, QString(),
         u"SELECT 1 FROM OFRC UNION ALL SELECT 1 FROM FRC1"_s},
    };
}

// The base's two period categories meet a target whose categories are
// named otherwise, with one more the base lacks; the target's chart has the
// base's formatted codes under other account codes.
class FinancePeriods : public ManagerCompanies {
protected:
    void SetUp() override {
        ManagerCompanies::SetUp();
        year = value(*base, u"SELECT MAX(PeriodCat) FROM OACP"_s).toInt();
        ASSERT_GT(year, 0);
        exec(*target, u"UPDATE OFPR SET PeriodCat = N'Now' WHERE PeriodCat = N'%1'"_s.arg(year));
        exec(*target, u"UPDATE OACP SET PeriodCat = N'Now', PeriodName = N'Now' "
                      u"WHERE PeriodCat = N'%1'"_s.arg(year));
        addCategory(*target, u"Earlier"_s, year - 1);
        addCategory(*target, u"Later"_s, year + 1);
        accountsOf(*base, *target, u"SELECT AcctCode FROM OACT"_s);
        // Tax groups the administration information names keep their codes.
        addMissing(*base, *target, u"SELECT Code FROM OVTG"_s, u"SELECT Code FROM OVTG"_s,
                   u"INSERT INTO OVTG (Code, Name) VALUES (%2, %2)"_s);
    }
    static void addCategory(LLObjectsCOM::Company& company, const QString& code, int first) {
        exec(company, u"INSERT INTO OACP (PeriodCat, PeriodName, BeginningofFinancialYear) "
                      u"VALUES (N'%1', N'%1', '%2-01-01 00:00:00')"_s.arg(code)
                          .arg(first));
    }
    int year = 0;
};

struct PeriodCase {
    const char* name;
    QString categoryId;
    // The company-wide record of the administration information travels too.
    bool adminRecord;
};

class FinancePeriodRecords : public FinancePeriods,
                             public ::testing::WithParamInterface<PeriodCase> {};

// Each base category's accounts arrive in the target's category of the same
// first day, translated to the target's accounts; a record of a day no
// target category begins on is not written and says so, as does one naming
// an account the target lacks; other fields and categories stay.
TEST_P(FinancePeriodRecords, AccountsArriveInTheCategoryOfTheSameFirstDay) {
    const QString id = GetParam().categoryId;
    const auto declared = manager(id);
    const PeriodFields fields = periodFields(*declared);
    ASSERT_FALSE(fields.written.isEmpty());
    QStringList untouched;
    for (const QString& other : {Determination, InventoryAccounts})
        for (const QString& f : periodFields(*manager(other)).carried)
            if (!fields.written.contains(f) && !untouched.contains(f))
                untouched << f;
    // A base category of a day the target has not; an account of the
    // target's chart missing for the moment.
    addCategory(*base, u"Old"_s, year - 5);
    exec(*base, u"UPDATE OACP SET StockAccount = (SELECT StockAccount FROM OACP WHERE "
                u"PeriodCat = N'%1') WHERE PeriodCat = N'Old'"_s.arg(year));
    const QString stock =
        value(*base, u"SELECT a.FormatCode FROM OACP c JOIN OACT a ON "
                     u"a.AcctCode = c.StockAccount WHERE c.PeriodCat = N'%1'"_s.arg(year))
            .toString();
    const QString stockAccount =
        value(*target, u"SELECT AcctCode FROM OACT WHERE FormatCode = N'%1'"_s.arg(stock))
            .toString();
    ASSERT_FALSE(stockAccount.isEmpty());
    exec(*target,
         u"UPDATE OACT SET FormatCode = N'gone' WHERE AcctCode = N'%1'"_s.arg(stockAccount));

    EXPECT_EQ(copy(id, MRV_DIInterface::UpdateExisting), S_FALSE);
    QStringList failed = failedLines();
    failed.sort();
    const QString first = u"%1-01-01"_s;
    ASSERT_EQ(failed.size(), 3) << failed.join(u'\n').toStdString();
    EXPECT_EQ(failed[0], u"%1: No period category of the target company begins its financial "
                         u"year on %1: the record is not written"_s.arg(first.arg(year - 5)));
    EXPECT_EQ(failed[1], u"%1: StockAccount refers to OACT FormatCode '%2', which is not in the "
                         u"target company"_s.arg(first.arg(year - 1), stock));
    // Nothing of a failed record is written.
    for (const QString& f : fields.written)
        EXPECT_TRUE(column(*target, u"SELECT %1 FROM OACP WHERE %1 IS NOT NULL"_s.arg(f)).isEmpty())
            << f.toStdString();

    exec(*target,
         u"UPDATE OACT SET FormatCode = N'%1' WHERE AcctCode = N'%2'"_s.arg(stock, stockAccount));
    exec(*base, u"DELETE FROM OACP WHERE PeriodCat = N'Old'"_s);
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(id, MRV_DIInterface::AddAndUpdate), S_OK);
    QStringList targets;
    for (const QStringList& r : logRecords().mid(mark)) {
        EXPECT_EQ(r[Type] + r[Result], u"213402"_s) << r.join(u'|').toStdString();
        targets << r[TargetCode];
    }
    targets.sort();
    QStringList expected{u"Earlier"_s, u"Now"_s};
    if (GetParam().adminRecord)
        expected << u"GLAccountDetermination"_s;
    expected.sort();
    EXPECT_EQ(targets, expected);
    const QString later = first.arg(year + 1);
    for (const QString& f : fields.written) {
        QList<QVariantList> got = rows(*target, fieldByDay(f));
        ASSERT_FALSE(got.isEmpty());
        const QVariantList last = got.takeLast();
        EXPECT_EQ(last.value(0), later);
        EXPECT_TRUE(last.value(1).isNull()) << f.toStdString();
        EXPECT_EQ(got, rows(*base, fieldByDay(f))) << f.toStdString();
    }
    // The target's own accounts took the references.
    EXPECT_EQ(value(*target, u"SELECT StockAccount FROM OACP WHERE PeriodCat = N'Now'"_s),
              stockAccount);
    EXPECT_NE(stockAccount,
              value(*base, u"SELECT StockAccount FROM OACP WHERE PeriodCat = N'%1'"_s.arg(year)));
    for (const QString& f : untouched)
        EXPECT_TRUE(column(*target, u"SELECT %1 FROM OACP WHERE %1 IS NOT NULL"_s.arg(f)).isEmpty())
            << f.toStdString();
    if (GetParam().adminRecord) {
        const QString admin =
            u"SELECT ChangeDefReconARAccounts, TaxDefinitionforVatitem, "
            u"TaxDefinitionforVatservice, ChangeDefReconAPAccounts, WithholdingTaxPHandle, "
            u"TaxGroupforPurchaseItem, TaxGroupforServicePurchase, VendorDdct, "
            u"CustomersDeductionatSource, SHandleWT FROM OADM"_s;
        expectSame(admin);
    }
    // The removal phase of "Replace All" removes nothing; every method
    // updates.
    const qsizetype again = logRecords().size();
    EXPECT_EQ(copy(id, MRV_DIInterface::ReplaceAll), S_OK);
    EXPECT_EQ(logRecords().mid(again).size(), expected.size());
    expectOnlyUpdates(again);
}

INSTANTIATE_TEST_SUITE_P(Categories, FinancePeriodRecords,
                         ::testing::Values(PeriodCase{"Determination", Determination, true},
                                           PeriodCase{"Inventory", InventoryAccounts, false}),
                         [](const ::testing::TestParamInfo<PeriodCase>& info) {
                             return std::string(info.param.name);
                         });

// The determination lists the base's categories and copies those selected;
// the inventory accounts travel whole, without a list.
TEST_F(FinancePeriods, DeterminationIsListedAndSelectedByCategory) {
    QStringList categories;
    for (const MRV_DIDataSet::Row& row : listed(Determination))
        categories << row.keys.value(0).toString();
    EXPECT_EQ(categories, column(*base, u"SELECT PeriodCat FROM OACP ORDER BY PeriodCat"_s));
    const BOMTableList one = read(Determination, {{QString::number(year - 1)}});
    ASSERT_EQ(one.size(), 2);
    EXPECT_EQ(one[0].name, u"OACP");
    ASSERT_EQ(one[0].documents.size(), 1);
    EXPECT_TRUE(one[0].documents[0].xml.contains(u"<PeriodCategory>%1-01-01<"_s.arg(year - 1)));
    EXPECT_EQ(one[1].name, u"OADM");
    // From a configuration file a record is listed by its day.
    const QList<MRV_DIDataSet::Row> fromFile = listed(Determination, &one);
    ASSERT_EQ(fromFile.size(), 1);
    EXPECT_EQ(fromFile[0].description, u"%1-01-01"_s.arg(year - 1));
    EXPECT_EQ(manager(Determination)->writeToTarget(one, MRV_DIInterface::UpdateExisting), S_OK);
    EXPECT_FALSE(
        value(*target, u"SELECT StockAccount FROM OACP WHERE PeriodCat = N'Earlier'"_s).isNull());
    EXPECT_TRUE(
        value(*target, u"SELECT StockAccount FROM OACP WHERE PeriodCat = N'Now'"_s).isNull());
    EXPECT_TRUE(listed(InventoryAccounts).isEmpty());
    EXPECT_EQ(read(InventoryAccounts, {{QString::number(year)}}).value(0).documents.size(), 2);
}

// Rules and scenarios come with the budgets and are added or updated
// whatever the copy method, never removed; budgets follow the copy method
// and find their accounts by formatted code, their scenarios and rules by
// name.
TEST_F(FinancePeriods, BudgetsFollowTheCopyMethodTheirScenariosAndRulesAlwaysArrive) {
    const qsizetype budgets = rows(*base, u"SELECT 1 FROM OBGT"_s).size();
    const qsizetype companions =
        rows(*base, u"SELECT 1 FROM OBGS UNION ALL SELECT 1 FROM OBGD"_s).size();
    ASSERT_GT(budgets, 0);
    EXPECT_EQ(copy(Budget, MRV_DIInterface::UpdateExisting), S_FALSE);
    EXPECT_EQ(logged(u"213"_s, u"403"_s), budgets);
    EXPECT_EQ(logged(u"212"_s, u"402"_s), companions);
    EXPECT_TRUE(rows(*target, BudgetContents).isEmpty());
    expectSame(ScenarioContents);
    expectSame(RuleContents);

    qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(Budget, MRV_DIInterface::AddNew), S_OK);
    expectSame(BudgetContents);
    EXPECT_EQ(loggedSince(mark, u"212402"_s), budgets);
    EXPECT_EQ(loggedSince(mark, u"213402"_s), companions);
    EXPECT_EQ(copy(Budget, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(logged(u"212"_s, u"403"_s), budgets);
    // "Replace All" removes the budgets only.
    mark = logRecords().size();
    EXPECT_EQ(copy(Budget, MRV_DIInterface::ReplaceAll), S_OK);
    EXPECT_EQ(loggedSince(mark, u"404402"_s), budgets);
    expectSame(BudgetContents);
    expectSame(ScenarioContents);
    // A rerun adds and fails nothing.
    mark = logRecords().size();
    EXPECT_EQ(copy(Budget, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(logRecords().mid(mark).size(), budgets + companions);
    expectOnlyUpdates(mark);
}

// A selected budget brings the scenarios up its line and its rule, nothing
// else.
TEST_F(FinancePeriods, ASelectedBudgetBringsOnlyWhatItNames) {
    const QVariantList budget = rows(*base, u"SELECT b.AbsId, d.BgdName FROM OBGT b JOIN OBGS s "
                                            u"ON s.AbsId = b.BudgetScenario JOIN OBGD d ON "
                                            u"d.BgdCode = b.DivisionCode WHERE s.BasedOn IS NOT "
                                            u"NULL ORDER BY 1"_s)
                                    .value(0);
    ASSERT_EQ(budget.size(), 2);
    EXPECT_EQ(copy(Budget, MRV_DIInterface::AddNew, {{budget[0]}}), S_OK);
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM OBGT"_s).size(), 1);
    EXPECT_EQ(column(*target, u"SELECT BgdName FROM OBGD"_s), QStringList{budget[1].toString()});
    EXPECT_EQ(rows(*target, ScenarioContents),
              rows(*base, u"SELECT s.Name, s.FinancYear, p.Name, s.Ratio FROM OBGS s "
                          u"LEFT JOIN OBGS p ON p.AbsId = s.BasedOn WHERE s.AbsId = (SELECT "
                          u"BudgetScenario FROM OBGT WHERE AbsId = %1) OR s.AbsId = (SELECT "
                          u"BasedOn FROM OBGS WHERE AbsId = (SELECT BudgetScenario FROM OBGT "
                          u"WHERE AbsId = %1)) ORDER BY 1"_s.arg(budget[0].toInt())));
}

// Categories of the same name in another template of the target stay that
// template's; a selected template brings only its own categories and
// lines, under the target's next numbers.
TEST_F(FinancePeriods, ATemplatesCategoriesAreKnownWithinTheirTemplate) {
    exec(*target, u"INSERT INTO OFRT (AbsId, Name) VALUES (2, N'Own')"_s);
    exec(*target, u"INSERT INTO OFRC (CatId, TemplateId, Name) VALUES (5, 2, N'Revenue')"_s);
    const QString account = value(*target, u"SELECT MIN(AcctCode) FROM OACT"_s).toString();
    exec(*target,
         u"INSERT INTO FRC1 (TemplateId, CatId, AcctCode) VALUES (2, 5, N'%1')"_s.arg(account));
    const QString own = u"SELECT t.Name, c.CatId, c.Name, l.AcctCode FROM OFRT t JOIN OFRC c ON "
                        u"c.TemplateId = t.AbsId LEFT JOIN FRC1 l ON l.CatId = c.CatId WHERE "
                        u"t.Name = N'Own'"_s;
    const QList<QVariantList> before = rows(*target, own);
    const QVariant profit =
        value(*base, u"SELECT AbsId FROM OFRT WHERE Name = N'Profit and Loss Statement'"_s);
    ASSERT_EQ(copy(ReportTemplates, MRV_DIInterface::AddNew, {{profit}}), S_OK);
    EXPECT_EQ(rows(*target, own), before);
    const QString only = u" WHERE t.Name = N'Profit and Loss Statement'"_s;
    QString contents = TemplateContents;
    contents.insert(contents.indexOf(u" ORDER BY"_s), only);
    expectSame(contents);
    EXPECT_EQ(rows(*target, TemplateContents).size(), rows(*base, contents).size() + 1);
    EXPECT_EQ(value(*target, u"SELECT AbsId FROM OFRT WHERE Name = N'Profit and Loss "
                             u"Statement'"_s)
                  .toInt(),
              3);
    EXPECT_EQ(value(*target, u"SELECT AutoKey FROM ONNM WHERE ObjectCode = '95'"_s).toInt(), 4);
}

// The categories copy on the servers whose SQL differs.
class FinancePeriodsDialects : public ManagerOnServer {};

TEST_P(FinancePeriodsDialects, TheCategoriesCopyOnTheServerType) {
    const int year = value(*base, u"SELECT MAX(PeriodCat) FROM OACP"_s).toInt();
    exec(*target, u"INSERT INTO OACP (PeriodCat, PeriodName, BeginningofFinancialYear) VALUES "
                  u"(N'Prior', N'Prior', '%1-01-01 00:00:00')"_s.arg(year - 1));
    accountsOf(*base, *target, u"SELECT AcctCode FROM OACT"_s);
    addMissing(*base, *target, u"SELECT Code FROM OVTG"_s, u"SELECT Code FROM OVTG"_s,
               u"INSERT INTO OVTG (Code, Name) VALUES (%2, %2)"_s);
    // The templates copy in the table-driven suite.
    expectCopiesOfTheBase({{Determination, fieldByDay(u"DefaultSaleAccount"_s)},
                           {InventoryAccounts, fieldByDay(u"CostOfGoodsSold"_s)},
                           {Budget, BudgetContents}});
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, FinancePeriodsDialects, ::testing::Values(5, 2),
                         serverTypeName);
