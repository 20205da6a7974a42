#pragma once

#include "di/MRV_DIInterface.h"

// User-Defined Tables: business object 153 in OUTB. Adding one makes the
// table "@" + its name in the target; the program's own and other add-ons'
// tables never travel. The grid shows the table type as text.
class MRV_UserDefinedTablesManager : public MRV_DIInterface {
public:
    MRV_UserDefinedTablesManager(MRV_ConnectionContext* context, const QString& categoryId);

    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
};
