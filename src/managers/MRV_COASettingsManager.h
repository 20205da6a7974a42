#pragma once

#include "di/MRV_DIInterface.h"

// The chart-of-accounts settings of the administration information: the
// company's currencies, budget and blocking rules, segmentation and bills
// of exchange, copied as one record.
class MRV_COASettingsManager : public MRV_DIInterface {
public:
    MRV_COASettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
