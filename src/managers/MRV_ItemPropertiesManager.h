#pragma once

#include "di/MRV_DIInterface.h"

// Item properties: the rows of OITG, the same 64 positions in every
// company, known by their numbers.
class MRV_ItemPropertiesManager : public MRV_DIInterface {
public:
    MRV_ItemPropertiesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
