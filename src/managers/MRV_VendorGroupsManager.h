#pragma once

#include "managers/MRV_PartnerGroupsManager.h"

// Vendor groups: the groups of type 'S' in OCRG.
class MRV_VendorGroupsManager : public MRV_PartnerGroupsManager {
public:
    MRV_VendorGroupsManager(MRV_ConnectionContext* context, const QString& categoryId)
        : MRV_PartnerGroupsManager(context, categoryId, u'S') {}
};
