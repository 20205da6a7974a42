#pragma once

#include "di/MRV_DIInterface.h"

// Inventory cycles: the rows of OCYC, known by their names.
class MRV_InventoryCyclesManager : public MRV_DIInterface {
public:
    MRV_InventoryCyclesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
