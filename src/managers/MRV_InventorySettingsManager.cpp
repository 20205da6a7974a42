#include "managers/MRV_InventorySettingsManager.h"

using namespace Qt::StringLiterals;

MRV_InventorySettingsManager::MRV_InventorySettingsManager(MRV_ConnectionContext* context,
                                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        // Item groups and cycles are numbered per company, so the defaults
        // travel by name; a warehouse by its code. One the target lacks yet
        // is left out, and the target keeps its own default.
        .references =
            {MRV_Reference::byCode(u"DefaultWarehouse"_s, u"OWHS"_s, u"WhsCode"_s).orLeftOut(),
             MRV_Reference::byName(u"DefaultItemGroup"_s, u"OITB"_s, u"ItmsGrpCod"_s,
                                   {u"ItmsGrpNam"_s})
                 .orLeftOut(),
             MRV_Reference::byName(u"DefaultInventoryCycle"_s, u"OCYC"_s, u"Code"_s, {u"Name"_s})
                 .orLeftOut()},
        .settingsElement = u"InventorySettings"_s,
        .settings = {u"ContinuousStockManagement"_s, u"DefaultWarehouse"_s, u"DefaultItemGroup"_s,
                     u"ValuationMethod"_s, u"SetGLAccountsBy"_s, u"SerialNumberPolicy"_s,
                     u"BatchPolicy"_s, u"BlockNegativeInventory"_s, u"MinimumStockAlert"_s,
                     u"AutoAddWarehouses"_s, u"ReturnsAtStockPrice"_s, u"UseStockInTransit"_s,
                     u"DefaultInventoryCycle"_s, u"AutoCreateCustomerEqCard"_s},
    });
}
