#pragma once

#include "config/MRV_ConfigurationManager.h"
#include "di/EngineTestSupport.h"
#include "di/MRV_SQLBuilder.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <functional>

// A text value as a literal of the servers the suites use.
inline QString lit(const QString& value) {
    return MRV_SQLBuilder::textLiteral(value, 6);
}

// What a test needs to know of a category to copy it between the standard
// and the empty company and compare the two afterwards.
struct ManagerCase {
    const char* name;
    QString categoryId;
    // The category's records in a company as comparable rows: names and
    // what they refer to by name, never internal keys.
    QString contents;
    // Records of the category in the base.
    QString records;
    // Readies the empty target for the category's references.
    std::function<void(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target)> prepare;
    // Adds a record named by a text literal (%2) to the base, with the
    // number %1 and the code literal %3 to make its key.
    QString insertNamed;
    // The names of the category's records, and how long a name may be.
    QString names;
    int nameWidth = 0;
    // The names are required: a record without one is refused.
    bool nameRequired = true;
    // The target's records that the removal phase of "Replace All" removes,
    // when not all of records: the others stay and are updated.
    QString removable{};
    // Rows that travel with the records, each with a line of its own.
    QString companions{};
    // The records' lines, compared field by field like contents.
    QStringList lines{};
    // Rows the category adds or updates whatever the copy method (a query's
    // categories), by the base codes of their lines: those lines must
    // succeed, and are not counted with the records'.
    QString steady{};
};

inline void PrintTo(const ManagerCase& c, std::ostream* os) {
    *os << c.name;
}

// What the case compares of a company: its contents, then its lines.
inline QList<QVariantList> caseContents(LLObjectsCOM::Company& company, const ManagerCase& c) {
    QList<QVariantList> all = EngineWorld::rows(company, c.contents);
    for (const QString& lines : c.lines)
        all << EngineWorld::rows(company, lines);
    return all;
}

// The target gets what the base has of a category's references (the values
// baseSelect gives that targetSelect does not) under other numbers, so that
// references must be turned into the target's keys: insert takes a new key
// as %1 and the value's literal as %2.
inline void addMissing(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target,
                       const QString& baseSelect, const QString& targetSelect,
                       const QString& insert) {
    const QStringList present = EngineWorld::column(target, targetSelect);
    int key = 40 + int(present.size());
    for (const QString& value : EngineWorld::column(base, baseSelect))
        if (!present.contains(value)) {
            // The value goes in last, so that nothing in it is taken for a
            // placeholder.
            QString statement = insert;
            statement.replace(QStringLiteral("%1"), QString::number(key++));
            EngineWorld::exec(target, statement.replace(QStringLiteral("%2"), lit(value)));
        }
}

// Base rows of select that the target lacks (the rows of targetSelect
// there, when given), each inserted with its values as literals (%2, %3,
// ...) and a new number (%1).
inline void addRows(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target,
                    const QString& select, const QString& insert,
                    const QString& targetSelect = {}) {
    const QList<QVariantList> present =
        EngineWorld::rows(target, targetSelect.isEmpty() ? select : targetSelect);
    int key = 40 + int(present.size());
    for (const QVariantList& row : EngineWorld::rows(base, select)) {
        if (present.contains(row))
            continue;
        QString statement = insert;
        statement.replace(QStringLiteral("%1"), QString::number(key++));
        // Highest placeholder first, so that %1 never eats the start of %10.
        for (qsizetype i = row.size() - 1; i >= 0; --i)
            statement.replace(QStringLiteral("%") + QString::number(i + 2), lit(row[i].toString()));
        EngineWorld::exec(target, statement);
    }
}

inline void copyNamesUnderOtherKeys(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target,
                                    const QString& select, const QString& insert) {
    addMissing(base, target, select, select, insert);
}

inline void priceLists(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, QStringLiteral("SELECT ListName FROM OPLN"),
                            QStringLiteral("INSERT INTO OPLN (ListNum, ListName, BASE_NUM) "
                                           "VALUES (%1, %2, 40)"));
}

inline void addressFormats(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, QStringLiteral("SELECT Name FROM OADF"),
                            QStringLiteral("INSERT INTO OADF (Code, Name) VALUES (%1, %2)"));
}

