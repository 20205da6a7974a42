#pragma once

#include "di/MRV_DIInterface.h"

// Business-partner properties: the rows of OCQG, the same 64 positions in
// every company, known by their numbers.
class MRV_BPPropertiesManager : public MRV_DIInterface {
public:
    MRV_BPPropertiesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
