#pragma once

#include "di/MRV_DIInterface.h"

// BP Catalog Numbers: business object 73 in OSCN, a partner's own number
// for an item. Item and partner keep their codes and must be in the
// target; a catalog number whose item or partner is not fails naming it.
class MRV_BPCatalogNumbersManager : public MRV_DIInterface {
public:
    MRV_BPCatalogNumbersManager(MRV_ConnectionContext* context, const QString& categoryId);
};
