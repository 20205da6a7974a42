#include "managers/MRV_ItemsManager.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Items = u"OITM"_s;
const QString Stock = u"OITW"_s;
const QString Prices = u"ITM1"_s;

// The table rows without what stock postings keep.
void dropPostedValues(BOMTableList& tables) {
    for (MRV_BOMTable& entry : tables) {
        if (entry.name != Stock)
            continue;
        for (MRV_BOMDocument& document : entry.documents) {
            // An element is written with its name right after "<": a
            // document without one of these has nothing to drop (the run's
            // own file never has), and is not parsed for nothing.
            const auto names = [&document](const QString& column) {
                return document.xml.contains(u'<' + column);
            };
            const QStringList& posted = MRV_ItemsManager::postedColumns();
            if (std::none_of(posted.cbegin(), posted.cend(), names))
                continue;
            MRV_BOMRecord record;
            if (!record.parse(document.xml))
                continue; // the writer logs the document it cannot read
            for (MRV_BOMRecord::Group& group : record.groups())
                for (MRV_BOMRecord::Row& row : group.rows)
                    for (const QString& column : MRV_ItemsManager::postedColumns())
                        row.removeField(column);
            document.xml = record.toXml();
        }
    }
}

} // namespace

const QStringList& MRV_ItemsManager::postedColumns() {
    static const QStringList columns{u"OnHand"_s, u"IsCommited"_s, u"OnOrder"_s, u"AvgPrice"_s};
    return columns;
}

MRV_ItemsManager::MRV_ItemsManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ItemCode"_s};
    m_descriptionElements = {u"ItemName"_s};
    m_listColumns = {u"ItemCode"_s,  u"ItemType"_s, u"ItemName"_s,   u"FrgnName"_s, u"ItmsGrpCod"_s,
                     u"FirmCode"_s,  u"CodeBars"_s, u"PrchseItem"_s, u"SellItem"_s, u"InvntItem"_s,
                     u"AssetItem"_s, u"WTLiable"_s, u"validFor"_s,   u"frozenFor"_s};
    m_listElements = {u"ItemCode"_s,       u"ItemType"_s,      u"ItemName"_s,  u"ForeignName"_s,
                      u"ItemsGroupCode"_s, u"Manufacturer"_s,  u"BarCode"_s,   u"PurchaseItem"_s,
                      u"SalesItem"_s,      u"InventoryItem"_s, u"AssetItem"_s, u"WTLiable"_s,
                      u"Valid"_s,          u"Frozen"_s};
    m_writeFields = {u"ItemCode"_s, u"ItemName"_s};
    m_columnFlags = {0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1};
    QList<MRV_Reference> references{
        MRV_Reference::byName(u"ItemsGroupCode"_s, u"OITB"_s, u"ItmsGrpCod"_s, {u"ItmsGrpNam"_s}),
        MRV_Reference::byName(u"CommissionGroup"_s, u"OCOG"_s, u"GroupCode"_s, {u"GroupName"_s}),
        MRV_Reference::byName(u"CycleCode"_s, u"OCYC"_s, u"Code"_s, {u"Name"_s}),
        MRV_Reference::byName(u"ShipType"_s, u"OSHP"_s, u"TrnspCode"_s, {u"TrnspName"_s}),
        MRV_Reference::byName(u"LengthUnit"_s, u"OLGT"_s, u"UnitCode"_s, {u"UnitDisply"_s}),
        MRV_Reference::byName(u"WeightUnit"_s, u"OWGT"_s, u"UnitCode"_s, {u"UnitDisply"_s}),
        MRV_Reference::byCode(u"SalesVATGroup"_s, u"OVTG"_s, u"Code"_s),
        MRV_Reference::byCode(u"PurchaseVATGroup"_s, u"OVTG"_s, u"Code"_s),
        MRV_Reference::byCode(u"DefaultWarehouse"_s, u"OWHS"_s, u"WhsCode"_s),
        MRV_Reference::byName(u"PriceList"_s, u"OPLN"_s, u"ListNum"_s, {u"ListName"_s}, Prices),
        MRV_Reference::byCode(u"Currency"_s, u"OCRN"_s, u"CurrCode"_s, Prices),
    };
    // -1 is the built-in "none" of every company.
    MRV_Reference manufacturer =
        MRV_Reference::byName(u"Manufacturer"_s, u"OMRC"_s, u"FirmCode"_s, {u"FirmName"_s});
    manufacturer.keptValues = {u"-1"_s};
    MRV_Reference customs =
        MRV_Reference::byName(u"CustomsGroupCode"_s, u"OARG"_s, u"CstGrpCode"_s, {u"CstGrpName"_s});
    customs.keptValues = {u"-1"_s};
    references << manufacturer << customs;
    for (const QString& account :
         {u"InventoryAccount"_s, u"CostOfGoodsSold"_s, u"RevenuesAccount"_s, u"ExpensesAccount"_s})
        references << MRV_Reference::account(account);
    declareTable({
        .name = Items,
        .objectType = 4,
        .keyColumns = {u"ItemCode"_s},
        .keyElements = {u"ItemCode"_s},
        .descriptionColumn = u"ItemName"_s,
        .descriptionElement = u"ItemName"_s,
        // What the host refuses to remove an item for, and items with stock,
        // which only postings may take away: such an item stays and is
        // updated.
        .removalFilter = {u"ItemCode NOT IN (SELECT TreeCode FROM OITT) AND ItemCode NOT IN "
                          u"(SELECT Code FROM ITT1 WHERE Code IS NOT NULL) AND ItemCode NOT IN "
                          u"(SELECT OrigItem FROM OALI) AND ItemCode NOT IN (SELECT AltItem FROM "
                          u"OALI) AND ItemCode NOT IN (SELECT ItemCode FROM OSCN) AND ItemCode "
                          u"NOT IN (SELECT ItemCode FROM OSPP) AND ItemCode NOT IN (SELECT "
                          u"ItemCode FROM FCT1 WHERE ItemCode IS NOT NULL) AND ItemCode NOT IN "
                          u"(SELECT ItemCode FROM OITW WHERE OnHand <> 0 OR IsCommited <> 0 OR "
                          u"OnOrder <> 0)"_s},
        .references = references,
    });
    declareTable({
        .name = Stock,
        .keyColumns = {u"ItemCode"_s, u"WhsCode"_s},
        .descriptionColumn = u"WhsCode"_s,
        // The rows of the items the removal took; those of items that stay
        // keep their stock.
        .removalFilter = {u"ItemCode NOT IN (SELECT ItemCode FROM OITM)"_s},
        .references = {MRV_Reference::byCode(u"ItemCode"_s, Items, u"ItemCode"_s),
                       MRV_Reference::byCode(u"WhsCode"_s, u"OWHS"_s, u"WhsCode"_s)},
    });
}

