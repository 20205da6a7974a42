#pragma once

#include "di/MRV_DIInterface.h"

// Special prices: business object 7 in OSPP, one record per item and card
// code. A card code beginning with "*" is no partner but a price list's
// hierarchy ("*" and the list's number), which Price Hierarchies copies;
// this category copies the partners' own prices. The item, the partner,
// the currency and the list a price is based on must be in the target; the
// list travels by its name.
class MRV_SpecialPricesManager : public MRV_DIInterface {
public:
    MRV_SpecialPricesManager(MRV_ConnectionContext* context, const QString& categoryId);

    // What both categories of OSPP declare, the one rule on the card code
    // aside: hierarchies, or partners' prices.
    struct Declaration {
        QStringList keyColumns, descriptionElements, listColumns, listElements;
        QList<int> columnFlags;
        MRV_TableDeclaration table;
    };
    static Declaration declaration(bool hierarchies);
};
