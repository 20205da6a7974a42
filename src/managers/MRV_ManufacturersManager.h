#pragma once

#include "di/MRV_DIInterface.h"

// Manufacturers: business object 43 in OMRC.
class MRV_ManufacturersManager : public MRV_DIInterface {
public:
    MRV_ManufacturersManager(MRV_ConnectionContext* context, const QString& categoryId);
};
