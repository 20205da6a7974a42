#pragma once

#include "di/MRV_DIInterface.h"

// The segments of the account codes: business object 142 in OASG, numbered
// by their position, which every company shares.
class MRV_AccountSegmentationManager : public MRV_DIInterface {
public:
    MRV_AccountSegmentationManager(MRV_ConnectionContext* context, const QString& categoryId);
};
