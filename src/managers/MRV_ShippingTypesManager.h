#pragma once

#include "di/MRV_DIInterface.h"

// Shipping types: business object 49 in OSHP.
class MRV_ShippingTypesManager : public MRV_DIInterface {
public:
    MRV_ShippingTypesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
