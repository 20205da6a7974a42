#include "ManagerTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString Partners = u"MRV_TRN_BPGENERALINFO_100"_s;
const QString CatalogNumbers = u"MRV_TRN_BPCATALOGNUMBERS_100"_s;

// A partner as names and codes that survive a copy, never the keys the
// host numbers, with the number of its lines.
const QString PartnerContents =
    u"SELECT p.CardCode, p.CardName, p.CardType, p.CardFName, p.CmpPrivate, g.GroupName, "
    u"g.GroupType, p.Currency, t.PymntGroup, l.ListName, o.PrioDesc, p.WTLiable, p.WTCode, "
    u"p.VatGroup, p.LicTradNum, p.TaxNumType, i.IndName, s.SlpName, e.lastName, e.firstName, "
    u"c.GroupName, h.TrnspName, r.descript, k.CardName, p.ProjectCod, p.FatherCard, "
    u"p.FatherType, p.ChannlBP, a.FormatCode, d.FormatCode, u.Name, p.HouseBank, p.DflAccount, "
    u"p.Phone1, p.Phone2, p.Fax, p.E_Mail, p.IntrntSite, p.CntctPrsn, p.BillToDef, p.ShipToDef, "
    u"p.CreditLine, p.DebtLine, p.Discount, p.Properties, p.Notes, p.Free_Text, p.validFor, "
    u"p.frozenFor, p.frozenFrom, p.frozenTo, p.U_Region, "
    u"(SELECT COUNT(*) FROM CRD1 x WHERE x.CardCode = p.CardCode), "
    u"(SELECT COUNT(*) FROM OCPR x WHERE x.CardCode = p.CardCode), "
    u"(SELECT COUNT(*) FROM OCRB x WHERE x.CardCode = p.CardCode) FROM OCRD p "
    u"LEFT JOIN OCRG g ON g.GroupCode = p.GroupCode LEFT JOIN OCTG t ON t.GroupNum = p.GroupNum "
    u"LEFT JOIN OPLN l ON l.ListNum = p.ListNum LEFT JOIN OBPP o ON o.PrioCode = p.Priority "
    u"LEFT JOIN OIDC i ON i.IndCode = p.Industry LEFT JOIN OSLP s ON s.SlpCode = p.SlpCode "
    u"LEFT JOIN OHEM e ON e.empID = p.OwnerCode LEFT JOIN OCOG c ON c.GroupCode = p.CommGrCode "
    u"LEFT JOIN OSHP h ON h.TrnspCode = p.ShipType LEFT JOIN OTER r ON r.territryID = p.Territory "
    u"LEFT JOIN OCRC k ON k.CreditCard = p.CreditCard LEFT JOIN OACT a ON a.AcctCode = "
    u"p.DebPayAcct LEFT JOIN OACT d ON d.AcctCode = p.DownPmtAcct LEFT JOIN ODUT u ON u.Code = "
    u"p.DunTerm ORDER BY 1"_s;
// The partners' lines, field by field.
const QString AddressContents =
    u"SELECT CardCode, Address, AddrType, Street, StreetNo, Block, Building, City, ZipCode, "
    u"County, State, Country, TaxCode, LineNum FROM CRD1 ORDER BY 1, 2, 3"_s;
const QString ContactContents =
    u"SELECT CardCode, Name, FirstName, MiddleName, LastName, Title, Position, Address, Phone1, "
    u"Phone2, MobilePhone, Fax, E_Mail, Notes, BirthDate, Active FROM OCPR ORDER BY 1, 2"_s;
const QString BankContents = u"SELECT CardCode, Country, BankCode, Account, Branch, AcctName, "
                             u"IBAN, SwiftNum, ControlKey FROM OCRB ORDER BY 1, 2, 3, 4"_s;
const QString LookupContents =
    u"SELECT IndName, IndDesc FROM OIDC UNION ALL SELECT Code || Name, Format FROM OTNN "
    u"ORDER BY 1"_s;
const QString CatalogContents =
    u"SELECT ItemCode, CardCode, Substitute, Descr FROM OSCN ORDER BY 1, 2"_s;

// Base rows of select that the target lacks, each inserted with its
// values as literals (%2, %3, ...) and a new number (%1).
void addRows(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target, const QString& select,
             const QString& insert) {
    const QList<QVariantList> present = EngineWorld::rows(target, select);
    int key = 40 + int(present.size());
    for (const QVariantList& row : EngineWorld::rows(base, select)) {
        if (present.contains(row))
            continue;
        QString statement = insert;
        statement.replace(u"%1"_s, QString::number(key++));
        // Highest placeholder first, so that %1 never eats the start of %10.
        for (qsizetype i = row.size() - 1; i >= 0; --i)
            statement.replace(u"%"_s + QString::number(i + 2),
                              MRV_SQLBuilder::textLiteral(row[i].toString(), 6));
        EngineWorld::exec(target, statement);
    }
}

