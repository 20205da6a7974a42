#pragma once

#include "di/MRV_DIInterface.h"

// Bills of materials: business object 66 in OITT, one per parent item,
// with its components in ITT1. The tree keeps its item's code; items and
// warehouses keep their codes too, and must be in the target; price lists
// are numbered per company and travel by name. The profit centres and
// distribution rules the trees name travel with them, by code, and are
// written first.
class MRV_BOMManager : public MRV_DIInterface {
public:
    MRV_BOMManager(MRV_ConnectionContext* context, const QString& categoryId);

    int initialize() override;
    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
};
