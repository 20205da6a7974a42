#include "ManagerTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString Items = u"MRV_TRN_ITEMSLEAF_100"_s;
const QString AlternativeItems = u"MRV_TRN_ALTERNATIVEITEMS_100"_s;
const QString SpecialPrices = u"MRV_TRN_SPECIALPRICESBP_100"_s;
const QString Hierarchies = u"MRV_TRN_PRICEHIERARCHIES_100"_s;
const QString DiscountGroups = u"MRV_TRN_DISCOUNTGROUPS_100"_s;

QString formatted(const QString& field) {
    return u"(SELECT FormatCode FROM OACT WHERE AcctCode = i.%1)"_s.arg(field);
}

// An item by what names its references in every company, once per price,
// with its rows per warehouse summed up (never their quantities).
const QString ItemContents =
    u"SELECT i.ItemCode, i.ItemName, i.FrgnName, i.ItemType, g.ItmsGrpNam, m.FirmName, "
    u"c.CstGrpName, s.TrnspName, o.GroupName, y.Name, i.CodeBars, i.PrchseItem, i.SellItem, "
    u"i.InvntItem, i.AssetItem, i.WTLiable, i.VatGroupSa, i.VatGroupPu, i.DfltWH, i.GLMethod, "_s +
    formatted(u"InventoryAccount"_s) + u", "_s + formatted(u"CostOfGoodsSold"_s) + u", "_s +
    formatted(u"RevenuesAccount"_s) + u", "_s + formatted(u"ExpensesAccount"_s) +
    u", i.NumInBuy, lu.UnitDisply, i.Length, wu.UnitDisply, i.Weight, i.MaxLevel, i.EvalSystem, "
    u"i.Properties, i.UserText, i.U_Color, i.validFor, i.frozenFor, l.ListName, p.Price, "
    u"p.Currency, "
    u"p.Factor, p.Ovrwritten, (SELECT COUNT(*) || '/' || SUM(w.MinStock + w.MaxStock) FROM OITW w "
    u"WHERE w.ItemCode = i.ItemCode) FROM OITM i LEFT JOIN OITB g ON g.ItmsGrpCod = i.ItmsGrpCod "
    u"LEFT JOIN OMRC m ON m.FirmCode = i.FirmCode LEFT JOIN OARG c ON c.CstGrpCode = i.CstGrpCode "
    u"LEFT JOIN OSHP s ON s.TrnspCode = i.ShipType LEFT JOIN OCOG o ON o.GroupCode = i.CommisGrp "
    u"LEFT JOIN OCYC y ON y.Code = i.CycleCode LEFT JOIN OLGT lu ON lu.UnitCode = i.LengthUnit "
    u"LEFT JOIN OWGT wu ON wu.UnitCode = i.WeightUnit LEFT JOIN ITM1 p ON p.ItemCode = i.ItemCode "
    u"LEFT JOIN OPLN l ON l.ListNum = p.PriceList ORDER BY i.ItemCode, l.ListName"_s;
const QString AlternativeContents =
    u"SELECT OrigItem, AltItem, Match, Remarks FROM OALI ORDER BY 1, 2"_s;
// A hierarchy's card code by its list's name.
const QString PriceContents =
    u"SELECT p.ItemCode, COALESCE(h.ListName, p.CardCode), l.ListName, p.Price, p.Currency, "
    u"p.Discount, p.Valid, p.ValidFrom, p.ValidTo, p.AutoUpdt FROM OSPP p LEFT JOIN OPLN h ON "
    u"'*' || h.ListNum = p.CardCode LEFT JOIN OPLN l ON l.ListNum = p.ListNum WHERE p.CardCode "
    u"%1 LIKE '*%' ORDER BY 1, 2"_s;
