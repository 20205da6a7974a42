#include "ManagerTestSupport.h"
#include "managers/MRV_ItemsGroupsManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString ItemsGroups = u"MRV_TRN_ITEMGROUPS_100"_s;
const QString Warehouses = u"MRV_TRN_WAREHOUSES_100"_s;

// Each account field of a row of alias as its account's formatted code.
QString formattedAccounts(const QString& alias) {
    QStringList columns;
    for (const QString& field : MRV_ItemsGroupsManager::accountFields())
        columns << u"(SELECT FormatCode FROM OACT WHERE AcctCode = %1.%2)"_s.arg(alias, field);
    return columns.join(u", "_s);
}

// The account codes the records of a table name, as one select.
QString accountCodes(const QString& table) {
    QStringList selects;
    for (const QString& field : MRV_ItemsGroupsManager::accountFields())
        selects << u"SELECT %1 FROM %2"_s.arg(field, table);
    return selects.join(u" UNION "_s);
}

const QString GroupContents =
    u"SELECT g.ItmsGrpNam, c.Name, g.PlaningSys, g.PrcrmntMtd, g.OrdrIntrvl, g.MinOrdrQty, "
    u"g.LeadTime, "_s +
    formattedAccounts(u"g"_s) +
    u" FROM OITB g LEFT JOIN OCYC c ON c.Code = g.CycleCode ORDER BY 1"_s;
const QString WarehouseContents =
    u"SELECT w.WhsCode, w.WhsName, l.Location, w.DropShip, w.Nettable, w.Street, w.City, "
    u"w.ZipCode, w.State, w.Country, "_s +
    formattedAccounts(u"w"_s) +
    u" FROM OWHS w LEFT JOIN OLCT l ON l.Code = w.Location ORDER BY 1"_s;
const QString GroupsInUse = u"ItmsGrpCod NOT IN (SELECT ItmsGrpCod FROM OITM) AND ItmsGrpCod NOT "
                            u"IN (SELECT DefaultItemGroup FROM OADM WHERE DefaultItemGroup IS NOT "
                            u"NULL)"_s;

// Cycles under other codes and the accounts under other account codes; the
// target's own built-in group goes, so that every group of the base is new
// there.
void groupReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    EngineWorld::exec(target, u"DELETE FROM OITB"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT Name FROM OCYC"_s,
                            u"INSERT INTO OCYC (Code, Name) VALUES (%1, %2)"_s);
    accountsOf(base, target, accountCodes(u"OITB"_s));
}

void warehouseReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    states(base, target);
    copyNamesUnderOtherKeys(base, target, u"SELECT Location FROM OLCT"_s,
                            u"INSERT INTO OLCT (Code, Location) VALUES (%1, %2)"_s);
    accountsOf(base, target, accountCodes(u"OWHS"_s));
}

} // namespace

QList<ManagerCase> masterItemsGroupCases() {
    return {
        {"ItemsGroups", ItemsGroups, GroupContents, u"SELECT 1 FROM OITB"_s, groupReferences,
         u"INSERT INTO OITB (ItmsGrpCod, ItmsGrpNam) VALUES (%1, %2)"_s,
         u"SELECT ItmsGrpNam FROM OITB"_s, 20, true, u"SELECT 1 FROM OITB WHERE "_s + GroupsInUse},
        {"Warehouses", Warehouses, WarehouseContents, u"SELECT 1 FROM OWHS"_s, warehouseReferences,
         u"INSERT INTO OWHS (WhsCode, WhsName) VALUES (%3, %2)"_s, u"SELECT WhsName FROM OWHS"_s,
         100},
    };
}

class MasterItemsGroups : public ManagerCompanies {
protected:
    void SetUp() override {
        ManagerCompanies::SetUp();
        groupReferences(*base, *target);
        warehouseReferences(*base, *target);
    }
};

