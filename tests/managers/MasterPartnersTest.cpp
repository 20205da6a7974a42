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
const QStringList PartnerLines{AddressContents, ContactContents, BankContents, LookupContents};
const QString CatalogContents =
    u"SELECT ItemCode, CardCode, Substitute, Descr FROM OSCN ORDER BY 1, 2"_s;

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
    addMissing(base, target, u"SELECT DISTINCT ItemCode FROM OSCN"_s,
               u"SELECT ItemCode FROM OITM"_s,
               u"INSERT INTO OITM (ItemCode, ItemName) VALUES (%2, %2)"_s);
    addMissing(base, target, u"SELECT DISTINCT CardCode FROM OSCN"_s,
               u"SELECT CardCode FROM OCRD"_s,
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
         u"SELECT 1 FROM OIDC UNION ALL SELECT 1 FROM OTNN"_s, PartnerLines},
        {"BPCatalogNumbers", CatalogNumbers, CatalogContents, u"SELECT 1 FROM OSCN"_s,
         itemsAndPartners, QString(), QString()},
    };
}

class MasterPartners : public ManagerCompanies {
protected:
    void SetUp() override {
        ManagerCompanies::SetUp();
        partnerReferences(*base, *target);
    }
    void expectSameLines() {
        for (const QString& sql : QStringList{PartnerContents} + PartnerLines)
            EXPECT_EQ(rows(*target, sql), rows(*base, sql)) << sql.toStdString();
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

// A parent and a channel partner are written before the partners that
// name them, whatever their codes sort like.
TEST_F(MasterPartners, ParentsAndChannelPartnersComeFirst) {
    const QStringList free = freeCustomers();
    ASSERT_GE(free.size(), 5);
    // c1's parent is c3 and c2's is c1: by parent code c2 comes before c1.
    // c3's channel partner is c4, whose parent is c5: c3 has no parent and
    // would come before c4.
    const auto set = [&](const QString& column, int child, int parent) {
        exec(*base, u"UPDATE OCRD SET %1 = %2 WHERE CardCode = %3"_s.arg(column, lit(free[parent]),
                                                                         lit(free[child])));
    };
    set(u"FatherCard"_s, 0, 2);
    set(u"FatherCard"_s, 1, 0);
    set(u"ChannlBP"_s, 2, 3);
    set(u"FatherCard"_s, 3, 4);
    ASSERT_EQ(copy(Partners, MRV_DIInterface::AddNew), S_OK) << failures();
    QStringList order;
    for (const QStringList& r : logRecords())
        order << r[BaseCode];
    for (const auto& [child, parent] : {std::pair{0, 2}, {1, 0}, {2, 3}, {3, 4}})
        EXPECT_LT(order.indexOf(free[parent]), order.indexOf(free[child]))
            << free[child].toStdString();
    expectSameLines();

    // Replace All removes the children before their parents.
    ASSERT_EQ(copy(Partners, MRV_DIInterface::ReplaceAll), S_OK) << failures();
    expectSameLines();
}

// A target that holds some partners with other values: they become the
// base's, lines and all, with "Add New Records and Update Existing";
// "Add New Records" leaves them as they are. An industry the target holds
// under another number is the one the partners name there.
TEST_F(MasterPartners, PartnersTheTargetHoldsAreUpdatedWithTheirLines) {
    const QStringList free = freeCustomers();
    for (const QString& code : free.mid(0, 2)) {
        const QString card = lit(code);
        exec(*target, u"INSERT INTO OCRD (CardCode, CardName, CardType, Notes) VALUES (%1, "
                      u"N'Old name', 'C', N'Old')"_s.arg(card));
        exec(*target, u"INSERT INTO CRD1 (CardCode, Address, AddrType, City) VALUES (%1, N'Old "
                      u"depot', 'S', N'Oldtown')"_s.arg(card));
    }
    exec(*target,
         u"INSERT INTO OCPR (CntctCode, CardCode, Name) VALUES (900, %1, N'Old contact')"_s.arg(
             lit(free[0])));

    EXPECT_EQ(copy(Partners, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList refused = failedLines();
    ASSERT_EQ(refused.size(), 2) << refused.join(u'\n').toStdString();
    EXPECT_EQ(column(*target, u"SELECT CardName FROM OCRD WHERE Notes = N'Old'"_s),
              (QStringList{u"Old name"_s, u"Old name"_s}));

    exec(*target, u"UPDATE OIDC SET IndCode = 77 WHERE IndName = N'Retail'"_s);
    ASSERT_EQ(copy(Partners, MRV_DIInterface::AddAndUpdate), S_OK) << failures(2);
    expectSameLines();
    EXPECT_FALSE(column(*target, u"SELECT CardCode FROM OCRD WHERE Industry = 77"_s).isEmpty());
}

// A partner whose group, price list, sales employee, account or parent the
// target lacks fails with a line naming it; neither it nor its lines are
// written, and the others arrive. A missing owner is left out and named.
TEST_F(MasterPartners, AMissingReferenceFailsThePartnerWithItsName) {
    const QStringList free = freeCustomers();
    ASSERT_GE(free.size(), 7);
    const auto card = [&](int i) { return lit(free[i]); };
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
    exec(*target, u"DELETE FROM OACT WHERE FormatCode = %1"_s.arg(lit(account)));
    exec(*base, u"UPDATE OCRD SET FatherCard = %1 WHERE CardCode = %2"_s.arg(card(5), card(4)));
    // An owner the target lacks leaves the partner without one, and says so.
    exec(*base, u"INSERT INTO OHEM (empID, lastName, firstName) VALUES (900, N'Nobody', N'Yet')"_s);
    exec(*base, u"UPDATE OCRD SET OwnerCode = 900 WHERE CardCode = %1"_s.arg(card(6)));

    // The parent is not selected and not in the target.
    MRV_KeyList keys;
    for (const QString& code : column(*base, u"SELECT CardCode FROM OCRD ORDER BY 1"_s))
        if (code != free[5])
            keys << QVariantList{code};
    EXPECT_EQ(copy(Partners, MRV_DIInterface::AddAndUpdate, keys), S_FALSE);
    QStringList refused = failedLines();
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
    exec(*target, u"DELETE FROM OITM WHERE ItemCode = %1"_s.arg(lit(item)));
    exec(*target, u"DELETE FROM OCRD WHERE CardCode = %1"_s.arg(lit(partner)));
    EXPECT_EQ(copy(CatalogNumbers, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList refused = failedLines();
    const qsizetype withItem =
        rows(*base, u"SELECT 1 FROM OSCN WHERE ItemCode = %1"_s.arg(lit(item))).size();
    const qsizetype withPartner =
        rows(*base, u"SELECT 1 FROM OSCN WHERE CardCode = %1 AND ItemCode <> %2"_s.arg(lit(partner),
                                                                                       lit(item)))
            .size();
    EXPECT_EQ(refused.size(), withItem + withPartner) << refused.join(u'\n').toStdString();
    EXPECT_EQ(refused.filter(u"ItemCode refers to OITM ItemCode '%1'"_s.arg(item)).size(),
              withItem);
    EXPECT_EQ(refused.filter(u"CardCode refers to OCRD CardCode '%1'"_s.arg(partner)).size(),
              withPartner);
    EXPECT_EQ(rows(*target, u"SELECT 1 FROM OSCN"_s).size(),
              numbers.size() - withItem - withPartner);
}
