#pragma once

#include "di/MRV_DIInterface.h"

// Vendor groups: the rows of OCRG of type 'S', whose keys the host
// generates; a group is known by its name, its price list by the list's name.
class MRV_VendorGroupsManager : public MRV_DIInterface {
public:
    MRV_VendorGroupsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