const QString SpecialContents = PriceContents.arg(u"NOT"_s);
const QString HierarchyContents = PriceContents.arg(QString());
const QString DiscountContents =
    u"SELECT COALESCE(h.ListName, d.CardCode), d.ObjType, COALESCE(g.ItmsGrpNam, m.FirmName, "
    u"t.ItmsGrpNam), d.Discount FROM OSPG d LEFT JOIN OPLN h ON '*' || h.ListNum = d.CardCode "
    u"LEFT JOIN OITB g ON d.ObjType = '52' AND g.ItmsGrpCod = d.ObjKey LEFT JOIN OMRC m ON "
    u"d.ObjType = '43' AND m.FirmCode = d.ObjKey LEFT JOIN OITG t ON d.ObjType = '2' AND "
    u"t.ItmsTypCod = d.ObjKey ORDER BY 1, 2, 3"_s;

void itemCodes(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, u"SELECT ItemCode FROM OITM"_s,
                            u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%2, %2)"_s);
}

void partnersOf(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target, const QString& table) {
    addMissing(base, target,
               u"SELECT DISTINCT CardCode FROM %1 WHERE CardCode NOT LIKE '*%'"_s.arg(table),
               u"SELECT CardCode FROM OCRD"_s,
               u"INSERT INTO OCRD (CardCode, CardName, CardType) VALUES (%2, %2, 'C')"_s);
}

// What items name, the numbered records under other numbers than the
// base's, the coded ones under the same codes.
void itemReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    const QString fields = u"SELECT AliasID FROM CUFD WHERE TableID = 'OITM'"_s;
    const QStringList present = EngineWorld::column(target, fields);
    for (const QString& alias : EngineWorld::column(base, fields))
        if (!present.contains(alias))
            EngineWorld::addUserField(target, u"OITM"_s, alias);
    currencies(base, target);
    priceLists(base, target);
    for (const auto& [table, key, name] : {std::tuple{"OITB", "ItmsGrpCod", "ItmsGrpNam"},
                                           {"OMRC", "FirmCode", "FirmName"},
                                           {"OARG", "CstGrpCode", "CstGrpName"},
                                           {"OSHP", "TrnspCode", "TrnspName"},
                                           {"OCOG", "GroupCode", "GroupName"},
                                           {"OCYC", "Code", "Name"},
                                           {"OLGT", "UnitCode", "UnitDisply"},
                                           {"OWGT", "UnitCode", "UnitDisply"},
                                           {"OITG", "ItmsTypCod", "ItmsGrpNam"}})
        copyNamesUnderOtherKeys(
            base, target, u"SELECT %1 FROM %2"_s.arg(name, table),
            u"INSERT INTO %1 (%2, %3) VALUES (%4, %5)"_s.arg(table, key, name, u"%1"_s, u"%2"_s));
    copyNamesUnderOtherKeys(base, target, u"SELECT Code FROM OVTG"_s,
                            u"INSERT INTO OVTG (Code, Name) VALUES (%2, %2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT WhsCode FROM OWHS"_s,
                            u"INSERT INTO OWHS (WhsCode, WhsName) VALUES (%2, %2)"_s);
    accountsOf(base, target,
               u"SELECT InventoryAccount FROM OITM UNION SELECT CostOfGoodsSold FROM OITM UNION "
               u"SELECT RevenuesAccount FROM OITM UNION SELECT ExpensesAccount FROM OITM"_s);
}

void itemsAndPartners(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    itemReferences(base, target);
    itemCodes(base, target);
    partnersOf(base, target, u"OSPP"_s);
    partnersOf(base, target, u"OSPG"_s);
}

} // namespace

QList<ManagerCase> masterItemCases() {
    const auto withItems = [](LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
        itemCodes(base, target);
    };
    // Only items have names of their own.
    return {
        {"Items",
         Items,
         ItemContents,
         u"SELECT 1 FROM OITM"_s,
         itemReferences,
         u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%3, %2)"_s,
         u"SELECT ItemName FROM OITM"_s,
         100,
         true,
         {},
         u"SELECT 1 FROM OITW"_s},
        {"AlternativeItems", AlternativeItems, AlternativeContents, u"SELECT 1 FROM OALI"_s,
         withItems, QString(), QString()},
        // On the servers whose SQL differs the special prices' removal runs
        // after the hierarchies arrived, and must leave them.
        {"PriceHierarchies", Hierarchies, HierarchyContents,
         u"SELECT 1 FROM OSPP WHERE CardCode LIKE '*%'"_s, itemsAndPartners, QString(), QString()},
        {"SpecialPrices", SpecialPrices, SpecialContents,
         u"SELECT 1 FROM OSPP WHERE CardCode NOT LIKE '*%'"_s, itemsAndPartners, QString(),
         QString()},
        {"DiscountGroups", DiscountGroups, DiscountContents, u"SELECT 1 FROM OSPG"_s,
         itemsAndPartners, QString(), QString()},
    };
}

