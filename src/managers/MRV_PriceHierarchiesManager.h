#pragma once

#include "di/MRV_DIInterface.h"

// Price hierarchies: the special prices (object 7 in OSPP) whose card code
// is "*" and a price list's number rather than a partner. They are
// declared with Special Prices for BP (MRV_SpecialPricesManager), which
// copies the other rows; the list in the card code travels by its name and
// takes the target's number, so the key itself is the target's.
class MRV_PriceHierarchiesManager : public MRV_DIInterface {
public:
    MRV_PriceHierarchiesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
