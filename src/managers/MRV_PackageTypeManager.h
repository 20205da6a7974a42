#pragma once

#include "di/MRV_DIInterface.h"

// Package types: business object 205 in OPKG.
class MRV_PackageTypeManager : public MRV_DIInterface {
public:
    MRV_PackageTypeManager(MRV_ConnectionContext* context, const QString& categoryId);
};