class MasterItems : public ManagerCompanies {
protected:
    void SetUp() override {
        ManagerCompanies::SetUp();
        itemReferences(*base, *target);
    }
    qsizetype count(LLObjectsCOM::Company& company, const QString& sql) {
        return value(company, sql).toLongLong();
    }
};

// Into a company that holds some of the items with other values and stock
// of its own: every item reads back as the base's by name, its prices under
// the target's list numbers; the target's stock stays, the base's never
// comes.
TEST_F(MasterItems, ItemsArriveByNameOverTheTargetsOwnAndKeepItsStock) {
    const QList<QVariantList> stock = rows(
        *base, u"SELECT ItemCode, WhsCode FROM OITW WHERE ItemCode <= 'A00005' ORDER BY 1, 2"_s);
    ASSERT_FALSE(stock.isEmpty());
    QSet<QString> placed;
    for (const QVariantList& s : stock) {
        const QString item = lit(s[0].toString());
        placed.insert(item);
        exec(*target, u"INSERT INTO OITM (ItemCode, ItemName, FrgnName, OnHand) SELECT %1, "
                      u"N'Old name', N'Old', 77 WHERE NOT EXISTS (SELECT 1 FROM OITM WHERE "
                      u"ItemCode = %1)"_s.arg(item));
        exec(*target, u"INSERT INTO OITW (ItemCode, WhsCode, OnHand, MaxStock) VALUES (%1, %2, "
                      u"77, 5)"_s.arg(item, lit(s[1].toString())));
    }
    exec(*target, u"INSERT INTO ITM1 (ItemCode, PriceList, Price) SELECT ItemCode, MAX(ListNum), "
                  u"1 FROM OITM, OPLN WHERE ItemCode <= 'A00005' GROUP BY ItemCode"_s);
    ASSERT_GT(count(*base, u"SELECT SUM(OnHand) FROM OITW"_s), 0);

    ASSERT_EQ(copy(Items, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    expectSame(ItemContents);
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM ITM1 WHERE PriceList < 40"_s), 0);
    EXPECT_EQ(count(*target, u"SELECT SUM(OnHand) FROM OITW"_s), 77 * stock.size());
    EXPECT_EQ(count(*target, u"SELECT SUM(OnHand) FROM OITM"_s), 77 * placed.size());
    EXPECT_EQ(count(*target, u"SELECT SUM(AvgPrice) FROM OITW"_s), 0);
}

// A file written elsewhere may carry stock values in any form an element
// takes; none reaches the target.
TEST_F(MasterItems, StockValuesOfAFileWrittenElsewhereAreDropped) {
    BOMTableList tables = read(Items);
    qsizetype carried = 0;
    for (MRV_BOMTable& table : tables)
        for (MRV_BOMDocument& document : table.documents)
            if (table.name == u"OITW"_s)
                carried += document.xml.count(u"</row>"_s),
                    document.xml.replace(u"</row>"_s,
                                         u"<OnHand >9</OnHand><IsCommited/><AvgPrice\t>4</AvgPrice>"
                                         u"</row>"_s);
    ASSERT_GT(carried, 0);
    ASSERT_EQ(manager(Items)->writeToTarget(tables, MRV_DIInterface::AddAndUpdate), S_OK)
        << failures();
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OITW"_s), carried);
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OITW WHERE OnHand <> 0 OR AvgPrice <> 0"_s), 0);
}

// A reference the target cannot resolve fails its item with the missing
// record's name; nothing of the item is written, and its rows per
// warehouse fail naming the item. The other items arrive.
struct MissingReference {
    const char* name;
    const char* inTarget; // makes the record missing there
    const char* affected; // the base's items that name it
    const char* error;    // what their lines say
};

class MasterItemsMissing : public MasterItems,
                           public ::testing::WithParamInterface<MissingReference> {};

TEST_P(MasterItemsMissing, FailsNamingTheRecordAndWritesNothingOfTheItem) {
    // Three items keep their price on the export list, the others lose it.
    exec(*base, u"DELETE FROM ITM1 WHERE ItemCode > 'A00003' AND PriceList = (SELECT ListNum "
                u"FROM OPLN WHERE ListName = 'Export')"_s);
    exec(*target, QString::fromUtf8(GetParam().inTarget));
    const QStringList affected = column(*base, QString::fromUtf8(GetParam().affected));
    ASSERT_FALSE(affected.isEmpty());
    EXPECT_EQ(copy(Items, MRV_DIInterface::AddAndUpdate), S_FALSE);
    qsizetype items = 0, stock = 0;
    for (const QString& line : failedLines()) {
        const QString item = line.section(u':', 0, 0).section(u',', 0, 0);
        EXPECT_TRUE(affected.contains(item)) << line.toStdString();
        if (line.contains(u", "_s) && line.indexOf(u", "_s) < line.indexOf(u':')) {
            ++stock;
            EXPECT_TRUE(line.contains(u"ItemCode refers to OITM ItemCode '%1'"_s.arg(item)))
                << line.toStdString();
        } else {
            ++items;
            EXPECT_TRUE(line.contains(QString::fromUtf8(GetParam().error))) << line.toStdString();
        }
    }
    EXPECT_EQ(items, affected.size());
    qsizetype rowsOfAffected = 0;
    for (const QString& item : affected) {
        const QString code = lit(item);
        rowsOfAffected +=
            count(*base, u"SELECT COUNT(*) FROM OITW WHERE ItemCode = %1"_s.arg(code));
        for (const char* table : {"OITM", "ITM1", "OITW"})
            EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM %1 WHERE ItemCode = %2"_s.arg(
                                         QLatin1String(table), code)),
                      0)
                << table << " " << item.toStdString();
    }
    EXPECT_EQ(stock, rowsOfAffected);
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OITM"_s),
              count(*base, u"SELECT COUNT(*) FROM OITM"_s) - affected.size());
}

