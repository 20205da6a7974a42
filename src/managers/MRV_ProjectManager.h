#pragma once

#include "di/MRV_DIInterface.h"

// Projects: the rows of OPRJ, known by their codes.
class MRV_ProjectManager : public MRV_DIInterface {
public:
    MRV_ProjectManager(MRV_ConnectionContext* context, const QString& categoryId);
};
