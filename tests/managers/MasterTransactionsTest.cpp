#include "ManagerTestSupport.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Trees = u"MRV_TRN_BILLOFMATERIALS_100"_s;
const QString Forecasts = u"MRV_TRN_FORECASTS_100"_s;
const QString ManualEntries = u"MRV_TRN_MANUALJOURNALENTRIES_100"_s;
const QString OpeningBalances = u"MRV_TRN_OPENINGBALANCES_100"_s;
const QString StockPostings = u"MRV_TRN_STOCKPOSTINGS_100"_s;

// A tree with its components, the price lists by name.
const QString TreeContents =
    u"SELECT t.TreeCode, t.TreeType, t.Qauntity, tl.ListName, t.ToWH, t.OcrCode, t.PrcCode, "
    u"t.HideComp, c.Code, c.Quantity, c.Warehouse, c.Price, c.Currency, cl.ListName, "
    u"c.IssueMthd, c.OcrCode, c.PrcCode, c.Comment FROM OITT t LEFT JOIN OPLN tl ON tl.ListNum = "
    u"t.PriceList LEFT JOIN ITT1 c ON c.Father = t.TreeCode LEFT JOIN OPLN cl ON cl.ListNum = "
    u"c.PriceList ORDER BY 1, 9"_s;
const QString ForecastContents =
    u"SELECT f.Code, f.Name, f.StartDate, f.EndDate, f.View, l.ItemCode, l.WhsCode, l.Date, "
    u"l.Quantity FROM OFCT f LEFT JOIN FCT1 l ON l.AbsID = f.AbsID ORDER BY 1, 6, 7, 8, 9"_s;

// The profit centres and distribution rules that records name (a select of
// centre codes and one of rule codes), as rows that travel with them.
QString costAccounting(const QString& centres, const QString& rules) {
    return u"SELECT 1 FROM OPRC WHERE PrcCode IN (%1) OR PrcCode IN (SELECT PrcCode FROM OCR1 "
           u"WHERE OcrCode IN (%2)) UNION ALL SELECT 1 FROM OOCR WHERE OcrCode IN (%2)"_s.arg(
               centres, rules);
}

QString typeOf(const QString& category) {
    return category == OpeningBalances ? u"-2"_s : category == StockPostings ? u"58"_s : u"30"_s;
}

// An entry's lines with everything they name as every company knows it:
// accounts by formatted code, the series by name, a line's partner (its
// own account when it has none) by code.
QString entryContents(const QString& type) {
    return u"SELECT j.TransType, j.RefDate, j.DueDate, j.Ref1, j.Ref2, j.Memo, j.TransCode, "
           u"j.Project, j.Indicator, j.AutoStorno, n.SeriesName, a.FormatCode, CASE WHEN "
           u"l.ShortName = l.Account THEN a.FormatCode ELSE l.ShortName END, l.Debit, l.Credit, "
           u"l.FCDebit, l.FCCredit, l.FCCurrency, l.LineMemo, l.Project, l.ProfitCode, "
           u"l.OcrCode, l.VatGroup FROM OJDT j JOIN JDT1 l ON l.TransId = j.TransId LEFT JOIN "
           u"OACT a ON a.AcctCode = l.Account LEFT JOIN NNM1 n ON n.Series = j.Series WHERE "
           u"j.TransType = '%1' ORDER BY 4, 12, 14, 15"_s.arg(type);
}

// Items, warehouses and currencies under the base's codes, price lists
// under other numbers.
void itemsAndWarehouses(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    currencies(base, target);
    priceLists(base, target);
    copyNamesUnderOtherKeys(base, target, u"SELECT ItemCode FROM OITM"_s,
                            u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%2, %2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT WhsCode FROM OWHS"_s,
                            u"INSERT INTO OWHS (WhsCode, WhsName) VALUES (%2, %2)"_s);
}

} // namespace

