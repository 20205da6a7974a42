#pragma once

#include "di/MRV_DIInterface.h"

// Alternative items: the rows of OALI, one per item and its alternative.
// Both items keep their codes, which every company shares; a row whose
// item or alternative the target lacks fails naming it.
class MRV_AlternativeItemsManager : public MRV_DIInterface {
public:
    MRV_AlternativeItemsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
