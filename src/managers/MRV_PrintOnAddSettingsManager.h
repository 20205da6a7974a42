#pragma once

#include "di/MRV_DIInterface.h"

// Print Preferences - 'Add button...' Settings: the print preferences of
// every document type (ADP1), copied as a whole.
class MRV_PrintOnAddSettingsManager : public MRV_DIInterface {
public:
    MRV_PrintOnAddSettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
