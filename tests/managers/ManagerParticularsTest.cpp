#include "ManagerTestSupport.h"
#include "di/MRV_BOMRecord.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString CustomerGroups = u"MRV_TRN_CUSTOMERGROUPS_100"_s;
const QString VendorGroups = u"MRV_TRN_SUPPLIERGROUPS_100"_s;
const QString Projects = u"MRV_TRN_PROJECTS_100"_s;
const QString Countries = u"MRV_TRN_COUNTRIES_100"_s;
const QString Territories = u"MRV_TRN_TERRITORIES_100"_s;
const QString PriceLists = u"MRV_TRN_PRICELISTDEFS_100"_s;
const QString Competitors = u"MRV_TRN_COMPETITORS_100"_s;
const QString Templates = u"MRV_TRN_TEMPLATES_100"_s;

} // namespace

class ManagerParticulars : public ManagerCompanies {
protected:
    // The removal phase alone, as the copy run performs it.
    HRESULT removeAll(const QString& categoryId) {
        return manager(categoryId)->writeToTarget(read(categoryId), MRV_DIInterface::RemovalPhase);
    }
    QStringList failedRemovals() {
        QStringList errors;
        for (const QStringList& r : logRecords())
            if (r[Type] == u"404" && r[Result] == u"403")
                errors << r[TargetDesc] + u": "_s + r[Error];
        return errors;
    }
};

TEST_F(ManagerParticulars, GroupsOfOneKindLeaveTheOtherKindAlone) {
    priceLists(*base, *target);
    ASSERT_EQ(copy(CustomerGroups, MRV_DIInterface::AddNew), S_OK);
    ASSERT_EQ(copy(VendorGroups, MRV_DIInterface::AddNew), S_OK);
    const QString vendors = u"SELECT GroupName FROM OCRG WHERE GroupType = 'S' ORDER BY 1"_s;
    const QStringList vendorGroups = column(*target, vendors);
    ASSERT_FALSE(vendorGroups.isEmpty());

    // A business partner still uses one customer group: it stays, and the
    // line says why; every other customer group goes; no vendor group does.
    exec(*target, u"INSERT INTO OCRD (CardCode, CardName, CardType, GroupCode) SELECT N'C1', "
                  u"N'Customer', 'C', GroupCode FROM OCRG WHERE GroupName = N'Retail'"_s);
    EXPECT_EQ(removeAll(CustomerGroups), S_FALSE);
    EXPECT_EQ(column(*target, u"SELECT GroupName FROM OCRG WHERE GroupType = 'C'"_s),
              QStringList{u"Retail"_s});
    EXPECT_EQ(failedRemovals(), QStringList{u"Retail: The record is still used in OCRD"_s});
    EXPECT_EQ(column(*target, vendors), vendorGroups);
    // Written again, the kept group is updated and the others are added.
    EXPECT_EQ(
        manager(CustomerGroups)->writeToTarget(read(CustomerGroups), MRV_DIInterface::ReplaceAll),
        S_OK);
    expectSame(u"SELECT GroupName FROM OCRG WHERE GroupType = 'C' ORDER BY 1"_s);
}

// A large table travels in documents of a few hundred rows, each row once,
// in order, and all of them arrive with a log line each.
TEST_F(ManagerParticulars, ALargeTableTravelsInDocumentsOfSomeRows) {
    exec(*base, u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1100) "
                u"INSERT INTO OPRJ (PrjCode, PrjName) SELECT printf('G%04d', i), "
                u"printf('<%d> & \"g\"', i) FROM n"_s);
    const QStringList codes = column(*base, u"SELECT PrjCode FROM OPRJ ORDER BY 1"_s);
    ASSERT_GT(codes.size(), 1100);
    const BOMTableList tables = read(Projects);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_GT(tables.first().documents.size(), 1);
    ASSERT_EQ(manager(Projects)->writeToTarget(tables, MRV_DIInterface::AddNew), S_OK);
    const QString all = u"SELECT PrjCode, PrjName FROM OPRJ ORDER BY 1"_s;
    expectSame(all);
    EXPECT_EQ(logRecords().size(), codes.size());
}