// What journal entries name, in the target: the accounts under other
// codes, the entries' series under another number, and the partners,
// projects, codes, tax groups and currencies under the same codes.
void journalReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    currencies(base, target);
    accountsOf(base, target, u"SELECT Account FROM JDT1"_s);
    addMissing(base, target, u"SELECT SeriesName FROM NNM1 WHERE ObjectCode = '30'"_s,
               u"SELECT SeriesName FROM NNM1 WHERE ObjectCode = '30'"_s,
               u"INSERT INTO NNM1 (ObjectCode, Series, SeriesName) VALUES ('30', %1, %2)"_s);
    addMissing(base, target, u"SELECT DISTINCT ShortName FROM JDT1 WHERE ShortName <> Account"_s,
               u"SELECT CardCode FROM OCRD"_s,
               u"INSERT INTO OCRD (CardCode, CardName, CardType) VALUES (%2, %2, 'C')"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT TrnsCode FROM OTRC"_s,
                            u"INSERT INTO OTRC (TrnsCode) VALUES (%2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT PrjCode FROM OPRJ"_s,
                            u"INSERT INTO OPRJ (PrjCode, PrjName) VALUES (%2, %2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT Code FROM OIND"_s,
                            u"INSERT INTO OIND (Code) VALUES (%2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT Code FROM OVTG"_s,
                            u"INSERT INTO OVTG (Code, Name) VALUES (%2, %2)"_s);
}

QList<ManagerCase> masterTransactionCases() {
    const QString entryCentres = u"SELECT ProfitCode FROM JDT1 l JOIN OJDT j ON j.TransId = "
                                 u"l.TransId WHERE j.TransType = '%1'"_s;
    const QString entryRules = u"SELECT OcrCode FROM JDT1 l JOIN OJDT j ON j.TransId = "
                               u"l.TransId WHERE j.TransType = '%1'"_s;
    QList<ManagerCase> cases{
        {"BillsOfMaterials", Trees, TreeContents, u"SELECT 1 FROM OITT"_s, itemsAndWarehouses,
         QString(), QString(), 0, true,
         // The centres and rules stay and are updated.
         u"SELECT 1 FROM OITT"_s,
         costAccounting(u"SELECT PrcCode FROM OITT UNION SELECT PrcCode FROM ITT1"_s,
                        u"SELECT OcrCode FROM OITT UNION SELECT OcrCode FROM ITT1"_s)},
        {"Forecasts", Forecasts, ForecastContents, u"SELECT 1 FROM OFCT"_s, itemsAndWarehouses,
         u"INSERT INTO OFCT (AbsID, Code, Name, StartDate, EndDate) VALUES (%1, %3, %2, "
         u"'2024-01-01 00:00:00', '2024-06-30 00:00:00')"_s,
         u"SELECT Name FROM OFCT"_s, 100, false},
    };
    for (const auto& [name, category] :
         {std::pair{"ManualJournalEntries", ManualEntries},
          std::pair{"OpeningBalances", OpeningBalances}, std::pair{"StockPostings", StockPostings}})
        // Posted entries are never removed: a second "Replace All" finds
        // every entry there already.
        cases << ManagerCase{
            name,
            category,
            entryContents(typeOf(category)),
            u"SELECT 1 FROM OJDT WHERE TransType = '%1'"_s.arg(typeOf(category)),
            journalReferences,
            QString(),
            QString(),
            0,
            true,
            u"SELECT 1 FROM OJDT WHERE 1 = 0"_s,
            costAccounting(entryCentres.arg(typeOf(category)), entryRules.arg(typeOf(category)))};
    return cases;
}

namespace {

// Each target entry of the type whose debits and credits differ.
QStringList unbalancedEntries(LLObjectsCOM::Company& company) {
    return EngineWorld::column(company, u"SELECT TransId FROM JDT1 GROUP BY TransId HAVING "
                                        u"ROUND(SUM(Debit), 6) <> ROUND(SUM(Credit), 6)"_s);
}

} // namespace

class MasterTransactions : public ManagerOnServer {
protected:
    void SetUp() override {
        ManagerOnServer::SetUp();
        journalReferences(*base, *target);
        itemsAndWarehouses(*base, *target);
    }
    qsizetype entries(LLObjectsCOM::Company& company, const QString& type) {
        return rows(company, u"SELECT 1 FROM OJDT WHERE TransType = '%1'"_s.arg(type)).size();
    }
};

