#include "ManagerTestSupport.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QString Segmentation = u"MRV_TRN_ACCTSEGMENTATION_100"_s;
const QString SegmentCodes = u"MRV_TRN_SEGMENTCODES_100"_s;
const QString Titles = u"MRV_TRN_COATITLES_100"_s;
const QString Accounts = u"MRV_TRN_ACCOUNTS_100"_s;
const QString PostingPeriods = u"MRV_TRN_POSTPER_100"_s;

// Two drawers of every company under other codes in the target: what names
// them must be translated. (A formatted code names one account only.)
void drawers(LLObjectsCOM::Company&, LLObjectsCOM::Company& target) {
    EngineWorld::exec(target, u"UPDATE OACT SET AcctCode = N'M' || AcctCode WHERE AcctCode IN "
                              u"(N'6', N'7')"_s);
}

void segments(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    addRows(base, target, u"SELECT AbsId, Name FROM OASG"_s,
            u"INSERT INTO OASG (AbsId, Name) VALUES (%2, %3)"_s);
}

// Titles and accounts by formatted code, with their father's formatted code
// and their category's name.
const QString TitleContents =
    u"SELECT t.FormatCode, t.AcctName, p.FormatCode, t.Levels, t.GrpLine, t.GroupMask "
    u"FROM OACT t LEFT JOIN OACT p ON p.AcctCode = t.FatherNum "
    u"WHERE t.Postable = 'N' AND t.Levels <> 1 ORDER BY 1"_s;
const QString AccountContents =
    u"SELECT a.FormatCode, a.AcctName, a.FrgnName, p.FormatCode, a.Levels, a.ActType, a.ActCurr, "
    u"g.Name, a.LocManTran, a.Finanse, a.RevalMatch, a.Budget, a.Project FROM OACT a "
    u"LEFT JOIN OACT p ON p.AcctCode = a.FatherNum LEFT JOIN OACG g ON g.AbsId = a.Category "
    u"WHERE a.Postable = 'Y' AND a.AcctCode NOT LIKE '\\_SYS%' ESCAPE '\\' ORDER BY 1"_s;
const QString PeriodContents =
    u"SELECT c.PeriodCat, c.PeriodName, c.BeginningofFinancialYear, c.NumberOfPeriods, "
    u"c.SubPeriodType, p.Code, p.Name, p.SubNum, p.PostFrom, p.PostTo, p.Status FROM OACP c "
    u"LEFT JOIN OFPR p ON p.PeriodCat = c.PeriodCat ORDER BY 1, 6"_s;

} // namespace

QList<ManagerCase> financeAccountCases() {
    return {
        {"AccountSegmentation", Segmentation,
         u"SELECT AbsId, Name, Size, Type FROM OASG ORDER BY 1"_s, u"SELECT 1 FROM OASG"_s,
         [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {},
         u"INSERT INTO OASG (AbsId, Name) VALUES (%1, %2)"_s, u"SELECT Name FROM OASG"_s, 30},
        {"SegmentCodes", SegmentCodes,
         u"SELECT g.Name, c.Code, c.Name, c.ShortName FROM OASC c "
         u"LEFT JOIN OASG g ON g.AbsId = c.SegmentId ORDER BY 1, 2"_s,
         u"SELECT 1 FROM OASC"_s, segments,
         u"INSERT INTO OASC (SegmentId, Code, Name) VALUES (1, %3, %2)"_s,
         u"SELECT Name FROM OASC"_s, 100, false},
        // Titles are added and updated, never removed; drawers never travel.
        {"COATitles", Titles, TitleContents,
         u"SELECT 1 FROM OACT WHERE Postable = 'N' AND Levels <> 1"_s, drawers,
         u"INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, GroupMask, "
         u"Postable) VALUES (%3, %2, %3, N'1', 2, 1, 'N')"_s,
         u"SELECT AcctName FROM OACT WHERE Postable = 'N' AND Levels <> 1"_s, 100, true,
         u"SELECT 1 FROM OACT WHERE 1 = 0"_s},
    };
}

class FinanceAccounts : public ManagerCompanies {
protected:
    void SetUp() override {
        ManagerCompanies::SetUp();
        drawers(*base, *target);
        ASSERT_EQ(copy(Titles, MRV_DIInterface::AddNew), S_OK);
        // Accounts name projects.
        ASSERT_EQ(copy(u"MRV_TRN_PROJECTS_100"_s, MRV_DIInterface::AddNew), S_OK);
    }
    qsizetype failureCount() const {
        return logged(u"212"_s, u"403"_s) + logged(u"213"_s, u"403"_s);
    }
};

// Whatever the copy method, accounts are added and updated and none is
// removed; categories arrive first and accounts name them by name.
TEST_F(FinanceAccounts, AccountsAreAlwaysAddedAndUpdatedAndNeverRemoved) {
    // A category of the target's own, and an account only the target has.
    exec(*target, u"INSERT INTO OACG (AbsId, Name) VALUES (7, N'Mine')"_s);
    exec(*target,
         u"INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, "
         u"Postable, Category) VALUES (N'999999', N'Own', N'999999', N'621', 4, 'Y', 7)"_s);
    const qsizetype accounts = rows(*base, u"SELECT 1 FROM OACT WHERE Postable = 'Y'"_s).size();
    // Categories follow the copy method: added first, then updated.
    for (const int method : {3, 2, 1, 4}) {
        const qsizetype mark = logRecords().size();
        EXPECT_EQ(copy(Accounts, method), S_OK) << method << failures();
        EXPECT_EQ(rows(*target, AccountContents).size(), rows(*base, AccountContents).size() + 1);
        EXPECT_EQ(value(*target, u"SELECT AcctName FROM OACT WHERE AcctCode = N'999999'"_s), "Own");
        qsizetype written = 0;
        for (const QStringList& r : logRecords().mid(mark))
            written += r[Category] == Accounts && r[Type] != u"404" && r[Result] == u"402";
        EXPECT_GE(written, accounts) << method;
    }
    exec(*target, u"DELETE FROM OACT WHERE AcctCode = N'999999'"_s);
    expectSame(AccountContents);
    EXPECT_EQ(logged(u"404"_s, u"403"_s), 0);
    EXPECT_EQ(failureCount(), 0);
    // The category the target's account named stayed through the removal.
    EXPECT_EQ(column(*target, u"SELECT Name FROM OACG WHERE AbsId = 7"_s), QStringList{u"Mine"_s});
    // A rerun adds nothing and fails nothing.
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(Accounts, MRV_DIInterface::AddAndUpdate), S_OK);
    expectOnlyUpdates(mark);
}

