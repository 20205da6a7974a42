#pragma once

#include "di/MRV_DIInterface.h"

// Currencies: business object 37 in OCRN, known by their codes.
class MRV_CurrencySettingsManager : public MRV_DIInterface {
public:
    MRV_CurrencySettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
