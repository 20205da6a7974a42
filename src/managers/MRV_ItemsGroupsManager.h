#pragma once

#include "di/MRV_DIInterface.h"

// Items Groups: business object 52 in OITB, numbered by the host, so a
// group is the target's group of the same name (the built-in group 100
// "Items" of every company is updated). Its inventory cycle travels by the
// cycle's name and its 36 G/L accounts by formatted code. The removal
// phase of "Replace All" leaves the groups that items or the company's
// default still name, and takes the history of the groups it removes with
// them.
class MRV_ItemsGroupsManager : public MRV_DIInterface {
public:
    MRV_ItemsGroupsManager(MRV_ConnectionContext* context, const QString& categoryId);

    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

    // The G/L account fields that item groups and warehouses share, as the
    // host's business objects and tables name them.
    static const QStringList& accountFields();
};