// In a target that numbers accounts by segments an account is the target's
// account of the same formatted code, whatever its code there; without
// segmentation the code names it.
TEST_F(FinanceAccounts, TheTargetsAccountOfTheSameFormattedCodeIsUpdated) {
    const QString insert =
        u"INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, Postable) "
        u"VALUES (N'S-1', N'Segmented', N'111100', N'111', 4, 'Y')"_s;
    exec(*target, insert);
    exec(*target, u"UPDATE OADM SET EnableAccountSegmentation = 'Y'"_s);
    ASSERT_EQ(copy(Accounts, MRV_DIInterface::AddAndUpdate, {{u"111100"_s}}), S_OK);
    EXPECT_EQ(column(*target, u"SELECT AcctCode FROM OACT WHERE FormatCode = N'111100'"_s),
              QStringList{u"S-1"_s});
    EXPECT_EQ(value(*target, u"SELECT AcctName FROM OACT WHERE AcctCode = N'S-1'"_s), "Petty Cash");
    // Without segmentation the base's code is the account: it is added.
    exec(*target, u"UPDATE OADM SET EnableAccountSegmentation = 'N'"_s);
    exec(*target, u"UPDATE OACT SET FormatCode = N'X-1' WHERE AcctCode = N'S-1'"_s);
    ASSERT_EQ(copy(Accounts, MRV_DIInterface::AddAndUpdate, {{u"111100"_s}}), S_OK);
    EXPECT_EQ(column(*target, u"SELECT AcctCode FROM OACT WHERE FormatCode = N'111100'"_s),
              QStringList{u"111100"_s});
}

// An account with postings keeps its kind and currency: the host refuses
// the change, the record fails with its reason and the others arrive.
TEST_F(FinanceAccounts, APostedAccountTheCopyWouldChangeFailsAlone) {
    ASSERT_EQ(copy(Accounts, MRV_DIInterface::AddNew), S_OK);
    exec(*target, u"INSERT INTO JDT1 (TransId, LineNum, Account, ShortName, Debit) "
                  u"VALUES (1, 0, N'111100', N'111100', 10)"_s);
    exec(*base, u"UPDATE OACT SET ActCurr = '##', AcctName = N'Petty' WHERE AcctCode = '111100'"_s);
    exec(*base,
         u"UPDATE OACT SET ActCurr = '##', AcctName = N'Checks' WHERE AcctCode = '111200'"_s);
    const qsizetype mark = logRecords().size();
    const QString postings = u"SELECT Account || ':' || SUM(Debit) || ':' || SUM(Credit) FROM JDT1 "
                             u"GROUP BY Account ORDER BY Account"_s;
    const QStringList baseBalances = column(*base, postings);
    EXPECT_EQ(copy(Accounts, MRV_DIInterface::AddAndUpdate), S_FALSE);
    // The journal's balances, the base's and the target's, are untouched.
    EXPECT_EQ(column(*base, postings), baseBalances);
    EXPECT_EQ(column(*target, postings), QStringList{u"111100:10.0:0.0"_s});
    const QStringList failed = failedLines(mark);
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(QRegularExpression(u"^111100: -\\d+: AccountCurrency cannot change while the "
                                   u"record is used in JDT1$"_s)
                    .match(failed.first())
                    .hasMatch())
        << failed.first().toStdString();
    EXPECT_EQ(value(*target, u"SELECT AcctName FROM OACT WHERE AcctCode = N'111100'"_s),
              "Petty Cash");
    EXPECT_EQ(value(*target, u"SELECT AcctName FROM OACT WHERE AcctCode = N'111200'"_s), "Checks");
    EXPECT_EQ(value(*target, u"SELECT ActCurr FROM OACT WHERE AcctCode = N'111200'"_s), "##");
}

