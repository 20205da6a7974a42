#pragma once

#include "di/MRV_DIInterface.h"

// Weight units: business object 51 in OWGT.
class MRV_WeightManager : public MRV_DIInterface {
public:
    MRV_WeightManager(MRV_ConnectionContext* context, const QString& categoryId);
};
