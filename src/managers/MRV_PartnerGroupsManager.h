#pragma once

#include "di/MRV_DIInterface.h"

// Business-partner groups: the rows of OCRG of one group type ('C' for
// customers, 'S' for vendors), whose keys the host generates; a group is
// known by its name, its price list by the list's name.
class MRV_PartnerGroupsManager : public MRV_DIInterface {
public:
    MRV_PartnerGroupsManager(MRV_ConnectionContext* context, const QString& categoryId,
                             QChar groupType);
};
