#pragma once

#include "di/MRV_DIInterface.h"

// Customer groups: the rows of OCRG of type 'C', whose keys the host
// generates; a group is known by its name, its price list by the list's name.
class MRV_CustomerGroupsManager : public MRV_DIInterface {
public:
    MRV_CustomerGroupsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
