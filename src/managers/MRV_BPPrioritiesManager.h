#pragma once

#include "di/MRV_DIInterface.h"

// Business-partner priorities: business object 150 in OBPP.
class MRV_BPPrioritiesManager : public MRV_DIInterface {
public:
    MRV_BPPrioritiesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
