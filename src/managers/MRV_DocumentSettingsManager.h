#pragma once

#include "di/MRV_DIInterface.h"

// Document Settings: the administration information's document settings,
// copied as a whole.
class MRV_DocumentSettingsManager : public MRV_DIInterface {
public:
    MRV_DocumentSettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
