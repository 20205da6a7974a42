#pragma once

#include "di/MRV_DIInterface.h"

// Landed costs: business object 48 in OALC, known by their codes; the
// allocation account travels by its formatted code.
class MRV_LandedCostsManager : public MRV_DIInterface {
public:
    MRV_LandedCostsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