// A record whose cycle, location or account the target lacks fails with a
// line naming it; nothing is written with a dangling reference, and the
// others arrive.
TEST_F(MasterItemsGroups, AMissingReferenceFailsItsRecordWithItsName) {
    exec(*target, u"DELETE FROM OCYC WHERE Name = N'Weekly, A items'"_s);
    exec(*target, u"DELETE FROM OLCT WHERE Location = N'East coast'"_s);
    exec(*target, u"UPDATE OACT SET FormatCode = N'X-513600' WHERE FormatCode = N'513600'"_s);
    exec(*base, u"UPDATE OITB SET TransferAccount = NULL WHERE ItmsGrpNam <> N'Software'"_s);
    exec(*base, u"UPDATE OWHS SET TransferAccount = NULL WHERE WhsCode <> N'03'"_s);

    EXPECT_EQ(copy(ItemsGroups, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList groups = failedLines();
    const qsizetype weekly =
        rows(*base, u"SELECT 1 FROM OITB g JOIN OCYC c ON c.Code = g.CycleCode "
                    u"WHERE c.Name = N'Weekly, A items'"_s)
            .size();
    ASSERT_EQ(groups.size(), weekly + 1) << groups.join(u'\n').toStdString();
    EXPECT_EQ(groups.filter(u"CycleCode refers to OCYC Name 'Weekly, A items'"_s).size(), weekly);
    EXPECT_EQ(groups.filter(u"TransferAccount refers to OACT FormatCode '513600'"_s).size(), 1);
    EXPECT_EQ(column(*target, u"SELECT ItmsGrpNam FROM OITB WHERE ItmsGrpNam = N'Software'"_s),
              QStringList());
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM OITB"_s).size(),
              rows(*base, u"SELECT 1 FROM OITB"_s).size() - weekly - 1);
    EXPECT_TRUE(column(*target, u"SELECT ItmsGrpNam FROM OITB WHERE CycleCode IS NOT NULL AND "
                                u"CycleCode NOT IN (SELECT Code FROM OCYC)"_s)
                    .isEmpty());

    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(Warehouses, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList warehouses = failedLines(mark);
    // The second warehouse is on the east coast, the third names the account.
    ASSERT_EQ(warehouses.size(), 2) << warehouses.join(u'\n').toStdString();
    EXPECT_TRUE(warehouses[0].startsWith(u"02: Location refers to OLCT Location 'East coast'"_s))
        << warehouses[0].toStdString();
    EXPECT_TRUE(warehouses[1].startsWith(u"03: TransferAccount refers to OACT FormatCode"_s))
        << warehouses[1].toStdString();
    EXPECT_EQ(column(*target, u"SELECT WhsCode FROM OWHS ORDER BY 1"_s),
              (QStringList{u"01"_s, u"04"_s, u"05"_s}));
}

// The removal of "Replace All" takes the history of the groups it removes,
// and leaves the history of groups that stay.
TEST_F(MasterItemsGroups, RemovedGroupsTakeTheirHistoryAlong) {
    ASSERT_EQ(copy(ItemsGroups, MRV_DIInterface::AddNew), S_OK);
    const QString stays = value(*target, u"SELECT ItmsGrpCod FROM OITB WHERE ItmsGrpNam = "
                                         u"N'Tools'"_s)
                              .toString();
    exec(*target,
         u"INSERT INTO OITM (ItemCode, ItemName, ItmsGrpCod) VALUES (N'T1', N'Tool', %1)"_s.arg(
             stays));
    exec(*target, u"INSERT INTO AITB (ItmsGrpCod, LogInstanc, ItmsGrpNam) SELECT ItmsGrpCod, 1, "
                  u"ItmsGrpNam FROM OITB"_s);
    EXPECT_EQ(copy(ItemsGroups, MRV_DIInterface::RemovalPhase), S_OK);
    EXPECT_EQ(column(*target, u"SELECT ItmsGrpNam FROM AITB"_s), QStringList{u"Tools"_s});
    EXPECT_EQ(column(*target, u"SELECT ItmsGrpNam FROM OITB"_s), QStringList{u"Tools"_s});
}
