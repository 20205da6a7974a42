#pragma once

#include "di/MRV_DIInterface.h"

// Address formats: the rows of OADF, known by their names.
class MRV_AddressFormatManager : public MRV_DIInterface {
public:
    MRV_AddressFormatManager(MRV_ConnectionContext* context, const QString& categoryId);
};
