#pragma once

#include "di/MRV_DIInterface.h"

// G/L Settings for Inventory: the inventory accounts of every posting-period
// category, matched in the target by the first day of the category's
// financial year, as G/L Account Determination does
// (MRV_PeriodCategoryAccounts). Copied as a whole: no details list.
class MRV_GLSettingsForInventoryManager : public MRV_DIInterface {
public:
    MRV_GLSettingsForInventoryManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
};
