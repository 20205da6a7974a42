#include "managers/MRV_InitialQuantitiesManager.h"

MRV_InitialQuantitiesManager::MRV_InitialQuantitiesManager(MRV_ConnectionContext* context,
                                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {}

int MRV_InitialQuantitiesManager::initialize() {
    dataSet().setContext(getConnectionContext());
    return 1;
}

void MRV_InitialQuantitiesManager::readFromDatabase(MRV_KeyList, BOMTableList& tables) {
    tables.clear();
}

MRV_DIDataSet* MRV_InitialQuantitiesManager::listFromConfiguration(const BOMTableList&) {
    return &dataSet();
}

MRV_DIDataSet* MRV_InitialQuantitiesManager::listFromDatabase() {
    return &dataSet();
}

HRESULT MRV_InitialQuantitiesManager::writeToTarget(const BOMTableList&, int) {
    return S_OK;
}
