#include "ManagerTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString ItemPrices = u"MRV_TRN_PRICELISTSLEAF_100"_s;

// Prices by item code and list name, never by list number.
const QString PriceContents = u"SELECT p.ItemCode, l.ListName, p.Price, p.Currency FROM ITM1 p "
                              u"LEFT JOIN OPLN l ON l.ListNum = p.PriceList ORDER BY 1, 2"_s;

// The target gets the base's items under the same codes, and its price
// lists and currencies, the lists under other numbers.
void itemsAndLists(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    currencies(base, target);
    priceLists(base, target);
    copyNamesUnderOtherKeys(base, target, u"SELECT DISTINCT ItemCode FROM ITM1"_s,
                            u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%2, %2)"_s);
}

} // namespace

QList<ManagerCase> masterPriceListCases() {
    // A price has no name of its own.
    return {{"ItemPrices", ItemPrices, PriceContents, u"SELECT 1 FROM ITM1"_s, itemsAndLists,
             QString(), QString()}};
}

class MasterPriceLists : public ManagerOnServer {};

// A price whose item, list or currency the target lacks fails with the
// reason; the other prices arrive.
TEST_P(MasterPriceLists, PricesWithoutTheirRecordInTheTargetFail) {
    itemsAndLists(*base, *target);
    const QString item = column(*base, u"SELECT MIN(ItemCode) FROM ITM1"_s).value(0);
    const QString list = column(*base, u"SELECT l.ListName FROM OPLN l WHERE l.ListNum = "
                                       u"(SELECT MAX(PriceList) FROM ITM1)"_s)
                             .value(0);
    ASSERT_FALSE(item.isEmpty());
    ASSERT_FALSE(list.isEmpty());
    exec(*target, u"DELETE FROM OITM WHERE ItemCode = %1"_s.arg(lit(item)));
    exec(*target, u"DELETE FROM OPLN WHERE ListName = %1"_s.arg(lit(list)));
    const QString missing =
        u"SELECT COUNT(*) FROM ITM1 p JOIN OPLN l ON l.ListNum = p.PriceList WHERE p.ItemCode = "
        u"%1 OR l.ListName = %2"_s.arg(lit(item), lit(list));
    const qsizetype refused = column(*base, missing).value(0).toLongLong();
    const qsizetype all = rows(*base, u"SELECT 1 FROM ITM1"_s).size();
    ASSERT_GT(refused, 0);

    EXPECT_EQ(copy(ItemPrices, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM ITM1"_s).size(), all - refused);
    const QStringList failed = failedLines(0, Category); // the errors alone
    EXPECT_EQ(failed.size(), refused);
    for (const QString& line : failed)
        EXPECT_TRUE(line.contains(u"OITM"_s) || line.contains(u"OPLN"_s)) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, MasterPriceLists, ::testing::Values(6, 5, 2),
                         anyServerTypeName);
