#pragma once

#include "di/MRV_DIInterface.h"

// Customs groups: business object 56 in OARG.
class MRV_CustomGroupsManager : public MRV_DIInterface {
public:
    MRV_CustomGroupsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
