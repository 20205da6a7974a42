#pragma once

#include "di/MRV_DIInterface.h"

// Length and width units: business object 50 in OLGT.
class MRV_LengthWidthManager : public MRV_DIInterface {
public:
    MRV_LengthWidthManager(MRV_ConnectionContext* context, const QString& categoryId);
};
