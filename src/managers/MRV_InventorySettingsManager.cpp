#include "managers/MRV_InventorySettingsManager.h"

using namespace Qt::StringLiterals;

MRV_InventorySettingsManager::MRV_InventorySettingsManager(MRV_ConnectionContext* context,
                                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .settingsElement = u"InventorySettings"_s,
        .settings = {u"ContinuousStockManagement"_s, u"DefaultWarehouse"_s, u"DefaultItemGroup"_s,
                     u"ValuationMethod"_s, u"SetGLAccountsBy"_s, u"SerialNumberPolicy"_s,
                     u"BatchPolicy"_s, u"BlockNegativeInventory"_s, u"MinimumStockAlert"_s,
                     u"AutoAddWarehouses"_s, u"ReturnsAtStockPrice"_s, u"UseStockInTransit"_s,
                     u"DefaultInventoryCycle"_s, u"AutoCreateCustomerEqCard"_s},
    });
}
