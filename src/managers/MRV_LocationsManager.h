#pragma once

#include "di/MRV_DIInterface.h"

// Warehouse locations: business object 144 in OLCT.
class MRV_LocationsManager : public MRV_DIInterface {
public:
    MRV_LocationsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