// The transport account goes with the accounts' write, unless a tax object
// still names it; then it stays and the category does not fail.
TEST_F(FinanceAccounts, TheTransportAccountGoesUnlessATaxObjectNamesIt) {
    const QString transport = u"SELECT AcctCode FROM OACT WHERE AcctCode = 'MVTRANSACCT'"_s;
    exec(*target, u"INSERT INTO OACT (AcctCode, AcctName) VALUES ('MVTRANSACCT', "
                  u"'Mirrova transport account')"_s);
    exec(*target, u"INSERT INTO OSTT (AbsId, Name, Account) VALUES (1, N'Kind', 'MVTRANSACCT')"_s);
    EXPECT_EQ(copy(Accounts, MRV_DIInterface::AddAndUpdate, {{u"111100"_s}}), S_OK);
    EXPECT_EQ(column(*target, transport).size(), 1);
    exec(*target, u"UPDATE OSTT SET Account = N'111100'"_s);
    EXPECT_EQ(copy(Accounts, MRV_DIInterface::AddAndUpdate, {{u"111100"_s}}), S_OK);
    EXPECT_TRUE(column(*target, transport).isEmpty());
}

// A code is listed with its segment.
TEST_F(FinanceAccounts, SegmentCodesAreListedWithTheirSegment) {
    QStringList descriptions;
    for (const MRV_DIDataSet::Row& row : listed(SegmentCodes))
        descriptions << row.description;
    EXPECT_TRUE(descriptions.contains(u"Region: East"_s)) << descriptions.join(u", ").toStdString();
}

// Categories arrive with their sub-periods; a category is the target's of
// the same code and a new sub-period takes the target's next entry.
TEST_F(FinanceAccounts, PostingPeriodsArriveWithTheirSubPeriods) {
    const qsizetype periods = rows(*base, u"SELECT 1 FROM OFPR"_s).size();
    const qsizetype categories = rows(*base, u"SELECT 1 FROM OACP"_s).size();
    ASSERT_GT(categories, rows(*target, u"SELECT 1 FROM OACP"_s).size());
    EXPECT_EQ(copy(PostingPeriods, MRV_DIInterface::AddNew), S_FALSE); // the shared year fails
    EXPECT_EQ(copy(PostingPeriods, MRV_DIInterface::AddAndUpdate), S_OK);
    expectSame(PeriodContents);
    EXPECT_EQ(value(*target, u"SELECT COUNT(DISTINCT AbsEntry) FROM OFPR"_s).toInt(), periods);
    const qsizetype mark = logRecords().size();
    exec(*base, u"UPDATE OFPR SET Name = N'<&\"x>' WHERE SubNum = 3"_s);
    EXPECT_EQ(copy(PostingPeriods, MRV_DIInterface::UpdateExisting), S_OK);
    expectSame(PeriodContents);
    EXPECT_EQ(logRecords().size() - mark, periods + categories);
    EXPECT_EQ(logged(u"212"_s, u"403"_s), 13); // the category and its twelve periods
    // Without its second entry nothing is written, and the line says why.
    BOMTableList tables = read(PostingPeriods);
    ASSERT_EQ(tables.size(), 2);
    tables.removeLast();
    exec(*target, u"DELETE FROM OFPR"_s);
    EXPECT_EQ(manager(PostingPeriods)->writeToTarget(tables, MRV_DIInterface::AddAndUpdate),
              E_FAIL);
    EXPECT_TRUE(column(*target, u"SELECT Code FROM OFPR"_s).isEmpty());
    EXPECT_TRUE(logRecords().last().value(Error).contains(u"OACP and OFPR; 1 given"_s));
}

// The chart of accounts on the servers whose SQL differs.
class FinanceAccountsDialects : public ManagerOnServer {};

TEST_P(FinanceAccountsDialects, TheChartCopiesOnTheServerType) {
    drawers(*base, *target);
    ASSERT_EQ(copy(u"MRV_TRN_PROJECTS_100"_s, MRV_DIInterface::AddNew), S_OK);
    // The categories that do not fit the table-driven suites (the titles
    // for the accounts).
    expectCopiesOfTheBase(
        {{Titles, TitleContents}, {Accounts, AccountContents}, {PostingPeriods, PeriodContents}});
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, FinanceAccountsDialects, ::testing::Values(5, 2),
                         serverTypeName);
