#include "ManagerTestSupport.h"
#include "xml/MRV_XmlString.h"

#include <QRegularExpression>
#include <list>

// Every manager, read from the standard company and written into the empty
// one with each copy method: afterwards the target holds what the base
// holds (by names, not keys), and the log has one line per record.
class ManagerCopy : public ManagerWorld, public ::testing::WithParamInterface<ManagerCase> {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies();
        GetParam().prepare(*base, *target);
        count = rows(*base, GetParam().records).size();
        ASSERT_GT(count, 0);
        if (!GetParam().companions.isEmpty())
            count += rows(*base, GetParam().companions).size();
        if (!GetParam().steady.isEmpty())
            for (const QString& code : column(*base, GetParam().steady))
                steadyCodes.insert(code);
    }
    // The log's lines but those of the rows the category writes whatever the
    // copy method, which must all have added or updated a row.
    QList<QStringList> caseLines() const {
        QList<QStringList> lines;
        for (const QStringList& r : logRecords()) {
            if (!steadyCodes.contains(r[BaseCode])) {
                lines << r;
                continue;
            }
            EXPECT_EQ(r[Result], u"402") << r.join(u'|').toStdString();
            EXPECT_NE(r[Type], u"404") << r.join(u'|').toStdString();
        }
        return lines;
    }
    QList<QVariantList> contents(LLObjectsCOM::Company& company) {
        return caseContents(company, GetParam());
    }
    HRESULT copyAll(int method) { return copy(GetParam().categoryId, method); }
    // Log lines of a type and result written since the log held `since`.
    qsizetype since(qsizetype from, const QString& type, const QString& result) {
        const QList<QStringList> records = caseLines();
        qsizetype n = 0;
        for (qsizetype i = from; i < records.size(); ++i) {
            EXPECT_EQ(records[i][Category], GetParam().categoryId);
            n += records[i][Type] == type && records[i][Result] == result;
        }
        return n;
    }
    qsizetype count = 0;
    QSet<QString> steadyCodes;
};

TEST_P(ManagerCopy, UpdateExistingNeverAdds) {
    const QList<QVariantList> before = contents(*target);
    EXPECT_EQ(copyAll(MRV_DIInterface::UpdateExisting), S_FALSE);
    EXPECT_EQ(contents(*target), before);
    EXPECT_EQ(since(0, QStringLiteral("213"), QStringLiteral("403")), count);
    EXPECT_EQ(caseLines().size(), count);

    ASSERT_EQ(copyAll(MRV_DIInterface::AddNew), S_OK);
    const qsizetype mark = caseLines().size();
    EXPECT_EQ(copyAll(MRV_DIInterface::UpdateExisting), S_OK);
    EXPECT_EQ(since(mark, QStringLiteral("213"), QStringLiteral("402")), count);
    EXPECT_EQ(contents(*target), contents(*base));
}