// What the demo's partners name, in the empty target under other keys
// where the host numbers them, under the same codes where codes travel;
// and the partners' user fields.
void partnerReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    employeeReferences(base, target); // commission groups, countries and states among them
    banks(base, target);
    currencies(base, target);
    priceLists(base, target);
    addRows(base, target, u"SELECT GroupName, GroupType FROM OCRG"_s,
            u"INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (%1, %2, %3)"_s);
    addRows(base, target, u"SELECT lastName, firstName FROM OHEM"_s,
            u"INSERT INTO OHEM (empID, lastName, firstName) VALUES (%1, %2, %3)"_s);
    for (const auto& [select, insert] : std::initializer_list<std::pair<const char*, const char*>>{
             {"SELECT PymntGroup FROM OCTG",
              "INSERT INTO OCTG (GroupNum, PymntGroup) VALUES (%1, %2)"},
             {"SELECT PrioDesc FROM OBPP", "INSERT INTO OBPP (PrioCode, PrioDesc) VALUES (%1, %2)"},
             {"SELECT SlpName FROM OSLP", "INSERT INTO OSLP (SlpCode, SlpName) VALUES (%1, %2)"},
             {"SELECT TrnspName FROM OSHP",
              "INSERT INTO OSHP (TrnspCode, TrnspName) VALUES (%1, %2)"},
             {"SELECT descript FROM OTER",
              "INSERT INTO OTER (territryID, descript, parent) VALUES (%1, %2, -2)"},
             {"SELECT CardName FROM OCRC",
              "INSERT INTO OCRC (CreditCard, CardName) VALUES (%1, %2)"},
             {"SELECT Name FROM ODUT", "INSERT INTO ODUT (Code, Name) VALUES (%1, %2)"},
             {"SELECT PrjCode FROM OPRJ", "INSERT INTO OPRJ (PrjCode, PrjName) VALUES (%2, %2)"},
             {"SELECT WTCode FROM OWHT", "INSERT INTO OWHT (WTCode, WTName) VALUES (%2, %2)"},
             {"SELECT Code FROM OVTG", "INSERT INTO OVTG (Code, Name) VALUES (%2, %2)"}})
        copyNamesUnderOtherKeys(base, target, QLatin1String(select), QLatin1String(insert));
    accountsOf(base, target, u"SELECT DebPayAcct FROM OCRD UNION SELECT DownPmtAcct FROM OCRD"_s);
    for (const char* field : {"Region", "Rating", "Remarks"})
        EngineWorld::addUserField(target, u"OCRD"_s, QLatin1String(field));
}

// Catalog numbers need their items and partners, by the same codes.
void itemsAndPartners(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    addRows(base, target, u"SELECT DISTINCT ItemCode FROM OSCN"_s,
            u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%2, %2)"_s);
    addRows(base, target, u"SELECT DISTINCT CardCode FROM OSCN"_s,
            u"INSERT INTO OCRD (CardCode, CardName, CardType) VALUES (%2, %2, 'S')"_s);
}

} // namespace

QList<ManagerCase> masterPartnerCases() {
    return {
        // Industries and tax number types travel with the partners, each
        // with a line, and are never removed.
        {"BPGeneral", Partners, PartnerContents, u"SELECT 1 FROM OCRD"_s, partnerReferences,
         u"INSERT INTO OCRD (CardCode, CardName, CardType) VALUES (%3, %2, 'C')"_s,
         u"SELECT CardName FROM OCRD"_s, 100, true, u"SELECT 1 FROM OCRD"_s,
         u"SELECT 1 FROM OIDC UNION ALL SELECT 1 FROM OTNN"_s},
        {"BPCatalogNumbers", CatalogNumbers, CatalogContents, u"SELECT 1 FROM OSCN"_s,
         itemsAndPartners, QString(), QString()},
    };
}

