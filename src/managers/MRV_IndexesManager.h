#pragma once

#include "di/MRV_DIInterface.h"

// Indexes: the rows of OIDX, known by their codes.
class MRV_IndexesManager : public MRV_DIInterface {
public:
    MRV_IndexesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
