#pragma once

#include "di/MRV_DIInterface.h"

// Warehouses: business object 64 in OWHS, known by their code in every
// company. The location travels by its name (locations are numbered per
// company) and the 36 G/L accounts by formatted code. The removal phase of
// "Replace All" leaves the warehouses that stock, items, documents or the
// company's defaults still name; they stay and are updated.
class MRV_WarehousesManager : public MRV_DIInterface {
public:
    MRV_WarehousesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
