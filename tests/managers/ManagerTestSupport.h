#pragma once

#include "di/EngineTestSupport.h"
#include "di/MRV_SQLBuilder.h"

#include <functional>

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
};

inline void PrintTo(const ManagerCase& c, std::ostream* os) {
    *os << c.name;
}

// The target gets the base's price lists (or address formats) under other
// numbers, so that references must be turned into the target's keys; names
// it has already are left alone.
inline void copyNamesUnderOtherKeys(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target,
                                    const QString& select, const QString& insert) {
    const QStringList present = EngineWorld::column(target, select);
    int key = 40 + int(present.size());
    for (const QString& name : EngineWorld::column(base, select))
        if (!present.contains(name))
            EngineWorld::exec(target, insert.arg(key++).arg(MRV_SQLBuilder::textLiteral(name, 6)));
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

inline QList<ManagerCase> managerCases() {
    const auto none = [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {};
    const auto groups = [](const char* type) {
        return QStringLiteral(
                   "SELECT g.GroupName, l.ListName, g.Locked FROM OCRG g LEFT JOIN OPLN l "
                   "ON l.ListNum = g.PriceList WHERE g.GroupType = '%1' ORDER BY 1")
            .arg(QLatin1String(type));
    };
    return {
        {"Manufacturers", QStringLiteral("MRV_TRN_MANUFACTURERS_100"),
         QStringLiteral("SELECT FirmName FROM OMRC ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OMRC WHERE FirmCode <> -1"), none,
         QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (%1, %2)"),
         QStringLiteral("SELECT FirmName FROM OMRC"), 30},
        {"ShippingTypes", QStringLiteral("MRV_TRN_SHIPPINGTYPES_100"),
         QStringLiteral("SELECT TrnspName, WebSite FROM OSHP ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OSHP"), none,
         QStringLiteral("INSERT INTO OSHP (TrnspCode, TrnspName) VALUES (%1, %2)"),
         QStringLiteral("SELECT TrnspName FROM OSHP"), 40},
        {"Currencies", QStringLiteral("MRV_TRN_CURRENCYSETTINGS_100"),
         QStringLiteral("SELECT CurrCode, CurrName, FrgnName, IsoCode, Decimals, ChkName "
                        "FROM OCRN ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OCRN"), none,
         QStringLiteral("INSERT INTO OCRN (CurrCode, CurrName) VALUES (%3, %2)"),
         QStringLiteral("SELECT CurrName FROM OCRN"), 20},
        {"CommissionGroups", QStringLiteral("MRV_TRN_COMMISIONGROUPS_100"),
         QStringLiteral("SELECT GroupName, Commission FROM OCOG ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OCOG"), none,
         QStringLiteral("INSERT INTO OCOG (GroupCode, GroupName) VALUES (%1, %2)"),
         QStringLiteral("SELECT GroupName FROM OCOG"), 20},
        {"CustomerGroups", QStringLiteral("MRV_TRN_CUSTOMERGROUPS_100"), groups("C"),
         QStringLiteral("SELECT 1 FROM OCRG WHERE GroupType = 'C'"), priceLists,
         QStringLiteral("INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (%1, %2, 'C')"),
         QStringLiteral("SELECT GroupName FROM OCRG WHERE GroupType = 'C'"), 20},
        {"VendorGroups", QStringLiteral("MRV_TRN_SUPPLIERGROUPS_100"), groups("S"),
         QStringLiteral("SELECT 1 FROM OCRG WHERE GroupType = 'S'"), priceLists,
         QStringLiteral("INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (%1, %2, 'S')"),
         QStringLiteral("SELECT GroupName FROM OCRG WHERE GroupType = 'S'"), 20},
        {"Projects", QStringLiteral("MRV_TRN_PROJECTS_100"),
         QStringLiteral("SELECT PrjCode, PrjName, Active, ValidFrom, ValidTo FROM OPRJ ORDER BY 1"),
         QStringLiteral("SELECT 1 FROM OPRJ"), none,
         QStringLiteral("INSERT INTO OPRJ (PrjCode, PrjName) VALUES (%3, %2)"),
         QStringLiteral("SELECT PrjName FROM OPRJ"), 100},
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
    };
}