class MasterPartners : public EngineWorld {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies();
        partnerReferences(*base, *target);
    }
    QStringList failed(qsizetype from = 0) const {
        QStringList lines;
        for (const QStringList& r : logRecords().mid(from))
            if (r[Result] == u"403")
                lines << r[BaseCode] + u": "_s + r[Error];
        return lines;
    }
    void expectSameLines() {
        EXPECT_EQ(rows(*target, PartnerContents), rows(*base, PartnerContents));
        EXPECT_EQ(rows(*target, AddressContents), rows(*base, AddressContents));
        EXPECT_EQ(rows(*target, ContactContents), rows(*base, ContactContents));
        EXPECT_EQ(rows(*target, BankContents), rows(*base, BankContents));
        EXPECT_EQ(rows(*target, LookupContents), rows(*base, LookupContents));
    }
    // Customers without parent or channel partner that none names.
    QStringList freeCustomers() {
        return column(*base,
                      u"SELECT CardCode FROM OCRD WHERE CardType = 'C' AND FatherCard IS "
                      u"NULL AND ChannlBP IS NULL AND CardCode NOT IN (SELECT FatherCard "
                      u"FROM OCRD WHERE FatherCard IS NOT NULL) AND CardCode NOT IN "
                      u"(SELECT ChannlBP FROM OCRD WHERE ChannlBP IS NOT NULL) ORDER BY 1"_s);
    }
};

// The demo's partners with their lines arrive whole in the empty target:
// every reference as the target's record of the same name or code; a
// rerun adds nothing and fails nothing.
TEST_F(MasterPartners, PartnersArriveWithTheirLinesAndARerunOnlyUpdates) {
    // One industry is there already, under another number.
    exec(*target, u"INSERT INTO OIDC (IndCode, IndName) VALUES (77, N'Retail')"_s);
    ASSERT_EQ(copy(Partners, MRV_DIInterface::AddAndUpdate), S_OK)
        << failed().join(u'\n').toStdString();
    expectSameLines();
    EXPECT_FALSE(column(*target, u"SELECT CardCode FROM OCRD WHERE Industry = 77"_s).isEmpty());
    // Keys numbered per company were translated, not copied.
    EXPECT_FALSE(column(*target, u"SELECT CardCode FROM OCRD WHERE GroupCode < 100"_s).isEmpty());
    EXPECT_FALSE(
        column(*target, u"SELECT CardCode FROM OCRD WHERE DebPayAcct LIKE 'M%'"_s).isEmpty());
    const qsizetype mark = logRecords().size();
    ASSERT_EQ(copy(Partners, MRV_DIInterface::AddAndUpdate), S_OK);
    const QList<QStringList> again = logRecords().mid(mark);
    EXPECT_EQ(again.size(), mark);
    for (const QStringList& r : again)
        EXPECT_EQ(r[Type] + r[Result], u"213402"_s) << r.join(u'|').toStdString();
    expectSameLines();
}

// A parent and a channel partner are written before the partners that
// name them, whatever their codes sort like.
TEST_F(MasterPartners, ParentsAndChannelPartnersComeFirst) {
    const QStringList free = freeCustomers();
    ASSERT_GE(free.size(), 5);
    // c1's parent is c3 and c2's is c1: by parent code c2 comes before c1.
    // c3's channel partner is c4, whose parent is c5: c3 has no parent and
    // would come before c4.
    const auto set = [&](const QString& column, int child, int parent) {
        exec(*base, u"UPDATE OCRD SET %1 = %2 WHERE CardCode = %3"_s.arg(
                        column, MRV_SQLBuilder::textLiteral(free[parent], 6),
                        MRV_SQLBuilder::textLiteral(free[child], 6)));
    };
    set(u"FatherCard"_s, 0, 2);
    set(u"FatherCard"_s, 1, 0);
    set(u"ChannlBP"_s, 2, 3);
    set(u"FatherCard"_s, 3, 4);
    ASSERT_EQ(copy(Partners, MRV_DIInterface::AddNew), S_OK) << failed().join(u'\n').toStdString();
    QStringList order;
    for (const QStringList& r : logRecords())
        order << r[BaseCode];
    for (const auto& [child, parent] : {std::pair{0, 2}, {1, 0}, {2, 3}, {3, 4}})
        EXPECT_LT(order.indexOf(free[parent]), order.indexOf(free[child]))
            << free[child].toStdString();
    expectSameLines();

    // Replace All removes the children before their parents.
    ASSERT_EQ(copy(Partners, MRV_DIInterface::ReplaceAll), S_OK)
        << failed().join(u'\n').toStdString();
    expectSameLines();
}

