#pragma once

#include "di/MRV_DIInterface.h"

// Dunning levels: business object 151 in ODUN, numbered by the caller; a
// level is its dunning term's level after so many days, the term travels
// by its name and the letter's layout by its type and name.
class MRV_DunningLevelsManager : public MRV_DIInterface {
public:
    MRV_DunningLevelsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