INSTANTIATE_TEST_SUITE_P(
    References, MasterItemsMissing,
    ::testing::Values(
        MissingReference{"PriceList", "DELETE FROM OPLN WHERE ListName = 'Export'",
                         "SELECT ItemCode FROM OITM WHERE ItemCode <= 'A00003'",
                         "PriceList refers to OPLN ListName 'Export', which is not in the target"},
        MissingReference{"Group", "DELETE FROM OITB WHERE ItmsGrpNam = 'Software'",
                         "SELECT i.ItemCode FROM OITM i JOIN OITB g ON g.ItmsGrpCod = "
                         "i.ItmsGrpCod WHERE g.ItmsGrpNam = 'Software'",
                         "ItemsGroupCode refers to OITB ItmsGrpNam 'Software'"},
        MissingReference{"Account", "UPDATE OACT SET FormatCode = 'X' || FormatCode",
                         "SELECT ItemCode FROM OITM WHERE GLMethod = 'L'",
                         "Account refers to OACT FormatCode"}),
    [](const ::testing::TestParamInfo<MissingReference>& info) { return info.param.name; });

// Special prices and hierarchies split OSPP by the first character of the
// card code, taken literally; neither's removal touches the other's rows,
// and a hierarchy's card code takes the target's list number.
TEST_F(MasterItems, SpecialPricesAndHierarchiesSplitByTheLiteralStar) {
    for (const char* card : {"C*1", "%*", "_1"}) {
        const QString code = u"'%1'"_s.arg(QLatin1String(card));
        exec(*base, u"INSERT INTO OCRD (CardCode, CardName) VALUES (%1, %1)"_s.arg(code));
        exec(*base,
             u"INSERT INTO OSPP (ItemCode, CardCode, Price) VALUES ('A00001', %1, 3)"_s.arg(code));
    }
    itemsAndPartners(*base, *target);
    ASSERT_EQ(copy(Hierarchies, MRV_DIInterface::AddNew), S_OK) << failures();
    ASSERT_EQ(copy(SpecialPrices, MRV_DIInterface::AddNew), S_OK) << failures();
    expectSame(SpecialContents);
    expectSame(HierarchyContents);
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OSPP WHERE CardCode IN ('C*1', '%*', '_1')"_s),
              3);
    // Every list of the target has a number of 40 or more.
    EXPECT_EQ(column(*target, u"SELECT DISTINCT CardCode FROM OSPP WHERE CardCode LIKE '*%' AND "
                              u"CardCode NOT IN (SELECT '*' || ListNum FROM OPLN)"_s),
              QStringList());
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OSPP WHERE CardCode IN ('*1', '*2')"_s), 0);

    const qsizetype hierarchies = rows(*base, HierarchyContents).size();
    ASSERT_EQ(copy(SpecialPrices, MRV_DIInterface::RemovalPhase), S_OK);
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OSPP"_s), hierarchies);
    ASSERT_EQ(copy(SpecialPrices, MRV_DIInterface::AddNew), S_OK);
    ASSERT_EQ(copy(Hierarchies, MRV_DIInterface::RemovalPhase), S_OK);
    expectSame(SpecialContents);
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OSPP WHERE CardCode LIKE '*%'"_s), 0);
}

