#pragma once

#include "di/MRV_DIInterface.h"

// Company Details: the company's administration fields, its company
// information, address lines and holidays with their dates, copied as a
// whole.
class MRV_CompanyDetailsManager : public MRV_DIInterface {
public:
    MRV_CompanyDetailsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
