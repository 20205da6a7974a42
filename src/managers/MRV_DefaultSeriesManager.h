#pragma once

#include "di/MRV_DIInterface.h"

// Default series: the rows of NNM2, the numbering series each user starts
// a document of a type with. Series are numbered per company, so a series
// travels by its name within its document type and subtype; the user
// travels by its user code.
class MRV_DefaultSeriesManager : public MRV_DIInterface {
public:
    MRV_DefaultSeriesManager(MRV_ConnectionContext* context, const QString& categoryId);
};
