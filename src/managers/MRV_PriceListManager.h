#pragma once

#include "di/MRV_DIInterface.h"

// Item prices: the rows of ITM1, one per item and price list. The price
// list travels by its name, since list numbers differ between companies;
// the item by its code, which every company shares. A price of an item the
// target lacks fails with the reason rather than arriving without its item.
// The lists themselves are Price List Setup's (MRV_PriceListSetupManager).
class MRV_PriceListManager : public MRV_DIInterface {
public:
    MRV_PriceListManager(MRV_ConnectionContext* context, const QString& categoryId);
};
