#pragma once

#include "managers/MRV_PartnerGroupsManager.h"

// Customer groups: the groups of type 'C' in OCRG.
class MRV_CustomerGroupsManager : public MRV_PartnerGroupsManager {
public:
    MRV_CustomerGroupsManager(MRV_ConnectionContext* context, const QString& categoryId)
        : MRV_PartnerGroupsManager(context, categoryId, u'C') {}
};
