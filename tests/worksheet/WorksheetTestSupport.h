#pragma once

#include "TestData.h"
#include "host/HostTestSupport.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace WorksheetTest {

// Writes text (UTF-8) to a file; true when it was written.
inline bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A worksheet or template document around body text.
inline QByteArray document(const QByteArray& body, const QByteArray& header = QByteArray()) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><duplaWorksheet version=\"1.0\">" + header +
           "<body>" + body + "</body></duplaWorksheet>";
}

// Full category id from the short form used in the tests' tables.
inline QString categoryId(const char* shortId) {
    if (qstrcmp(shortId, "RELTNSHPS") == 0)
        return QStringLiteral("MRV_TRN_RELTNSHPS_40");
    return QStringLiteral("MRV_TRN_%1_100").arg(QLatin1String(shortId));
}

// The categories that have a category manager, by catalogue id, by the
// part of the tree they stand in.
inline QStringList categoriesWithManager() {
    static const char* const managed[] = {
        "QUERIES UDF FSUDF FSSTDF UDO DOCREP QUERYLAYOUTS UDT UDTCONT",
        "USERSLEAF AUTHORIZATIONSLEAF ADDITIONALAUT CMPDSPSETTINGS USRDSPSETTINGS USRMENUS",
        "CMPDETAILS GENERALSETTINGS DOCNUMBERING DOCSETTINGS PRTONADDSETTINGS POSTPER ALERTS "
        "COUNTRIES ADDRESSFORMAT",
        "CURRENCYSETTINGS COASETTINGS TAXDEFINITION INDEXES TRANSACTIONCODES BANKSANDBRANCHES "
        "CREDITCARDS CCPAYMENTS CCPAYMNTMETHODS CREDITSUPPLIERS PAYMENTMETHODS DUNNINGLEVELS "
        "PAYMENTTERMS PAYMENTBLOCKS HOUSEBANKACCOUNTS",
        "INVENTORYSETTINGS PRICELISTDEFS COMMISIONGROUPS SALESEMPLOYEES PROJECTS SALESSTAGES "
        "PARTNERS COMPETITORS LANDEDCOSTS CUSTOMERGROUPS SUPPLIERGROUPS BPPROPERTIES BPPRIORITIES "
        "ITEMGROUPS ITEMPROPERTIES WAREHOUSES UOMLENGTHWIDTH UOMWEIGHT CUSTOMGROUPS MANUFACTURERS "
        "SHIPPINGTYPES LOCATIONS INVENTORYCYCLES TEMPLATES PACKAGETYPES TERRITORIES PREDEFINEDTEXT "
        "RELTNSHPS",
        "ACCTSEGMENTATION SEGMENTCODES COATITLES ACCOUNTS GLACCTDETERMINATION GLBANKSETTINGS "
        "GLINVNTRYSETTINGS GLTAXDEFSETTINGS BUDGET FINANCIALREPORTTMPL",
        "BPGENERALINFO ITEMSLEAF ALTERNATIVEITEMS BPCATALOGNUMBERS PRICELISTSLEAF SPECIALPRICESBP "
        "DISCOUNTGROUPS PRICEHIERARCHIES BILLOFMATERIALS FORECASTS DEFAULTS DEFAULTLAYOUTS "
        "DEFAULTSERIES",
        "MANUALJOURNALENTRIES OPENINGBALANCES STOCKPOSTINGS INITIALQUANTITIES",
    };
    QStringList ids;
    for (const char* part : managed)
        for (const QString& shortId : QString::fromLatin1(part).split(u' '))
            ids << categoryId(qPrintable(shortId));
    return ids;
}

} // namespace WorksheetTest
