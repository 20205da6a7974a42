#pragma once

#include "di/MRV_DIInterface.h"

// Initial Quantities: the category stands in the tree for the stock the
// items start with, which the host only keeps through its own stock
// postings. It has no records of its own: nothing is read, listed or
// written.
class MRV_InitialQuantitiesManager : public MRV_DIInterface {
public:
    MRV_InitialQuantitiesManager(MRV_ConnectionContext* context, const QString& categoryId);

    int initialize() override;
    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
};
