#pragma once

#include "di/MRV_DIInterface.h"

// Inventory Settings: the administration information's inventory settings,
// copied as a whole.
class MRV_InventorySettingsManager : public MRV_DIInterface {
public:
    MRV_InventorySettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
