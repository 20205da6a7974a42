#pragma once

#include "di/MRV_DIInterface.h"

// Relationships: business object 212 in OORL.
class MRV_RelationshipsManager : public MRV_DIInterface {
public:
    MRV_RelationshipsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
