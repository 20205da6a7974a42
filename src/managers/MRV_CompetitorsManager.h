#pragma once

#include "di/MRV_DIInterface.h"

// Competitors: the rows of OCMT, known by their names.
class MRV_CompetitorsManager : public MRV_DIInterface {
public:
    MRV_CompetitorsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