// A hierarchy of a list the target lacks fails naming the list; a discount
// on a manufacturer the target lacks fails naming it.
TEST_F(MasterItems, HierarchiesAndDiscountsNameTheMissingRecord) {
    itemsAndPartners(*base, *target);
    const QString list = column(*base, u"SELECT ListName FROM OPLN WHERE ListNum = 2"_s).value(0);
    const QString firm = column(*base, u"SELECT m.FirmName FROM OSPG d JOIN OMRC m ON m.FirmCode "
                                       u"= d.ObjKey WHERE d.ObjType = '43' ORDER BY 1"_s)
                             .value(0);
    ASSERT_FALSE(firm.isEmpty());
    exec(*target, u"DELETE FROM OPLN WHERE ListName = %1"_s.arg(lit(list)));
    exec(*target, u"DELETE FROM OMRC WHERE FirmName = %1"_s.arg(lit(firm)));
    EXPECT_EQ(copy(Hierarchies, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(copy(DiscountGroups, MRV_DIInterface::AddNew), S_FALSE);
    const qsizetype star2 =
        count(*base, u"SELECT COUNT(*) FROM OSPP WHERE CardCode = '*2' OR (CardCode LIKE '*%' AND "
                     u"ListNum = 2)"_s) +
        count(*base, u"SELECT COUNT(*) FROM OSPG WHERE CardCode = '*2' OR (ObjType = '43' AND "
                     u"ObjKey = (SELECT FirmCode FROM OMRC WHERE FirmName = %1))"_s.arg(lit(firm)));
    const QStringList lines = failedLines();
    EXPECT_EQ(lines.size(), star2) << lines.join(u'\n').toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(u"OPLN ListName '%1'"_s.arg(list)) ||
                    line.contains(u"OMRC FirmName '%1'"_s.arg(firm)))
            << line.toStdString();
    EXPECT_EQ(count(*target, u"SELECT COUNT(*) FROM OSPG WHERE ObjType = '43' AND ObjKey NOT IN "
                             u"(SELECT FirmCode FROM OMRC)"_s),
              0);
}

// The grid shows a discount group's object kind by name, its keys as they
// are.
TEST_F(MasterItems, DiscountGroupsListTheirKindByName) {
    const QHash<QString, QString> names{
        {u"2"_s, u"Item Properties"_s}, {u"52"_s, u"Item Groups"_s}, {u"43"_s, u"Manufactures"_s}};
    QSet<QString> kinds;
    for (const MRV_DIDataSet::Row& row : listed(DiscountGroups)) {
        kinds.insert(row.keys.value(1).toString());
        EXPECT_EQ(row.values.value(1), names.value(row.keys.value(1).toString()));
    }
    EXPECT_EQ(kinds.size(), names.size());
}
