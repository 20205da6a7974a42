#include "managers/MRV_SpecialPricesManager.h"

using namespace Qt::StringLiterals;

MRV_SpecialPricesManager::Declaration MRV_SpecialPricesManager::declaration(bool hierarchies) {
    const MRV_Reference list =
        MRV_Reference::byName(u"PriceListNum"_s, u"OPLN"_s, u"ListNum"_s, {u"ListName"_s});
    QList<MRV_Reference> references{MRV_Reference::byCode(u"ItemCode"_s, u"OITM"_s, u"ItemCode"_s),
                                    list,
                                    MRV_Reference::byCode(u"Currency"_s, u"OCRN"_s, u"CurrCode"_s)};
    if (hierarchies) {
        // The list numbers differ between companies: "*3" of the base is
        // "*" and the number of the target's list of the same name.
        MRV_Reference hierarchy = list;
        hierarchy.field = u"CardCode"_s;
        hierarchy.prefix = u"*"_s;
        references << hierarchy;
    } else {
        // The host takes any card code; a price of a partner the target
        // lacks would name nothing there.
        references << MRV_Reference::byCode(u"CardCode"_s, u"OCRD"_s, u"CardCode"_s);
    }
    // "*" is no wildcard of LIKE: the comparison is literal on every server.
    return {
        .keyColumns = {u"ItemCode"_s, u"CardCode"_s},
        .descriptionElements = {u"Price"_s},
        .listColumns = {u"ItemCode"_s, u"CardCode"_s, u"Price"_s, u"Currency"_s, u"Discount"_s},
        .listElements = {u"ItemCode"_s, u"CardCode"_s, u"Price"_s, u"Currency"_s,
                         u"DiscountPercent"_s},
        .columnFlags = {0, 0, 1, 0, 1},
        .table =
            {
                .name = u"OSPP"_s,
                .objectType = 7,
                .keyColumns = {u"ItemCode"_s, u"CardCode"_s},
                .keyElements = {u"ItemCode"_s, u"CardCode"_s},
                .descriptionColumn = u"Price"_s,
                .descriptionElement = u"Price"_s,
                .filter = {hierarchies ? u"CardCode LIKE N'*%'"_s : u"CardCode NOT LIKE N'*%'"_s},
                .references = references,
            },
    };
}

MRV_SpecialPricesManager::MRV_SpecialPricesManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    Declaration d = declaration(false);
    m_keyColumns = d.keyColumns;
    m_descriptionElements = d.descriptionElements;
    m_listColumns = d.listColumns;
    m_listElements = d.listElements;
    m_columnFlags = d.columnFlags;
    declareTable(std::move(d.table));
}