inline void currencies(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(
        base, target, QStringLiteral("SELECT CurrCode FROM OCRN"),
        QStringLiteral("INSERT INTO OCRN (CurrCode, CurrName) VALUES (%2, %2)"));
}

// The accounts that codes (a select of account codes) name, by the same
// formatted code under another account code.
inline void accountsOf(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target,
                       const QString& codes) {
    addMissing(base, target,
               QStringLiteral("SELECT FormatCode FROM OACT WHERE AcctCode IN (%1)").arg(codes),
               QStringLiteral("SELECT FormatCode FROM OACT"),
               QStringLiteral("INSERT INTO OACT (AcctCode, AcctName, FormatCode) "
                              "VALUES (N'M%1', %2, %2)"));
}

inline void relationshipsAndPartners(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, QStringLiteral("SELECT OrlDesc FROM OORL"),
                            QStringLiteral("INSERT INTO OORL (OrlCode, OrlDesc) VALUES (%1, %2)"));
    addMissing(base, target,
               QStringLiteral("SELECT DISTINCT RelatCard FROM OPRT WHERE RelatCard IS NOT NULL"),
               QStringLiteral("SELECT CardCode FROM OCRD"),
               QStringLiteral("INSERT INTO OCRD (CardCode, CardName, CardType) "
                              "VALUES (%2, %2, 'C')"));
}

// Countries are known by the same codes in every company.
inline void countries(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, QStringLiteral("SELECT Code FROM OCRY"),
                            QStringLiteral("INSERT INTO OCRY (Code, Name) VALUES (%2, %2)"));
}

// The base's users under other numbers, known by their user codes.
inline void users(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, QStringLiteral("SELECT USER_CODE FROM OUSR"),
                            QStringLiteral("INSERT INTO OUSR (INTERNAL_K, USERID, USER_CODE) "
                                           "VALUES (%1, %1, %2)"));
}

// The base's banks under other absolute entries, with the same code and
// country.
inline void banks(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    countries(base, target);
    addRows(base, target, QStringLiteral("SELECT BankCode, CountryCod, BankName FROM ODSC"),
            QStringLiteral("INSERT INTO ODSC (AbsEntry, BankCode, CountryCod, BankName) "
                           "VALUES (%1, %2, %3, %4)"));
}

// Countries and their states under the same codes.
inline void states(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    countries(base, target);
    addRows(base, target, QStringLiteral("SELECT Country, Code, Name FROM OCST"),
            QStringLiteral("INSERT INTO OCST (Country, Code, Name) VALUES (%2, %3, %4)"));
}

// The dunning letters' layouts under other keys (the terms travel with the
// levels).
inline void dunningLetters(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(
        base, target, QStringLiteral("SELECT DocName FROM RDOC WHERE TypeCode = 'DUN1'"),
        QStringLiteral("INSERT INTO RDOC (DocCode, DocName, TypeCode) VALUES ('L%1', %2, 'DUN1')"));
}

// Cards and card payment dates under other keys.
inline void cardsAndPaymentDates(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(
        base, target, QStringLiteral("SELECT CardName FROM OCRC"),
        QStringLiteral("INSERT INTO OCRC (CreditCard, CardName) VALUES (%1, %2)"));
    copyNamesUnderOtherKeys(base, target, QStringLiteral("SELECT Name FROM OCDT"),
                            QStringLiteral("INSERT INTO OCDT (Code, Name) VALUES ('T%1', %2)"));
}

// What the base's employees name: commission groups, departments, branches
// and users under other keys, their countries and states under the same
// codes.
inline void employeeReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(
        base, target, QStringLiteral("SELECT GroupName FROM OCOG"),
        QStringLiteral("INSERT INTO OCOG (GroupCode, GroupName) VALUES (%1, %2)"));
    for (const char* table : {"OUDP", "OUBR"})
        copyNamesUnderOtherKeys(
            base, target, QStringLiteral("SELECT Name FROM %1").arg(QLatin1String(table)),
            QStringLiteral("INSERT INTO %1 (Code, Name) VALUES (%2, %3)")
                .arg(QLatin1String(table), QStringLiteral("%1"), QStringLiteral("%2")));
    users(base, target);
    states(base, target);
}

