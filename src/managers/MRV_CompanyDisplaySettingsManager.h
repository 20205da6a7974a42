#pragma once

#include "di/MRV_DIInterface.h"

// Company Display Settings: how the client shows the company's numbers,
// dates and units (fields of the administration information), copied as
// a whole.
class MRV_CompanyDisplaySettingsManager : public MRV_DIInterface {
public:
    MRV_CompanyDisplaySettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
