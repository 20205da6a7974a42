#pragma once

#include "di/MRV_DIInterface.h"

// Price lists: business object 6 in OPLN, known by their names. A list is
// derived from a base list, which travels by its name and is written
// first; a base list is its own base.
class MRV_PriceListSetupManager : public MRV_DIInterface {
public:
    MRV_PriceListSetupManager(MRV_ConnectionContext* context, const QString& categoryId);
};
