#pragma once

#include "di/MRV_DIInterface.h"

// Partners: the rows of OPRT, known by their names; the relationship travels
// by its description.
class MRV_PartnersManager : public MRV_DIInterface {
public:
    MRV_PartnersManager(MRV_ConnectionContext* context, const QString& categoryId);
};