TEST_P(ManagerCopy, AddNewAddsOnceAndRefusesWhatExists) {
    // The grid lists the base's records, one row each.
    EXPECT_EQ(listed(GetParam().categoryId).size(), rows(*base, GetParam().records).size());
    EXPECT_EQ(copyAll(MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(contents(*target), contents(*base));
    EXPECT_EQ(since(0, QStringLiteral("212"), QStringLiteral("402")), count);
    const qsizetype mark = caseLines().size();
    EXPECT_EQ(copyAll(MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(since(mark, QStringLiteral("212"), QStringLiteral("403")), count);
    EXPECT_EQ(contents(*target), contents(*base));
}

TEST_P(ManagerCopy, AddAndUpdateAddsThenUpdates) {
    EXPECT_EQ(copyAll(MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(since(0, QStringLiteral("212"), QStringLiteral("402")), count);
    const qsizetype mark = caseLines().size();
    EXPECT_EQ(copyAll(MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(since(mark, QStringLiteral("213"), QStringLiteral("402")), count);
    EXPECT_EQ(contents(*target), contents(*base));
}

TEST_P(ManagerCopy, ReplaceAllRemovesThenWrites) {
    // Into the empty target: nothing to remove.
    EXPECT_EQ(copyAll(MRV_DIInterface::ReplaceAll), S_OK);
    EXPECT_EQ(since(0, QStringLiteral("404"), QStringLiteral("402")), 0);
    EXPECT_EQ(since(0, QStringLiteral("212"), QStringLiteral("402")), count);
    EXPECT_EQ(contents(*target), contents(*base));
    // Again: every record is removed and written anew, but those that
    // must stay, which are updated.
    const qsizetype removable =
        GetParam().removable.isEmpty() ? count : rows(*target, GetParam().removable).size();
    const qsizetype mark = caseLines().size();
    EXPECT_EQ(copyAll(MRV_DIInterface::ReplaceAll), S_OK);
    EXPECT_EQ(since(mark, QStringLiteral("404"), QStringLiteral("402")), removable);
    EXPECT_EQ(since(mark, QStringLiteral("212"), QStringLiteral("402")), removable);
    EXPECT_EQ(since(mark, QStringLiteral("213"), QStringLiteral("402")), count - removable);
    EXPECT_EQ(contents(*target), contents(*base));
}

namespace {

// Each suite's categories, and those its dialect run copies when not all.
struct Suite {
    const char* name;
    QList<ManagerCase> (*cases)();
    QList<ManagerCase> (*dialectCases)() = nullptr;
};
void PrintTo(const Suite& suite, std::ostream* os) {
    *os << suite.name;
}
const Suite Suites[] = {{"Managers", &managerCases},
                        {"FinanceAccounts", &financeAccountCases},
                        {"FinancePeriods", &financePeriodCases},
                        {"MasterItemsGroups", &masterItemsGroupCases},
                        {"MasterPriceLists", &masterPriceListCases},
                        {"MasterTransactions", &masterTransactionCases},
                        {"MasterDefaults", &masterDefaultsCases},
                        {"UserSettings", &userSettingsCases},
                        {"MasterItems", &masterItemCases},
                        {"MasterPartners", &masterPartnerCases},
                        {"CustomQueries", &customQueryCases},
                        {"CustomUserTables", &customUserTableCases},
                        {"Users", &userCases, &userDialectCases}};

// Every suite's cases, each named by its suite and its own name.
std::vector<ManagerCase> everyCase() {
    static std::list<std::string> names; // the cases point into them
    std::vector<ManagerCase> all;
    for (const Suite& suite : Suites)
        for (ManagerCase c : suite.cases()) {
            c.name = names.emplace_back(std::string(suite.name) + '_' + c.name).c_str();
            all.push_back(std::move(c));
        }
    return all;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Suites, ManagerCopy, ::testing::ValuesIn(everyCase()),
                         [](const auto& info) { return std::string(info.param.name); });

// Each suite's categories copied into one target on the servers whose SQL
// differs, each added and updated, then replaced: every line succeeds, the
// target holds what the base holds, also of the categories copied before,
// and each category lists the base's records.
class ManagerDialects : public ManagerWorld,
                        public ::testing::WithParamInterface<std::tuple<Suite, int>> {};

TEST_P(ManagerDialects, EveryManagerCopiesOnTheServerType) {
    makeCompanies(std::get<1>(GetParam()));
    ASSERT_EQ(target->ServerType(), std::get<1>(GetParam()));
    const Suite& suite = std::get<0>(GetParam());
    const QList<ManagerCase> cases = (suite.dialectCases ? suite.dialectCases : suite.cases)();
    for (const ManagerCase& c : cases) {
        c.prepare(*base, *target);
        EXPECT_EQ(copy(c.categoryId, MRV_DIInterface::AddAndUpdate), S_OK) << c.name;
        EXPECT_EQ(copy(c.categoryId, MRV_DIInterface::ReplaceAll), S_OK) << c.name;
        const auto lister = manager(c.categoryId); // the data set lives in its manager
        EXPECT_EQ(lister->listFromDatabase()->rows().size(), rows(*base, c.records).size())
            << c.name;
    }
    for (const ManagerCase& c : cases)
        EXPECT_EQ(caseContents(*target, c), caseContents(*base, c)) << c.name;
    for (const QStringList& r : logRecords())
        EXPECT_EQ(r[Result], "402") << r.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ServerTypes, ManagerDialects,
    ::testing::Combine(::testing::ValuesIn(Suites), ::testing::Values(5, 2)), [](const auto& info) {
        return std::get<0>(info.param).name + serverTypeName({std::get<1>(info.param), info.index});
    });

// Records named with hostile text arrive with exactly that name, through
// every manager; the only ones refused are those without a required name,
// each with its own failed line.
TEST_P(ManagerCopy, HostileNamesArriveUnchanged) {
    if (GetParam().insertNamed.isEmpty())
        GTEST_SKIP() << "the category's records have no name of their own";
    QStringList values;
    QSet<QString> folded; // one name on a server that ignores case
    for (const QString& v : nastyStrings())
        if (isXmlText(v) && v.size() <= GetParam().nameWidth &&
            !folded.contains(v.toCaseFolded())) {
            folded.insert(v.toCaseFolded());
            values << v;
        }
    ASSERT_GT(values.size(), 50);
    for (int i = 0; i < values.size(); ++i) {
        const QString code = QStringLiteral("Q%1").arg(i, 2, 10, QLatin1Char('0'));
        // The name goes in last, so that nothing in it is taken for a
        // placeholder.
        QString insert = GetParam().insertNamed;
        insert.replace(QStringLiteral("%1"), QString::number(600 + i));
        insert.replace(QStringLiteral("%3"), lit(code));
        insert.replace(QStringLiteral("%2"), lit(values[i]));
        exec(*base, insert);
    }
    const bool required = GetParam().nameRequired;
    QStringList expected = column(*base, GetParam().names);
    if (required)
        expected.removeAll(QString());
    expected.sort();
    EXPECT_EQ(copyAll(MRV_DIInterface::AddNew), required ? S_FALSE : S_OK);
    QStringList arrived = column(*target, GetParam().names);
    for (const QString& v : values)
        EXPECT_EQ(arrived.contains(v), !v.isEmpty() || !required) << v.toStdString();
    // The category's records came, each once, and nothing else.
    arrived.sort();
    EXPECT_EQ(arrived, expected);
    const QList<QStringList> records = caseLines();
    EXPECT_EQ(records.size(), count + values.size());
    qsizetype failed = 0;
    for (const QStringList& r : records)
        if (r[Result] == u"403") {
            ++failed;
            // The host's refusal, with its error code.
            EXPECT_TRUE(
                QRegularExpression(QStringLiteral("^-\\d+: ")).match(r.value(Error)).hasMatch())
                << r.value(Error).toStdString();
        }
    EXPECT_EQ(failed, required ? 1 : 0);
}
