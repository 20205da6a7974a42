#pragma once

#include "di/MRV_DIInterface.h"

// Sales stages: business object 101 in OOST.
class MRV_SalesStagesManager : public MRV_DIInterface {
public:
    MRV_SalesStagesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
