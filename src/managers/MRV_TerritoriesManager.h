#pragma once

#include "di/MRV_DIInterface.h"

// Territories: business object 200 in OTER, a tree: each territory names
// its parent, which travels by its description and is written first.
class MRV_TerritoriesManager : public MRV_DIInterface {
public:
    MRV_TerritoriesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
