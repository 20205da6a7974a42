#include "managers/MRV_PriceHierarchiesManager.h"

#include "managers/MRV_SpecialPricesManager.h"

MRV_PriceHierarchiesManager::MRV_PriceHierarchiesManager(MRV_ConnectionContext* context,
                                                         const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    MRV_SpecialPricesManager::Declaration d = MRV_SpecialPricesManager::declaration(true);
    m_keyColumns = d.keyColumns;
    m_descriptionElements = d.descriptionElements;
    m_listColumns = d.listColumns;
    m_listElements = d.listElements;
    m_columnFlags = d.columnFlags;
    declareTable(std::move(d.table));
}
