#pragma once

#include "di/MRV_DIInterface.h"

class MRV_CompanySql;

// The posting-period categories (OACP) and their sub-periods (OFPR). A
// category travels as a record of its own fields (no account of its
// determination: that is a category of its own), its sub-periods as the
// rows of a second table entry; a write needs both. A category is the
// target's category of the same code, a sub-period the target's
// sub-period of the same code within it. Periods hold postings: the
// removal phase of "Replace All" deletes none.
class MRV_PostingPeriodsManager : public MRV_DIInterface {
public:
    MRV_PostingPeriodsManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    bool writeCategory(const MRV_BOMRecord::Row& category, int copyMethod, Outcome& outcome);
    void writePeriod(MRV_CompanySql& target, const MRV_BOMRecord::Row& period, int copyMethod,
                     Outcome& outcome);
};