// The entries' lines arrive without the system-currency amounts: the target
// computes its own. (That each variant's entries arrive whole under the
// target's accounts the table-driven suites compare.)
TEST_P(MasterTransactions, TheTargetComputesTheSystemCurrencyAmounts) {
    for (const QString& category : {ManualEntries, OpeningBalances, StockPostings})
        EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    EXPECT_FALSE(rows(*target, u"SELECT 1 FROM JDT1"_s).isEmpty());
    EXPECT_TRUE(
        column(*target, u"SELECT 1 FROM JDT1 WHERE DebitSys <> 0 OR CreditSys <> 0"_s).isEmpty())
        << "the target computes the system-currency amounts";
}

// An entry whose lines do not balance fails whole with the reason, and so
// does one whose account the target lacks; nothing of either is written,
// the other entries arrive.
TEST_P(MasterTransactions, AnEntryThatCannotBeWrittenWholeIsNotWrittenAtAll) {
    const QStringList ids =
        column(*base, u"SELECT TransId FROM OJDT WHERE TransType = '30' ORDER BY TransId"_s);
    ASSERT_GT(ids.size(), 3);
    exec(*base,
         u"UPDATE JDT1 SET Debit = Debit + 0.01 WHERE TransId = %1 AND LineNum = 0"_s.arg(ids[0]));
    // The last line's account of another entry is not in the target.
    const QString account =
        column(*base, u"SELECT a.FormatCode FROM JDT1 l JOIN OACT a ON a.AcctCode = l.Account "
                      u"WHERE l.TransId = %1 ORDER BY l.LineNum DESC"_s.arg(ids[1]))
            .value(0);
    ASSERT_FALSE(account.isEmpty());
    const QStringList usingIt = column(
        *base,
        u"SELECT DISTINCT l.TransId FROM JDT1 l JOIN OACT a ON a.AcctCode = l.Account JOIN "
        u"OJDT j ON j.TransId = l.TransId WHERE j.TransType = '30' AND a.FormatCode = %1"_s.arg(
            lit(account)));
    exec(*target, u"DELETE FROM OACT WHERE FormatCode = %1"_s.arg(lit(account)));
    const qsizetype lines = rows(*base, u"SELECT 1 FROM JDT1 l JOIN OJDT j ON j.TransId = "
                                        u"l.TransId WHERE j.TransType = '30'"_s)
                                .size();

    EXPECT_EQ(copy(ManualEntries, MRV_DIInterface::AddAndUpdate), S_FALSE);
    QStringList failedCodes;
    for (const QStringList& r : logRecords())
        if (r[Result] == u"403") {
            failedCodes << r[BaseCode];
            if (r[BaseCode] == ids[0])
                EXPECT_TRUE(r[Error].contains(u"does not balance"_s)) << r[Error].toStdString();
            else
                EXPECT_TRUE(r[Error].contains(u"OACT"_s) && r[Error].contains(account))
                    << r[Error].toStdString();
        }
    QStringList expected = usingIt;
    if (!expected.contains(ids[0]))
        expected << ids[0];
    expected.sort();
    failedCodes.sort();
    EXPECT_EQ(failedCodes, expected);
    EXPECT_EQ(entries(*target, u"30"_s), ids.size() - expected.size());
    // No line without its entry, no entry without all its lines.
    EXPECT_TRUE(column(*target, u"SELECT 1 FROM JDT1 WHERE TransId NOT IN (SELECT TransId FROM "
                                u"OJDT)"_s)
                    .isEmpty());
    qsizetype missingLines = 0;
    for (const QString& id : expected)
        missingLines += rows(*base, u"SELECT 1 FROM JDT1 WHERE TransId = %1"_s.arg(id)).size();
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM JDT1"_s).size(), lines - missingLines);
    EXPECT_TRUE(unbalancedEntries(*target).isEmpty());
}

