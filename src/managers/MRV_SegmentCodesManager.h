#pragma once

#include "di/MRV_DIInterface.h"

// The codes of each account segment: business object 143 in OASC, keyed by
// the segment's number and the code. The details list names each code's
// segment.
class MRV_SegmentCodesManager : public MRV_DIInterface {
public:
    MRV_SegmentCodesManager(MRV_ConnectionContext* context, const QString& categoryId);

    MRV_DIDataSet* listFromDatabase() override;
};