// The employees that travel with the sales employees: theirs, and their
// managers up to the top (three levels in the demo).
inline QString travellingEmployees(const QString& alias) {
    const QString linked = QStringLiteral("SELECT EmpID FROM OSLP");
    const QString up = QStringLiteral("SELECT manager FROM OHEM WHERE empID IN (%1)");
    return QStringLiteral("(%1.empID IN (%2) OR %1.empID IN (%3) OR %1.empID IN (%4))")
        .arg(alias, linked, up.arg(linked), up.arg(up.arg(linked)));
}

// A category of one table whose rows are all its records, named in
// nameColumn: insert gives the columns and values (the key %1 or %3, the
// name %2) of a named record.
inline ManagerCase oneTable(const char* name, const char* categoryId, const char* table,
                            const char* columns, const char* nameColumn, int width,
                            const char* insert, bool nameRequired = true) {
    const QString from = QStringLiteral(" FROM ") + QLatin1String(table);
    return {name,
            QLatin1String(categoryId),
            QStringLiteral("SELECT ") + QLatin1String(columns) + from +
                QStringLiteral(" ORDER BY 1"),
            QStringLiteral("SELECT 1") + from,
            [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {},
            QStringLiteral("INSERT INTO ") + QLatin1String(table) + u' ' + QLatin1String(insert),
            QStringLiteral("SELECT ") + QLatin1String(nameColumn) + from,
            width,
            nameRequired};
}

inline QList<ManagerCase> managerCases() {
    const auto none = [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {};
    const auto groups = [](const char* type) {
        return QStringLiteral(
                   "SELECT g.GroupName, l.ListName, g.Locked FROM OCRG g LEFT JOIN OPLN l "
                   "ON l.ListNum = g.PriceList WHERE g.GroupType = '%1' ORDER BY 1")
            .arg(QLatin1String(type));
    };
    return {
        // Categories that others refer to come first: the dialect test
        // copies them all into one target, where a record still used is
        // never removed.
        oneTable("Currencies", "MRV_TRN_CURRENCYSETTINGS_100", "OCRN",
                 "CurrCode, CurrName, FrgnName, IsoCode, Decimals, ChkName", "CurrName", 20,
                 "(CurrCode, CurrName) VALUES (%3, %2)"),
        oneTable("AddressFormat", "MRV_TRN_ADDRESSFORMAT_100", "OADF", "Name, Format", "Name", 50,
                 "(Code, Name) VALUES (%1, %2)"),
        {"PriceListSetup", QStringLiteral("MRV_TRN_PRICELISTDEFS_100"),
         QStringLiteral("SELECT l.ListName, b.ListName, l.Factor, l.RoundSys, l.PrimCurr, "
                        "l.ValidFor FROM OPLN l LEFT JOIN OPLN b ON b.ListNum = l.BASE_NUM "
                        "ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OPLN"), currencies,
         QStringLiteral("INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (%1, %2, %1)"),
         QStringLiteral("SELECT ListName FROM OPLN"), 32},
        oneTable("Relationships", "MRV_TRN_RELTNSHPS_40", "OORL", "OrlDesc", "OrlDesc", 30,
                 "(OrlCode, OrlDesc) VALUES (%1, %2)"),
        {"Manufacturers", QStringLiteral("MRV_TRN_MANUFACTURERS_100"),
         QStringLiteral("SELECT FirmName FROM OMRC ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OMRC WHERE FirmCode <> -1"), none,
         QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (%1, %2)"),
         QStringLiteral("SELECT FirmName FROM OMRC"), 30},
        oneTable("ShippingTypes", "MRV_TRN_SHIPPINGTYPES_100", "OSHP", "TrnspName, WebSite",
                 "TrnspName", 40, "(TrnspCode, TrnspName) VALUES (%1, %2)"),
        oneTable("CommissionGroups", "MRV_TRN_COMMISIONGROUPS_100", "OCOG", "GroupName, Commission",
                 "GroupName", 20, "(GroupCode, GroupName) VALUES (%1, %2)"),
        {"CustomerGroups", QStringLiteral("MRV_TRN_CUSTOMERGROUPS_100"), groups("C"),
         QStringLiteral("SELECT 1 FROM OCRG WHERE GroupType = 'C'"), priceLists,
         QStringLiteral("INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (%1, %2, 'C')"),
         QStringLiteral("SELECT GroupName FROM OCRG WHERE GroupType = 'C'"), 20},
        {"VendorGroups", QStringLiteral("MRV_TRN_SUPPLIERGROUPS_100"), groups("S"),
         QStringLiteral("SELECT 1 FROM OCRG WHERE GroupType = 'S'"), priceLists,
         QStringLiteral("INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (%1, %2, 'S')"),
         QStringLiteral("SELECT GroupName FROM OCRG WHERE GroupType = 'S'"), 20},
        oneTable("Projects", "MRV_TRN_PROJECTS_100", "OPRJ",
                 "PrjCode, PrjName, Active, ValidFrom, ValidTo", "PrjName", 100,
                 "(PrjCode, PrjName) VALUES (%3, %2)"),
        {"Countries", QStringLiteral("MRV_TRN_COUNTRIES_100"),
         QStringLiteral("SELECT c.Code, c.Name, c.ReportCode, c.TaxIdDigts, f.Name, "
                        "(SELECT COUNT(*) FROM OCST s WHERE s.Country = c.Code) FROM OCRY c "
                        "LEFT JOIN OADF f ON f.Code = c.AddrFormat ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OCRY"), addressFormats,
         QStringLiteral("INSERT INTO OCRY (Code, Name) VALUES (%3, %2)"),
         QStringLiteral("SELECT Name FROM OCRY"), 100},
        {"Territories", QStringLiteral("MRV_TRN_TERRITORIES_100"),
         QStringLiteral("SELECT t.descript, p.descript, t.lindex FROM OTER t LEFT JOIN OTER p "
                        "ON p.territryID = t.parent ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OTER"), none,
         QStringLiteral("INSERT INTO OTER (territryID, descript, parent) VALUES (%1, %2, -2)"),
         QStringLiteral("SELECT descript FROM OTER"), 30},
        oneTable("Indexes", "MRV_TRN_INDEXES_100", "OIDX", "IdexCode, IndexName, IndexType",
                 "IndexName", 100, "(IdexCode, IndexName) VALUES (%3, %2)"),
        oneTable("TransactionCodes", "MRV_TRN_TRANSACTIONCODES_100", "OTRC",
                 "TrnsCode, TrnsCodDsc, Locked", "TrnsCodDsc", 100,
                 "(TrnsCode, TrnsCodDsc) VALUES (%3, %2)", false),
        {"Banks", QStringLiteral("MRV_TRN_BANKSANDBRANCHES_100"),
         QStringLiteral("SELECT BankCode, CountryCod, BankName, SwiftNum, PostOffice, DfltBranch, "
                        "DfltAcct, NextChkNo FROM ODSC ORDER BY 1, 2"),
         QStringLiteral("SELECT 1 FROM ODSC"), countries,
         QStringLiteral("INSERT INTO ODSC (AbsEntry, BankCode, CountryCod, BankName) "
                        "VALUES (%1, %3, 'US', %2)"),
         QStringLiteral("SELECT BankName FROM ODSC"), 100},
        {"CreditCards", QStringLiteral("MRV_TRN_CREDITCARDS_100"),
         QStringLiteral("SELECT c.CardName, a.FormatCode, c.Phone, c.CompanyId, c.Country, "
                        "c.Locked FROM OCRC c LEFT JOIN OACT a ON a.AcctCode = c.AcctCode "
                        "ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OCRC"),
         [](LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
             countries(base, target);
             accountsOf(base, target, QStringLiteral("SELECT AcctCode FROM OCRC"));
         },
         QStringLiteral("INSERT INTO OCRC (CreditCard, CardName) VALUES (%1, %2)"),
         QStringLiteral("SELECT CardName FROM OCRC"), 30},
        oneTable("CreditCardPayments", "MRV_TRN_CCPAYMENTS_100", "OCDT",
                 "Code, Name, DueOn, DueDays, DueMonths", "Name", 100,
                 "(Code, Name) VALUES (%3, %2)"),
        {"CreditCardPaymentMethods", QStringLiteral("MRV_TRN_CCPAYMNTMETHODS_100"),
         QStringLiteral("SELECT p.CrTypeName, c.CardName, d.Name, p.MinCredit, p.MinToPay, "
                        "p.InstalMent FROM OCRP p LEFT JOIN OCRC c ON c.CreditCard = p.CreditCard "
                        "LEFT JOIN OCDT d ON d.Code = p.DueTerms WHERE p.CrTypeCode > 0 "
                        "ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OCRP WHERE CrTypeCode > 0"), cardsAndPaymentDates,
         QStringLiteral("INSERT INTO OCRP (CrTypeCode, CrTypeName, CreditCard) VALUES (%1, %2, 1)"),
         QStringLiteral("SELECT CrTypeName FROM OCRP WHERE CrTypeCode > 0"), 30},
        {"PaymentMethods", QStringLiteral("MRV_TRN_PAYMENTMETHODS_100"),
         QStringLiteral("SELECT p.PayMethCod, p.Descript, p.Type, p.PayType, f.FrmatType, "
                        "p.BankCountr, p.DfltBank, p.DfltAcct, a.FormatCode, p.MaxAmount "
                        "FROM OPYM p LEFT JOIN OFRM f ON f.AbsEntry = p.Format "
                        "LEFT JOIN OACT a ON a.AcctCode = p.GLAccount ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OPYM"),
         [](LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
             banks(base, target);
             accountsOf(base, target, QStringLiteral("SELECT GLAccount FROM OPYM"));
         },
         QStringLiteral("INSERT INTO OPYM (PayMethCod, Descript) VALUES (%3, %2)"),
         QStringLiteral("SELECT Descript FROM OPYM"), 100, false,
         // The formats travel with the methods and stay.
         QStringLiteral("SELECT 1 FROM OPYM"), QStringLiteral("SELECT 1 FROM OFRM")},
        // A dunning level has no name of its own.
        {"DunningLevels", QStringLiteral("MRV_TRN_DUNNINGLEVELS_100"),
         QStringLiteral("SELECT t.Name, d.Days, r.DocName, d.MinBalance, d.Fee, d.Effective "
                        "FROM ODUN d LEFT JOIN ODUT t ON t.Code = d.DunTerm "
                        "LEFT JOIN RDOC r ON r.DocCode = d.LetrFormat ORDER BY 1, 2"),
         QStringLiteral("SELECT 1 FROM ODUN"), dunningLetters, QString(), QString(), 0, true,
         // The terms travel with the levels and stay.
         QStringLiteral("SELECT 1 FROM ODUN"), QStringLiteral("SELECT 1 FROM ODUT")},
        oneTable("CreditVendors", "MRV_TRN_CREDITSUPPLIERS_100", "OPVL", "ConsolNum, Name, Phone",
                 "Name", 100, "(Code, ConsolNum, Name) VALUES (%1, %3, %2)"),
        {"PaymentTerms", QStringLiteral("MRV_TRN_PAYMENTTERMS_100"),
         QStringLiteral("SELECT t.PymntGroup, t.DueStart, t.ExtraMonth, t.ExtraDays, t.InstNum, "
                        "l.ListName FROM OCTG t LEFT JOIN OPLN l ON l.ListNum = t.ListNum "
                        "WHERE t.GroupNum >= 0 ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OCTG WHERE GroupNum >= 0"), priceLists,
         QStringLiteral("INSERT INTO OCTG (GroupNum, PymntGroup) VALUES (%1, %2)"),
         QStringLiteral("SELECT PymntGroup FROM OCTG WHERE GroupNum >= 0"), 100},
        oneTable("PaymentBlocks", "MRV_TRN_PAYMENTBLOCKS_100", "OPYB", "PayBlock", "PayBlock", 30,
                 "(AbsEntry, PayBlock) VALUES (%1, %2)"),
        oneTable("SalesStages", "MRV_TRN_SALESSTAGES_100", "OOST",
                 "Descript, StepId, CloPrcnt, Canceled", "Descript", 30,
                 "(Num, Descript) VALUES (%1, %2)"),
        {"Partners", QStringLiteral("MRV_TRN_PARTNERS_100"),
         QStringLiteral(
             "SELECT p.Name, r.OrlDesc, p.RelatCard, p.Memo FROM OPRT p LEFT JOIN OORL r "
             "ON r.OrlCode = p.RelatnType ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OPRT"), relationshipsAndPartners,
         QStringLiteral("INSERT INTO OPRT (PrtId, Name) VALUES (%1, %2)"),
         QStringLiteral("SELECT Name FROM OPRT"), 50},
        oneTable("Competitors", "MRV_TRN_COMPETITORS_100", "OCMT", "Name, ThreatLevl, Memo", "Name",
                 50, "(CompetId, Name) VALUES (%1, %2)"),
        {"LandedCosts", QStringLiteral("MRV_TRN_LANDEDCOSTS_100"),
         QStringLiteral("SELECT l.AlcCode, l.AlcName, l.OhType, a.FormatCode FROM OALC l "
                        "LEFT JOIN OACT a ON a.AcctCode = l.AllocAcct ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OALC"),
         [](LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
             accountsOf(base, target, QStringLiteral("SELECT AllocAcct FROM OALC"));
         },
         QStringLiteral("INSERT INTO OALC (AlcCode, AlcName) VALUES (%3, %2)"),
         QStringLiteral("SELECT AlcName FROM OALC"), 100},
        oneTable("BPProperties", "MRV_TRN_BPPROPERTIES_100", "OCQG", "GroupCode, GroupName",
                 "GroupName", 20, "(GroupCode, GroupName) VALUES (%1, %2)"),
        oneTable("BPPriorities", "MRV_TRN_BPPRIORITIES_100", "OBPP", "PrioDesc", "PrioDesc", 30,
                 "(PrioCode, PrioDesc) VALUES (%1, %2)"),
        oneTable("ItemProperties", "MRV_TRN_ITEMPROPERTIES_100", "OITG", "ItmsTypCod, ItmsGrpNam",
                 "ItmsGrpNam", 20, "(ItmsTypCod, ItmsGrpNam) VALUES (%1, %2)"),
        oneTable("LengthWidthUoM", "MRV_TRN_UOMLENGTHWIDTH_100", "OLGT",
                 "UnitDisply, UnitName, SizeInMM", "UnitDisply", 10,
                 "(UnitCode, UnitDisply) VALUES (%1, %2)"),
        oneTable("WeightUoM", "MRV_TRN_UOMWEIGHT_100", "OWGT", "UnitDisply, UnitName, WightInMG",
                 "UnitDisply", 10, "(UnitCode, UnitDisply) VALUES (%1, %2)"),
        {"CustomGroups", QStringLiteral("MRV_TRN_CUSTOMGROUPS_100"),
         QStringLiteral("SELECT CstGrpName, Custom, BuyTax, OtherTax FROM OARG "
                        "WHERE CstGrpCode <> -1 ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OARG WHERE CstGrpCode <> -1"), none,
         QStringLiteral("INSERT INTO OARG (CstGrpCode, CstGrpName) VALUES (%1, %2)"),
         QStringLiteral("SELECT CstGrpName FROM OARG WHERE CstGrpCode <> -1"), 20},
        oneTable("Locations", "MRV_TRN_LOCATIONS_100", "OLCT", "Location", "Location", 100,
                 "(Code, Location) VALUES (%1, %2)"),
        oneTable("InventoryCycles", "MRV_TRN_INVENTORYCYCLES_100", "OCYC",
                 "Name, Frequency, Interval, Day, NextDate, Hour, Remind", "Name", 30,
                 "(Code, Name) VALUES (%1, %2)"),
        oneTable("Templates", "MRV_TRN_TEMPLATES_100", "OCTT",
                 "TmpltName, Descriptio, CntrcType, Duration, DurUnit, Renewal, Remarks",
                 "Descriptio", 100, "(TmpltName, Descriptio) VALUES (%3, %2)", false),
        oneTable("PackageTypes", "MRV_TRN_PACKAGETYPES_100", "OPKG",
                 "PkgType, Length1, Width1, Height1, Volume, Weight1", "PkgType", 30,
                 "(PkgCode, PkgType) VALUES (%1, %2)"),
        oneTable("PredefinedText", "MRV_TRN_PREDEFINEDTEXT_100", "OPDT", "TextCode, Text",
                 "TextCode", 20, "(AbsEntry, TextCode) VALUES (%1, %2)"),
        // Every employee that travels, with its sales employee and what it
        // names, by name; the lookup values and employees have lines too.
        {"SalesEmployees", QStringLiteral("MRV_TRN_SALESEMPLOYEES_100"),
         QStringLiteral(
             "SELECT e.lastName, e.firstName, e.jobTitle, p.name, m.lastName, y.name, t.name, "
             "r.name, d.name, c.GroupName, o.Name, b.Name, u.USER_CODE, e.homeState, "
             "e.homeCountr, e.startDate, e.termDate, e.Active, n.SlpName, s.SlpName, s.Memo, "
             "g.GroupName, s.Commission, s.Telephone, s.Email FROM OHEM e "
             "LEFT JOIN OHPS p ON p.posID = e.position LEFT JOIN OHEM m ON m.empID = e.manager "
             "LEFT JOIN OHTY y ON y.typeID = e.type LEFT JOIN OHST t ON t.statusID = e.status "
             "LEFT JOIN OHTR r ON r.reasonID = e.termReason "
             "LEFT JOIN OHED d ON d.edType = e.edType "
             "LEFT JOIN OCOG c ON c.GroupCode = e.CommGrCode LEFT JOIN OUDP o ON o.Code = e.dept "
             "LEFT JOIN OUBR b ON b.Code = e.branch LEFT JOIN OUSR u ON u.INTERNAL_K = e.userId "
             "LEFT JOIN OSLP n ON n.SlpCode = e.salesPrson LEFT JOIN OSLP s ON s.EmpID = e.empID "
             "LEFT JOIN OCOG g ON g.GroupCode = s.GroupCode WHERE ") +
             travellingEmployees(QStringLiteral("e")) + QStringLiteral(" ORDER BY 1, 2"),
         QStringLiteral("SELECT 1 FROM OSLP WHERE SlpCode <> -1"), employeeReferences,
         QStringLiteral("INSERT INTO OSLP (SlpCode, SlpName) VALUES (%1, %2)"),
         QStringLiteral("SELECT SlpName FROM OSLP WHERE SlpCode <> -1"), 155, true,
         // Those of an employee stay.
         QStringLiteral("SELECT 1 FROM OSLP WHERE SlpCode <> -1 AND SlpCode NOT IN "
                        "(SELECT salesPrson FROM OHEM WHERE salesPrson IS NOT NULL)"),
         QStringLiteral("SELECT 1 FROM OHED WHERE Locked = 'N' UNION ALL SELECT 1 FROM OHPS UNION "
                        "ALL SELECT 1 FROM "
                        "OHTR UNION ALL SELECT 1 FROM OHTY WHERE locked = 'N' UNION ALL SELECT 1 "
                        "FROM OHST UNION ALL SELECT 1 FROM OHEM e WHERE ") +
             travellingEmployees(QStringLiteral("e"))},
        {"Alerts", QStringLiteral("MRV_TRN_ALERTS_100"),
         QStringLiteral("SELECT a.Name, a.Priority, a.Active, q.QName, u.USER_CODE, a.FrqncyType, "
                        "a.ExecTime, a.NextDate, (SELECT COUNT(*) FROM ALT1 r WHERE r.Code = "
                        "a.Code) FROM OALT a LEFT JOIN OUQR q ON q.IntrnalKey = a.QueryId "
                        "LEFT JOIN OUSR u ON u.USERID = a.UserSign WHERE a.Type = 'U' ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OALT WHERE Type = 'U'"),
         [](LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
             users(base, target);
             copyNamesUnderOtherKeys(
                 base, target, QStringLiteral("SELECT QName FROM OUQR"),
                 QStringLiteral("INSERT INTO OUQR (IntrnalKey, QName) VALUES (%1, %2)"));
         },
         QStringLiteral("INSERT INTO OALT (Code, Name, Type) VALUES (%1, %2, 'U')"),
         QStringLiteral("SELECT Name FROM OALT WHERE Type = 'U'"), 100},
    };
}

// The categories of each suite that fit the table-driven suites, declared by
// the suite's file.
QList<ManagerCase> financeAccountCases();
QList<ManagerCase> financePeriodCases();
QList<ManagerCase> masterPriceListCases();
QList<ManagerCase> masterItemsGroupCases();
QList<ManagerCase> masterItemCases();
QList<ManagerCase> masterPartnerCases();
QList<ManagerCase> masterTransactionCases();
QList<ManagerCase> masterDefaultsCases();
QList<ManagerCase> userSettingsCases();
QList<ManagerCase> customQueryCases();
QList<ManagerCase> customUserTableCases();
QList<ManagerCase> userCases();
QList<ManagerCase> userDialectCases();

// The world of the manager suites, with what their checks of the log share.
class ManagerWorld : public EngineWorld {
protected:
    // The failed lines since record from, as "base code: error" (or another
    // field of the line before the error).
    QStringList failedLines(qsizetype from = 0, LogField by = BaseCode) const {
        QStringList lines;
        for (const QStringList& r : logRecords().mid(from))
            if (r[Result] == u"403")
                lines << r[by] + QStringLiteral(": ") + r[Error];
        return lines;
    }
    std::string failures(qsizetype from = 0) const {
        return failedLines(from).join(u'\n').toStdString();
    }
    // The lines since record from of a type and result, as "213402".
    qsizetype loggedSince(qsizetype from, const QString& typeAndResult) const {
        qsizetype n = 0;
        for (const QStringList& r : logRecords().mid(from))
            n += r[Type] + r[Result] == typeAndResult;
        return n;
    }
    // The category's records as the base holds them, written into a
    // configuration file (fileName in the test's folder) and read back.
    BOMTableList throughFile(const QString& category, const QString& fileName) {
        MRV_ConfigurationManager writer(context);
        QString object, text;
        EXPECT_EQ(writer.GetBOMFromDB(category, MRV_WorksheetNode(), object), S_OK);
        writer.writeHeader(text);
        MRV_ConfigurationManager::writeBodyStart(text);
        MRV_ConfigurationManager::writeObject(text, {{QStringLiteral("string_id"), category}},
                                              object);
        MRV_ConfigurationManager::writeBodyEnd(text);
        const QString path = dir.filePath(fileName);
        EXPECT_EQ(writer.writeToFile(path, text), S_OK);
        MRV_ConfigurationManager reader(context);
        EXPECT_EQ(reader.openFile(path), S_OK);
        return reader.tablesOf(category);
    }
    // The target shows what the base shows of sql.
    void expectSame(const QString& sql) const {
        EXPECT_EQ(rows(*target, sql), rows(*base, sql)) << sql.toStdString();
    }
    // The rows a category lists of the base, or of tables as a
    // configuration file gives them.
    QList<MRV_DIDataSet::Row> listed(const QString& category, const BOMTableList* from = nullptr) {
        const auto lister = manager(category); // the data set lives in its manager
        const MRV_DIDataSet* data =
            from ? lister->listFromConfiguration(*from) : lister->listFromDatabase();
        EXPECT_NE(data, nullptr) << category.toStdString();
        return data ? data->rows() : QList<MRV_DIDataSet::Row>();
    }
    // Every line since record from updated a record and succeeded.
    void expectOnlyUpdates(qsizetype from) const {
        for (const QStringList& r : logRecords().mid(from))
            EXPECT_EQ(r[Type] + r[Result], u"213402") << r.join(u'|').toStdString();
    }
};

// The names of every server type, for suites that run on each.
inline std::string anyServerTypeName(const ::testing::TestParamInfo<int>& info) {
    return info.param == 6 ? std::string("Plain") : serverTypeName(info);
}

// The standard and the empty company on the default server.
class ManagerCompanies : public ManagerWorld {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies();
    }
};

// The standard and the empty company on the server type of the parameter.
class ManagerOnServer : public ManagerWorld, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies(GetParam());
    }
};
