#pragma once

#include "di/MRV_DIInterface.h"

// Commission groups: business object 65 in OCOG.
class MRV_CommissionGroupsManager : public MRV_DIInterface {
public:
    MRV_CommissionGroupsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
