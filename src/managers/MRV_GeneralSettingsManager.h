#pragma once

#include "di/MRV_DIInterface.h"

// General Settings: the business-partner, service and commission fields of
// the administration information, and the company's folders (OADP),
// copied as a whole.
class MRV_GeneralSettingsManager : public MRV_DIInterface {
public:
    MRV_GeneralSettingsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