TEST_F(ManagerParticulars, ProjectsInUseAreNeverDeleted) {
    ASSERT_EQ(copy(Projects, MRV_DIInterface::AddNew), S_OK);
    exec(*target,
         u"INSERT INTO OCRD (CardCode, CardName, ProjectCod) VALUES (N'C1', N'C', N'PRJ001')"_s);
    exec(*target, u"UPDATE OACT SET Project = N'PRJ002' WHERE AcctCode = N'_SYS00000000001'"_s);
    const int before = int(logRecords().size());
    EXPECT_EQ(removeAll(Projects), S_FALSE);
    EXPECT_EQ(column(*target, u"SELECT PrjCode FROM OPRJ ORDER BY 1"_s),
              (QStringList{u"PRJ001"_s, u"PRJ002"_s}));
    // The partner's project is not even a candidate; the account's is
    // refused with its reason.
    EXPECT_EQ(failedRemovals(),
              QStringList{u"Web Shop Launch: The record is still used in OACT"_s});
    EXPECT_EQ(logRecords().size() - before,
              column(*base, u"SELECT PrjCode FROM OPRJ"_s).size() - 1);
}

TEST_F(ManagerParticulars, StatesTravelWithTheirCountry) {
    addressFormats(*base, *target);
    const QString states = u"SELECT Code, Name FROM OCST WHERE Country = 'DE' ORDER BY 1"_s;
    ASSERT_EQ(copy(Countries, MRV_DIInterface::AddNew, {{u"DE"_s}}), S_OK);
    expectSame(states);
    EXPECT_EQ(logRecords().size(), 1); // the country is the record

    // Updated: changed states are updated and new ones added.
    exec(*base, u"UPDATE OCST SET Name = N'Bayern' WHERE Country = 'DE' AND Code = 'BY'"_s);
    exec(*base, u"INSERT INTO OCST (Country, Code, Name) VALUES (N'DE', N'ZZ', N'Neuland')"_s);
    ASSERT_EQ(copy(Countries, MRV_DIInterface::UpdateExisting, {{u"DE"_s}}), S_OK);
    expectSame(states);

    // A state the target refuses fails its country: neither is written.
    BOMTableList tables = read(Countries, {{u"FR"_s}});
    ASSERT_EQ(tables.size(), 2);
    tables[1].documents.first().xml.replace(u"<Name>"_s, u"<Bogus>1</Bogus><Name>"_s);
    EXPECT_EQ(manager(Countries)->writeToTarget(tables, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(logRecords().last().value(Error), "Table OCST has no column Bogus");
    EXPECT_TRUE(column(*target, u"SELECT Code FROM OCRY WHERE Code = 'FR'"_s).isEmpty());
    EXPECT_TRUE(column(*target, u"SELECT Code FROM OCST WHERE Country = 'FR'"_s).isEmpty());

    // Removed, a country takes its states along; one the company names stays.
    exec(*target, u"UPDATE OADM SET Country = N'DE'"_s);
    ASSERT_EQ(copy(Countries, MRV_DIInterface::AddNew, {{u"US"_s}}), S_OK);
    EXPECT_EQ(removeAll(Countries), S_FALSE);
    EXPECT_EQ(column(*target, u"SELECT Code FROM OCRY"_s), QStringList{u"DE"_s});
    EXPECT_EQ(column(*target, u"SELECT DISTINCT Country FROM OCST"_s), QStringList{u"DE"_s});
    EXPECT_EQ(failedRemovals(), QStringList{u"Germany: The record is still used in OADM"_s});
}

TEST_F(ManagerParticulars, TerritoriesAreWrittenParentsFirstAndRemovedChildrenFirst) {
    // Documents in the worst order: every child before its parent.
    BOMTableList tables = read(Territories);
    std::reverse(tables.first().documents.begin(), tables.first().documents.end());
    ASSERT_EQ(manager(Territories)->writeToTarget(tables, MRV_DIInterface::AddNew), S_OK);
    const QString tree = u"SELECT t.descript, p.descript FROM OTER t LEFT JOIN OTER p "
                         u"ON p.territryID = t.parent ORDER BY 1"_s;
    expectSame(tree);

    // A child whose parent is neither in the target nor among the records
    // cannot be placed: it fails and says which parent is missing.
    ASSERT_EQ(removeAll(Territories), S_OK);
    EXPECT_TRUE(column(*target, u"SELECT descript FROM OTER"_s).isEmpty());
    EXPECT_EQ(copy(Territories, MRV_DIInterface::AddNew, {{2}}), S_FALSE);
    EXPECT_TRUE(logRecords().last().value(Error).contains(
        u"Parent refers to OTER descript 'North America', which is not in the target company"_s));
    // A parent the base itself lacks is said to be missing there.
    const QString parent =
        value(*base, u"SELECT parent FROM OTER WHERE territryID = 2"_s).toString();
    exec(*base, u"UPDATE OTER SET parent = 9999 WHERE territryID = 2"_s);
    EXPECT_EQ(copy(Territories, MRV_DIInterface::AddNew, {{2}}), S_FALSE);
    EXPECT_TRUE(logRecords().last().value(Error).endsWith(
        u"Parent '9999' names no record of OTER in the base company"_s))
        << logRecords().last().value(Error).toStdString();
    exec(*base, u"UPDATE OTER SET parent = %1 WHERE territryID = 2"_s.arg(parent));
    // Nor where two of the target's territories have its name: neither is
    // taken for it.
    exec(*target, u"INSERT INTO OTER (territryID, descript, parent) VALUES (71, N'North America', "
                  u"-2), (72, N'North America', -2)"_s);
    EXPECT_EQ(copy(Territories, MRV_DIInterface::AddNew, {{2}}), S_FALSE);
    EXPECT_TRUE(logRecords().last().value(Error).contains(
        u"Parent refers to OTER descript 'North America', which names 2 records in the target "
        u"company, not one"_s));
    EXPECT_TRUE(
        column(*target, u"SELECT descript FROM OTER WHERE territryID NOT IN (71, 72)"_s).isEmpty());
    // The server compares names without regard to case: the target's
    // "NORTH AMERICA" is the parent.
    exec(*target, u"DELETE FROM OTER WHERE territryID = 72"_s);
    exec(*target, u"UPDATE OTER SET descript = N'NORTH AMERICA' WHERE territryID = 71"_s);
    EXPECT_EQ(copy(Territories, MRV_DIInterface::AddNew, {{2}}), S_OK);
    EXPECT_EQ(column(*target, u"SELECT parent FROM OTER WHERE territryID <> 71"_s),
              QStringList{u"71"_s});
    exec(*target, u"DELETE FROM OTER"_s);
    EXPECT_EQ(copy(Territories, MRV_DIInterface::AddNew, {{2}, {1}}), S_OK);
    EXPECT_EQ(
        column(*target, u"SELECT p.descript FROM OTER t JOIN OTER p ON p.territryID = t.parent"_s),
        QStringList{u"North America"_s});
}

// The host's counter of the groups follows those written, on the servers
// whose SQL differs.
class ManagerCounters : public ManagerOnServer {};

TEST_P(ManagerCounters, GroupsWrittenAdvanceTheHostsCounter) {
    priceLists(*base, *target);
    ASSERT_EQ(copy(CustomerGroups, MRV_DIInterface::AddAndUpdate), S_OK);
    ASSERT_EQ(copy(VendorGroups, MRV_DIInterface::ReplaceAll), S_OK);
    EXPECT_EQ(value(*target, u"SELECT AutoKey FROM ONNM WHERE ObjectCode = '10'"_s).toInt(),
              value(*target, u"SELECT MAX(GroupCode) FROM OCRG"_s).toInt() + 1);
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, ManagerCounters, ::testing::Values(5, 2), serverTypeName);

// Price lists are numbered by the caller: a list found by its name keeps the
// target's number, a new one takes the number after the highest, and its
// base list (written first, whatever the order of the documents) is named
// by the target's number; a base list names itself.
TEST_F(ManagerParticulars, PriceListsKeepTheirBaseListsUnderTheTargetsNumbers) {
    currencies(*base, *target);
    exec(*target, u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (7, N'Outlet', 7)"_s);
    exec(*target, u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (9, N'Retail', 9)"_s);
    BOMTableList tables = read(PriceLists);
    std::reverse(tables.first().documents.begin(), tables.first().documents.end());
    ASSERT_EQ(manager(PriceLists)->writeToTarget(tables, MRV_DIInterface::AddAndUpdate), S_OK);
    const QString tree = u"SELECT l.ListName, b.ListName FROM OPLN l JOIN OPLN b "
                         u"ON b.ListNum = l.BASE_NUM WHERE l.ListName <> N'Outlet' ORDER BY 1"_s;
    const QList<QVariantList> written = rows(*target, tree);
    EXPECT_EQ(written, (QList<QVariantList>{{u"Base Price"_s, u"Base Price"_s},
                                            {u"Export"_s, u"Base Price"_s},
                                            {u"Purchase Price"_s, u"Purchase Price"_s},
                                            {u"Retail"_s, u"Base Price"_s},
                                            {u"Wholesale"_s, u"Base Price"_s}}));
    // Retail was there; the others follow the highest.
    const QString numbered = u"SELECT ListNum, ListName FROM OPLN ORDER BY 1"_s;
    const QList<QVariantList> numbers = rows(*target, numbered);
    EXPECT_EQ(column(*target, numbered),
              (QStringList{u"7"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s, u"13"_s}));
    EXPECT_EQ(value(*target, u"SELECT ListNum FROM OPLN WHERE ListName = N'Retail'"_s).toInt(), 9);
    // Once more: every list is found, nothing is added.
    const qsizetype lines = logRecords().size();
    ASSERT_EQ(manager(PriceLists)->writeToTarget(read(PriceLists), MRV_DIInterface::AddAndUpdate),
              S_OK);
    EXPECT_EQ(rows(*target, tree), written);
    EXPECT_EQ(rows(*target, numbered), numbers);
    expectOnlyUpdates(lines);
}

// Rows whose keys the company numbers are matched by name: a name the
// target has keeps the target's key, a new name takes the key after the
// highest, and a target without rows starts at 1.
TEST_F(ManagerParticulars, RowsNumberedPerCompanyAreMatchedByName) {
    const QString competitors = u"SELECT CompetId, Name, Memo FROM OCMT ORDER BY 1"_s;
    ASSERT_EQ(copy(Competitors, MRV_DIInterface::AddNew, {{1}, {2}}), S_OK);
    EXPECT_EQ(column(*target, u"SELECT CompetId FROM OCMT ORDER BY 1"_s),
              (QStringList{u"1"_s, u"2"_s}));
    exec(*target, u"DELETE FROM OCMT"_s);
    const QString second = value(*base, u"SELECT Name FROM OCMT WHERE CompetId = 2"_s).toString();
    exec(*target,
         u"INSERT INTO OCMT (CompetId, Name, Memo) VALUES (40, %1, N'old')"_s.arg(lit(second)));
    exec(*target, u"INSERT INTO OCMT (CompetId, Name) VALUES (41, N'Somebody else')"_s);
    ASSERT_EQ(copy(Competitors, MRV_DIInterface::AddAndUpdate), S_OK);
    const QString byName = u"SELECT Name, Memo FROM OCMT WHERE Name <> N'Somebody else' "
                           u"ORDER BY 1"_s;
    expectSame(byName);
    EXPECT_EQ(
        value(*target, u"SELECT CompetId FROM OCMT WHERE Name = %1"_s.arg(lit(second))).toInt(),
        40);
    const int others = int(column(*base, u"SELECT Name FROM OCMT"_s).size()) - 1;
    EXPECT_EQ(value(*target, u"SELECT MAX(CompetId) FROM OCMT"_s).toInt(), 41 + others);
}

// A template's attachment is a file of the base company: the target's
// template is written without it.
TEST_F(ManagerParticulars, TemplatesArriveWithoutTheirAttachment) {
    exec(*base, u"UPDATE OCTT SET AttachmentEntry = 12"_s);
    ASSERT_EQ(copy(Templates, MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(column(*target, u"SELECT DISTINCT AttachmentEntry FROM OCTT"_s),
              QStringList{QString()});
}

// Partner properties are positions: the base's property 3 is the target's
// property 3 under the base's name, however the target called it.
TEST_F(ManagerParticulars, PartnerPropertiesKeepTheirPositions) {
    for (int i = 1; i <= 64; ++i)
        exec(*target,
             u"INSERT INTO OCQG (GroupCode, GroupName) VALUES (%1, N'Property %1')"_s.arg(i));
    ASSERT_EQ(copy(u"MRV_TRN_BPPROPERTIES_100"_s, MRV_DIInterface::AddAndUpdate), S_OK);
    const QString all = u"SELECT GroupCode, GroupName FROM OCQG ORDER BY 1"_s;
    expectSame(all);
}

TEST_F(ManagerParticulars, AlertsTakeTheirRecipientsByUserCodeAndRemovalLeavesSystemAlerts) {
    const QString alerts = u"MRV_TRN_ALERTS_100"_s;
    users(*base, *target);
    copyNamesUnderOtherKeys(*base, *target, u"SELECT QName FROM OUQR"_s,
                            u"INSERT INTO OUQR (IntrnalKey, QName) VALUES (%1, %2)"_s);
    const QString systemAlerts = u"SELECT Code, Name FROM OALT WHERE Type <> 'U' ORDER BY 1"_s;
    const QList<QVariantList> before = rows(*target, systemAlerts);
    ASSERT_FALSE(before.isEmpty());
    ASSERT_EQ(copy(alerts, MRV_DIInterface::AddNew), S_OK);
    const QString recipients =
        u"SELECT a.Name, u.USER_CODE, r.SendEMail FROM ALT1 r JOIN OALT a ON a.Code = r.Code "
        u"JOIN OUSR u ON u.USERID = r.UserSign WHERE a.Type = 'U' ORDER BY 1, 2"_s;
    expectSame(recipients);
    ASSERT_FALSE(rows(*target, recipients).isEmpty());
    // The users have other numbers in the target, so the recipients do too.
    EXPECT_NE(column(*target, u"SELECT UserSign FROM ALT1 ORDER BY 1"_s),
              column(*base, u"SELECT r.UserSign FROM ALT1 r JOIN OALT a ON a.Code = r.Code "
                            u"WHERE a.Type = 'U' ORDER BY 1"_s));

    EXPECT_EQ(removeAll(alerts), S_OK);
    EXPECT_EQ(rows(*target, systemAlerts), before);
    EXPECT_TRUE(column(*target, u"SELECT Code FROM OALT WHERE Type = 'U'"_s).isEmpty());
    EXPECT_TRUE(column(*target, u"SELECT Code FROM ALT1"_s).isEmpty());

    // A recipient the target does not know fails the alert, naming him;
    // nothing of that alert is written.
    exec(*target, u"DELETE FROM OUSR WHERE USER_CODE = N'sales2'"_s);
    EXPECT_EQ(copy(alerts, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList errors = failedLines(0, BaseDesc);
    const QString missing =
        u"UserSign refers to OUSR USER_CODE 'sales2', which is not in the target company"_s;
    const QStringList refused =
        column(*base, u"SELECT a.Name FROM OALT a JOIN ALT1 r ON r.Code = a.Code JOIN OUSR u "
                      u"ON u.USERID = r.UserSign WHERE u.USER_CODE = N'sales2' ORDER BY 1"_s);
    ASSERT_FALSE(refused.isEmpty());
    QStringList expected;
    for (const QString& name : refused)
        expected << name + u": "_s + missing;
    EXPECT_EQ(errors, expected);
    for (const QString& name : refused)
        EXPECT_TRUE(
            column(*target, u"SELECT Code FROM OALT WHERE Name = %1"_s.arg(lit(name))).isEmpty());
}

TEST_F(ManagerParticulars, BanksDefaultAccountTravelsByBankCodeAndAccountNumber) {
    const QString banksCategory = u"MRV_TRN_BANKSANDBRANCHES_100"_s;
    countries(*base, *target);
    const QString defaults = u"SELECT b.BankCode, d.BankCode, d.Account FROM ODSC b LEFT JOIN "
                             u"DSC1 d ON d.AbsEntry = b.DfltActKey ORDER BY 1"_s;
    // The first bank has two accounts: the default one must be found, not
    // any of the bank's.
    ASSERT_EQ(value(*base, u"SELECT COUNT(*) FROM DSC1 GROUP BY BankKey ORDER BY 1 DESC"_s).toInt(),
              2);

    // Before their accounts exist, banks are written without a default
    // account, and their lines say so.
    ASSERT_EQ(copy(banksCategory, MRV_DIInterface::AddNew), S_OK);
    EXPECT_TRUE(
        column(*target, u"SELECT DfltActKey FROM ODSC WHERE DfltActKey IS NOT NULL"_s).isEmpty());
    qsizetype noted = 0;
    for (const QStringList& r : logRecords())
        noted +=
            r[Error].startsWith(u"DefaultBankAccountKey refers to DSC1 BankCode/Account '"_s) &&
            r[Error].endsWith(u"', which is not in the target company; written without it"_s);
    EXPECT_EQ(noted, column(*base, u"SELECT 1 FROM ODSC WHERE DfltActKey IS NOT NULL"_s).size());

    // Once the accounts are there (under other entries), the default
    // account key is turned into the target's.
    int entry = 70;
    for (const QVariantList& a :
         rows(*base, u"SELECT BankCode, Country, Account FROM DSC1 ORDER BY AbsEntry"_s))
        exec(*target,
             u"INSERT INTO DSC1 (AbsEntry, BankKey, BankCode, Country, Account) SELECT "
             u"%1, AbsEntry, BankCode, CountryCod, %2 FROM ODSC WHERE BankCode = %3"_s.arg(entry++)
                 .arg(lit(a[2].toString()), lit(a[0].toString())));
    ASSERT_EQ(copy(banksCategory, MRV_DIInterface::UpdateExisting), S_OK);
    expectSame(defaults);
    EXPECT_NE(column(*target, u"SELECT DfltActKey FROM ODSC ORDER BY BankCode"_s),
              column(*base, u"SELECT DfltActKey FROM ODSC ORDER BY BankCode"_s));
}

TEST_F(ManagerParticulars, CardWhoseAccountIsMissingFailsNamingTheAccountCode) {
    const QString cards = u"MRV_TRN_CREDITCARDS_100"_s;
    countries(*base, *target);
    accountsOf(*base, *target, u"SELECT AcctCode FROM OCRC"_s);
    const QString code = value(*base, u"SELECT a.FormatCode FROM OCRC c JOIN OACT a ON "
                                      u"a.AcctCode = c.AcctCode WHERE c.CardName = N'Discover'"_s)
                             .toString();
    ASSERT_FALSE(code.isEmpty());
    exec(*base, u"UPDATE OCRC SET AcctCode = NULL WHERE CardName <> N'Discover'"_s);
    exec(*target, u"DELETE FROM OACT WHERE FormatCode = %1"_s.arg(lit(code)));
    EXPECT_EQ(copy(cards, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(failedLines(0, BaseDesc),
              QStringList{u"Discover: GLAccount refers to OACT FormatCode '%1', which is "
                          u"not in the target company"_s.arg(code)});
    EXPECT_EQ(
        column(*target, u"SELECT CardName FROM OCRC ORDER BY 1"_s),
        column(*base, u"SELECT CardName FROM OCRC WHERE CardName <> N'Discover' ORDER BY 1"_s));
}

TEST_F(ManagerParticulars, DunningLevelsFollowTheTargetsLastLineAndASecondRunAddsNothing) {
    const QString levels = u"MRV_TRN_DUNNINGLEVELS_100"_s;
    dunningLetters(*base, *target);
    exec(*target, u"INSERT INTO ODUT (Code, Name) VALUES (90, N'Own reminders')"_s);
    const qsizetype terms = column(*base, u"SELECT Code FROM ODUT"_s).size();
    exec(*target, u"INSERT INTO ODUN (LineNum, DunTerm, Days) VALUES (30, 90, 5)"_s);
    const qsizetype count = column(*base, u"SELECT LineNum FROM ODUN"_s).size();
    ASSERT_GT(count, 1);
    ASSERT_EQ(copy(levels, MRV_DIInterface::AddNew), S_OK);
    QStringList expected;
    for (int line = 31; line <= 30 + count; ++line)
        expected << QString::number(line);
    EXPECT_EQ(column(*target, u"SELECT LineNum FROM ODUN WHERE DunTerm <> 90 ORDER BY 1"_s),
              expected);

    // Into the filled target every level is the one written before.
    const int mark = int(logRecords().size());
    const QString all = u"SELECT LineNum, DunTerm, Days, LetrFormat FROM ODUN ORDER BY 1"_s;
    const QList<QVariantList> written = rows(*target, all);
    ASSERT_EQ(copy(levels, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(logRecords().size() - mark, count + terms);
    expectOnlyUpdates(mark);
    EXPECT_EQ(rows(*target, all), written);
}

// A sales employee brings its employee and the employee's managers, written
// managers first whatever the order, each linked to the other by the
// target's keys; the lookup values arrive by name, locked ones stay home.
TEST_F(ManagerParticulars, SalesEmployeesBringTheirEmployeesAndLookupValues) {
    const QString category = u"MRV_TRN_SALESEMPLOYEES_100"_s;
    employeeReferences(*base, *target);
    exec(*base, u"UPDATE OHTY SET locked = 'Y' WHERE name = N'Contractor'"_s);
    exec(*target, u"INSERT INTO OHPS (posID, name) VALUES (7, N'Sales representative')"_s);
    BOMTableList tables = read(category, {{1}});
    for (MRV_BOMTable& entry : tables)
        if (entry.name == u"OHEM")
            std::reverse(entry.documents.begin(), entry.documents.end());
    ASSERT_EQ(manager(category)->writeToTarget(tables, MRV_DIInterface::AddAndUpdate), S_OK);

    const QString chain =
        u"SELECT e.lastName, m.lastName, p.name, n.SlpName, s.SlpName FROM OHEM e "
        u"LEFT JOIN OHEM m ON m.empID = e.manager LEFT JOIN OHPS p ON p.posID = e.position "
        u"LEFT JOIN OSLP n ON n.SlpCode = e.salesPrson LEFT JOIN OSLP s ON s.EmpID = e.empID "
        u"WHERE %1 ORDER BY 1"_s;
    const QList<QVariantList> three = rows(
        *base, chain.arg(u"e.empID IN (SELECT EmpID FROM OSLP WHERE SlpCode = 1) OR e.empID IN "
                         u"(1, 2)"_s));
    ASSERT_EQ(three.size(), 3);
    EXPECT_EQ(rows(*target, chain.arg(u"1 = 1"_s)), three);
    EXPECT_EQ(column(*target, u"SELECT posID FROM OHPS WHERE name = N'Sales representative'"_s),
              QStringList{u"7"_s});
    const QString unlocked = u"SELECT name FROM OHTY WHERE locked = 'N' ORDER BY 1"_s;
    expectSame(unlocked);
    EXPECT_EQ(
        column(*target, u"SELECT MAX(posID) FROM OHPS"_s),
        QStringList{QString::number(7 + column(*base, u"SELECT name FROM OHPS"_s).size() - 1)});

    // An employee of a type the target lacks is refused with the reason;
    // its sales employee arrives unlinked, and its own line says so.
    exec(*base, u"UPDATE OHEM SET type = (SELECT typeID FROM OHTY WHERE name = N'Contractor') "
                u"WHERE empID = (SELECT EmpID FROM OSLP WHERE SlpCode = 2)"_s);
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate, {{2}}), S_FALSE);
    QStringList errors = failedLines(mark);
    ASSERT_EQ(errors.size(), 2);
    for (QString& e : errors)
        e = e.section(u": "_s, 1);
    EXPECT_TRUE(errors[0].startsWith(
        u"EmployeeType refers to OHTY name 'Contractor', which is not in the target company"_s))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[1].startsWith(u"The sales employee's employee"_s))
        << errors[1].toStdString();
    const QString second = value(*base, u"SELECT SlpName FROM OSLP WHERE SlpCode = 2"_s).toString();
    EXPECT_TRUE(
        value(*target, u"SELECT EmpID FROM OSLP WHERE SlpName = %1"_s.arg(lit(second))).isNull());

    // "Replace All" removes only the sales employees no employee is; the
    // employees and lookup values stay.
    exec(*target, u"INSERT INTO OSLP (SlpCode, SlpName) VALUES (90, N'Temporary')"_s);
    const qsizetype employees = column(*target, u"SELECT empID FROM OHEM"_s).size();
    const qsizetype before = logRecords().size();
    EXPECT_EQ(removeAll(category), S_OK);
    EXPECT_EQ(logRecords().size() - before, 2); // Temporary and the unlinked one
    EXPECT_EQ(column(*target, u"SELECT SlpName FROM OSLP WHERE SlpCode <> -1"_s).size(), 1);
    EXPECT_EQ(column(*target, u"SELECT empID FROM OHEM"_s).size(), employees);
    expectSame(unlocked);
}