// Stock postings arrive as such; the target's own entries, also those
// numbered after the entries added, keep their types.
TEST_P(MasterTransactions, OnlyTheEntriesAddedTakeTheStockPostingType) {
    const QString account = column(*target, u"SELECT MIN(AcctCode) FROM OACT"_s).value(0);
    for (int id : {700, 900})
        exec(*target, u"INSERT INTO OJDT (TransId, TransType, RefDate, Memo) VALUES (%1, '30', "
                      u"'2024-05-01 00:00:00', 'Own entry')"_s.arg(id));
    exec(*target, u"UPDATE ONNM SET AutoKey = 800 WHERE ObjectCode = '30'"_s);
    ASSERT_FALSE(account.isEmpty());
    ASSERT_EQ(copy(StockPostings, MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(column(*target, u"SELECT TransType FROM OJDT WHERE Memo = 'Own entry' ORDER BY "
                              u"TransId"_s),
              (QStringList{u"30"_s, u"30"_s}));
    EXPECT_EQ(entries(*target, u"58"_s), entries(*base, u"58"_s));
    EXPECT_EQ(entries(*target, u"30"_s), 2);
}

// A target that holds some of the entries already, one of them changed
// there: the unchanged one is recognised, the changed one is a different
// entry and is added.
TEST_P(MasterTransactions, AnEntryIsRecognisedByWhatItPosts) {
    const QStringList ids =
        column(*base, u"SELECT TransId FROM OJDT WHERE TransType = '-2' ORDER BY TransId"_s);
    ASSERT_GT(ids.size(), 2);
    ASSERT_EQ(copy(OpeningBalances, MRV_DIInterface::AddNew, {{ids[0].toInt()}, {ids[1].toInt()}}),
              S_OK);
    exec(*target, u"UPDATE JDT1 SET Debit = Debit * 2, Credit = Credit * 2 WHERE TransId = (SELECT "
                  u"MIN(TransId) FROM OJDT)"_s);
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(OpeningBalances, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(entries(*target, u"-2"_s), ids.size() + 1);
    EXPECT_EQ(loggedSince(mark, u"213402"_s), 1);
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, MasterTransactions, ::testing::Values(6, 5, 2),
                         anyServerTypeName);

class MasterTrees : public ManagerCompanies {
protected:
    void SetUp() override {
        ManagerCompanies::SetUp();
        itemsAndWarehouses(*base, *target);
    }
};

// The grid shows the tree's quantity under its proper name.
TEST_F(MasterTrees, TheQuantityColumnIsNamedProperly) {
    const auto trees = manager(Trees);
    const QList<MRV_DIDataSet::Column> columns = trees->listFromDatabase()->columns();
    const auto quantity = std::ranges::find(columns, u"Qauntity"_s, &MRV_DIDataSet::Column::name);
    ASSERT_NE(quantity, columns.end());
    EXPECT_EQ(quantity->description, u"Quantity"_s);
}

// Into a target that holds some trees with other values: they take the
// base's, under the target's price lists; a tree whose component the
// target lacks fails naming it, the others arrive.
TEST_F(MasterTrees, TreesAreUpdatedAndAMissingComponentIsNamed) {
    const QString first = column(*base, u"SELECT MIN(TreeCode) FROM OITT"_s).value(0);
    ASSERT_EQ(copy(Trees, MRV_DIInterface::AddNew, {{first}}), S_OK);
    exec(*target,
         u"UPDATE OITT SET Qauntity = 99, TreeType = 'T' WHERE TreeCode = %1"_s.arg(lit(first)));
    const QString component =
        column(*base, u"SELECT MAX(Code) FROM ITT1 WHERE Father <> %1"_s.arg(lit(first))).value(0);
    const QStringList needing =
        column(*base, u"SELECT DISTINCT Father FROM ITT1 WHERE Code = %1"_s.arg(lit(component)));
    exec(*target, u"DELETE FROM OITM WHERE ItemCode = %1"_s.arg(lit(component)));
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(Trees, MRV_DIInterface::AddAndUpdate), S_FALSE);
    QStringList failed;
    for (const QStringList& r : logRecords().mid(mark))
        if (r[Result] == u"403") {
            failed << r[BaseCode];
            EXPECT_TRUE(r[Error].contains(u"OITM"_s) && r[Error].contains(component))
                << r[Error].toStdString();
        }
    EXPECT_EQ(failed, needing);
    const QString others = TreeContents.left(TreeContents.indexOf(u" ORDER BY"_s)) +
                           u" WHERE t.TreeCode NOT IN (SELECT Father FROM ITT1 WHERE Code = %1) "
                           u"ORDER BY 1, 9"_s.arg(lit(component));
    expectSame(others);
    EXPECT_FALSE(needing.contains(first));
}