std::optional<MRV_KeyList> MRV_ItemsManager::relatedRecords(const MRV_TableDeclaration& table,
                                                            const BOMTableList& read) {
    if (table.name != Stock)
        return std::nullopt;
    QSet<QString> items;
    for (const MRV_BOMTable& entry : read) {
        if (entry.name != Items)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            // A look at the item's code where it can, instead of a parse of
            // a document the run parses again anyway.
            if (const std::optional<QStringList> code =
                    MRV_BOMRecord::firstRowValues(document.xml, Items, {u"ItemCode"_s}))
                items.insert(code->value(0));
        }
    }
    MRV_KeyList keys;
    if (items.isEmpty())
        return keys;
    MRV_CompanySql base(baseCompany());
    const MRV_CompanySql::Rows rows =
        base.query(base.statement({u"SELECT ItemCode, WhsCode FROM OITW ORDER BY ItemCode, "
                                   u"WhsCode"_s}));
    for (const QVariantList& row : rows.values)
        if (items.contains(MRV_CompanySql::text(row.value(0))))
            keys << QVariantList{MRV_CompanySql::text(row.value(0)),
                                 MRV_CompanySql::text(row.value(1))};
    return keys;
}

void MRV_ItemsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
    dropPostedValues(tables);
}

HRESULT MRV_ItemsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    // A configuration file written elsewhere may carry them all the same.
    BOMTableList written = tables;
    dropPostedValues(written);
    return MRV_DIInterface::writeToTarget(written, copyMethod);
}
