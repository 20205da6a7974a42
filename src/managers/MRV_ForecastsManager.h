#pragma once

#include "di/MRV_DIInterface.h"

// Sales forecasts: business object 198 in OFCT with its lines in FCT1. The
// host numbers forecasts per company, so a forecast is the target's
// forecast of the same code; its lines name items and warehouses by their
// codes, which the target must have.
class MRV_ForecastsManager : public MRV_DIInterface {
public:
    MRV_ForecastsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
