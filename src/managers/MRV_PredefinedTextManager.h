#pragma once

#include "di/MRV_DIInterface.h"

// Predefined texts: the rows of OPDT, known by their codes.
class MRV_PredefinedTextManager : public MRV_DIInterface {
public:
    MRV_PredefinedTextManager(MRV_ConnectionContext* context, const QString& categoryId);
};
