#pragma once

#include "di/MRV_DIInterface.h"

// Credit vendors: the rows of OPVL, known by their consolidation numbers.
class MRV_CreditVendorsManager : public MRV_DIInterface {
public:
    MRV_CreditVendorsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
