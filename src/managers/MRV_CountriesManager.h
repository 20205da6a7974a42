#pragma once

#include "di/MRV_DIInterface.h"

// Countries: the rows of OCRY, each with its states (OCST); the address
// format travels by its name.
class MRV_CountriesManager : public MRV_DIInterface {
public:
    MRV_CountriesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
