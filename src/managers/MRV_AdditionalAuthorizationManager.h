#pragma once

#include "di/MRV_DIInterface.h"

// Additional Authorization Creator: the company's own permissions (business
// object 214 in OUPT), a tree whose branches name their parents. The ids
// are permission ids, the same wherever the permission is known, so a
// permission keeps its id. Written parents first, removed children first.
class MRV_AdditionalAuthorizationManager : public MRV_DIInterface {
public:
    MRV_AdditionalAuthorizationManager(MRV_ConnectionContext* context, const QString& categoryId);
};
