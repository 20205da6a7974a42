#pragma once

#include "di/MRV_DIInterface.h"

// Payment methods: business object 147 in OPYM, known by their codes; the
// payment format travels by its name, the G/L account by its formatted
// code, the default bank by its code and country.
class MRV_PaymentMethodsManager : public MRV_DIInterface {
public:
    MRV_PaymentMethodsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