// A target that holds some partners with other values: they become the
// base's, lines and all, with "Add New Records and Update Existing";
// "Add New Records" leaves them as they are.
TEST_F(MasterPartners, PartnersTheTargetHoldsAreUpdatedWithTheirLines) {
    const QStringList free = freeCustomers();
    for (const QString& code : free.mid(0, 2)) {
        const QString card = MRV_SQLBuilder::textLiteral(code, 6);
        exec(*target, u"INSERT INTO OCRD (CardCode, CardName, CardType, Notes) VALUES (%1, "
                      u"N'Old name', 'C', N'Old')"_s.arg(card));
        exec(*target, u"INSERT INTO CRD1 (CardCode, Address, AddrType, City) VALUES (%1, N'Old "
                      u"depot', 'S', N'Oldtown')"_s.arg(card));
    }
    exec(*target,
         u"INSERT INTO OCPR (CntctCode, CardCode, Name) VALUES (900, %1, N'Old contact')"_s.arg(
             MRV_SQLBuilder::textLiteral(free[0], 6)));

    EXPECT_EQ(copy(Partners, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList refused = failed();
    ASSERT_EQ(refused.size(), 2) << refused.join(u'\n').toStdString();
    EXPECT_EQ(column(*target, u"SELECT CardName FROM OCRD WHERE Notes = N'Old'"_s),
              (QStringList{u"Old name"_s, u"Old name"_s}));

    ASSERT_EQ(copy(Partners, MRV_DIInterface::AddAndUpdate), S_OK)
        << failed(2).join(u'\n').toStdString();
    expectSameLines();
    EXPECT_TRUE(column(*target, u"SELECT Name FROM OCPR WHERE Name = N'Old contact'"_s).isEmpty());
    EXPECT_TRUE(
        column(*target, u"SELECT Address FROM CRD1 WHERE Address = N'Old depot'"_s).isEmpty());
}

// A partner whose group, price list, sales employee, account or parent the
// target lacks fails with a line naming it; neither it nor its lines are
// written, and the others arrive. A missing owner is left out and named.
TEST_F(MasterPartners, AMissingReferenceFailsThePartnerWithItsName) {
    const QStringList free = freeCustomers();
    ASSERT_GE(free.size(), 6);
    const auto card = [&](int i) { return MRV_SQLBuilder::textLiteral(free[i], 6); };
    // A customer group the target has only as a vendor group of the name.
    exec(*base, u"INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (90, N'Only here', "
                u"'C')"_s);
    exec(*target, u"INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (90, N'Only "
                  u"here', 'S')"_s);
    exec(*base, u"UPDATE OCRD SET GroupCode = 90 WHERE CardCode = %1"_s.arg(card(0)));
    exec(*base, u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (90, N'Base only', 90)"_s);
    exec(*base, u"UPDATE OCRD SET ListNum = 90 WHERE CardCode = %1"_s.arg(card(1)));
    exec(*base, u"INSERT INTO OSLP (SlpCode, SlpName) VALUES (300, N'Nobody yet')"_s);
    exec(*base, u"UPDATE OCRD SET SlpCode = 300 WHERE CardCode = %1"_s.arg(card(2)));
    exec(*base,
         u"UPDATE OCRD SET DebPayAcct = (SELECT MIN(AcctCode) FROM OACT WHERE Postable = "
         u"'Y' AND FormatCode NOT IN (SELECT FormatCode FROM OACT WHERE AcctCode IN (SELECT "
         u"DebPayAcct FROM OCRD UNION SELECT DownPmtAcct FROM OCRD))) WHERE CardCode = %1"_s.arg(
             card(3)));
    const QString account =
        value(*base, u"SELECT a.FormatCode FROM OACT a JOIN OCRD p ON p.DebPayAcct = a.AcctCode "
                     u"WHERE p.CardCode = %1"_s.arg(card(3)))
            .toString();
    exec(*target,
         u"DELETE FROM OACT WHERE FormatCode = %1"_s.arg(MRV_SQLBuilder::textLiteral(account, 6)));
    exec(*base, u"UPDATE OCRD SET FatherCard = %1 WHERE CardCode = %2"_s.arg(card(5), card(4)));
    // An owner the target lacks leaves the partner without one, and says so.
    ASSERT_GE(free.size(), 7);
    exec(*base, u"INSERT INTO OHEM (empID, lastName, firstName) VALUES (900, N'Nobody', N'Yet')"_s);
    exec(*base, u"UPDATE OCRD SET OwnerCode = 900 WHERE CardCode = %1"_s.arg(card(6)));

    // The parent is not selected and not in the target.
    MRV_KeyList keys;
    for (const QString& code : column(*base, u"SELECT CardCode FROM OCRD ORDER BY 1"_s))
        if (code != free[5])
            keys << QVariantList{code};
    EXPECT_EQ(copy(Partners, MRV_DIInterface::AddAndUpdate, keys), S_FALSE);
    QStringList refused = failed();
    refused.sort();
    const QString missing = u"which is not in the target company"_s;
    ASSERT_EQ(refused.size(), 5) << refused.join(u'\n').toStdString();
    const QStringList expected{
        free[0] + u": GroupCode refers to OCRG GroupName/GroupType 'Only here/C', "_s + missing,
        free[1] + u": PriceListNum refers to OPLN ListName 'Base only', "_s + missing,
        free[2] + u": SalesPersonCode refers to OSLP SlpName 'Nobody yet', "_s + missing,
        free[3] + u": DebitorAccount refers to OACT FormatCode '"_s + account + u"', "_s + missing,
        free[4] + u": FatherCard refers to OCRD CardCode '"_s + free[5] + u"', "_s + missing};
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(refused[i].startsWith(expected[i])) << refused[i].toStdString();
        EXPECT_TRUE(refused[i].endsWith(missing)) << refused[i].toStdString();
    }
    for (int i = 0; i <= 5; ++i)
        for (const char* table : {"OCRD", "CRD1", "OCPR", "OCRB"})
            EXPECT_TRUE(column(*target, u"SELECT CardCode FROM %1 WHERE CardCode = %2"_s.arg(
                                            QLatin1String(table), card(i)))
                            .isEmpty())
                << table << ' ' << free[i].toStdString();
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM OCRD"_s).size(),
              rows(*base, u"SELECT 1 FROM OCRD"_s).size() - 6);
    EXPECT_TRUE(
        value(*target, u"SELECT OwnerCode FROM OCRD WHERE CardCode = %1"_s.arg(card(6))).isNull());
    QStringList noted;
    for (const QStringList& r : logRecords())
        if (r[BaseCode] == free[6])
            noted << r[Result] + u' ' + r[Error];
    EXPECT_EQ(noted, QStringList{u"402 OwnerCode refers to OHEM lastName/firstName 'Nobody/Yet', "
                                 u"which is not in the target company; written without it"_s});
}

// A catalog number whose item or partner the target lacks fails naming it.
TEST_F(MasterPartners, ACatalogNumberNeedsItsItemAndPartner) {
    itemsAndPartners(*base, *target);
    const QList<QVariantList> numbers =
        rows(*base, u"SELECT ItemCode, CardCode FROM OSCN ORDER BY 1, 2"_s);
    ASSERT_GE(numbers.size(), 2);
    const QString item = numbers[0][0].toString();
    const QString partner = numbers.last()[1].toString();
    exec(*target,
         u"DELETE FROM OITM WHERE ItemCode = %1"_s.arg(MRV_SQLBuilder::textLiteral(item, 6)));
    exec(*target,
         u"DELETE FROM OCRD WHERE CardCode = %1"_s.arg(MRV_SQLBuilder::textLiteral(partner, 6)));
    EXPECT_EQ(copy(CatalogNumbers, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList refused = failed();
    const qsizetype withItem =
        rows(*base,
             u"SELECT 1 FROM OSCN WHERE ItemCode = %1"_s.arg(MRV_SQLBuilder::textLiteral(item, 6)))
            .size();
    const qsizetype withPartner =
        rows(*base,
             u"SELECT 1 FROM OSCN WHERE CardCode = %1 AND ItemCode <> %2"_s.arg(
                 MRV_SQLBuilder::textLiteral(partner, 6), MRV_SQLBuilder::textLiteral(item, 6)))
            .size();
    EXPECT_EQ(refused.size(), withItem + withPartner) << refused.join(u'\n').toStdString();
    EXPECT_EQ(refused.filter(u"ItemCode refers to OITM ItemCode '%1'"_s.arg(item)).size(),
              withItem);
    EXPECT_EQ(refused.filter(u"CardCode refers to OCRD CardCode '%1'"_s.arg(partner)).size(),
              withPartner);
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM OSCN"_s).size(),
              numbers.size() - withItem - withPartner);
}

// Both categories on the servers whose SQL differs, "Replace All" last.
class MasterPartnersDialects : public EngineWorld, public ::testing::WithParamInterface<int> {};

TEST_P(MasterPartnersDialects, PartnersAndCatalogNumbersCopyOnTheServerType) {
    makeCompanies(GetParam());
    partnerReferences(*base, *target);
    addRows(*base, *target, u"SELECT DISTINCT ItemCode FROM OSCN"_s,
            u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%2, %2)"_s);
    expectCopiesOfTheBase({{Partners, PartnerContents}, {CatalogNumbers, CatalogContents}},
                          MRV_DIInterface::ReplaceAll);
    EXPECT_EQ(rows(*target, AddressContents), rows(*base, AddressContents));
    EXPECT_EQ(rows(*target, ContactContents), rows(*base, ContactContents));
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, MasterPartnersDialects, ::testing::Values(5, 2),
                         serverTypeName);
