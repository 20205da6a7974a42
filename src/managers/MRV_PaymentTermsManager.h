#pragma once

#include "di/MRV_DIInterface.h"

// Payment terms: business object 40 in OCTG, known by their names; the
// price list travels by its name.
class MRV_PaymentTermsManager : public MRV_DIInterface {
public:
    MRV_PaymentTermsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
