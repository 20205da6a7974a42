#include "managers/MRV_GLSettingsForInventoryManager.h"

#include "host/objects/LLComError.h"
#include "managers/MRV_GLAccountDeterminationManager.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString Categories = u"OACP"_s;

} // namespace

MRV_GLSettingsForInventoryManager::MRV_GLSettingsForInventoryManager(MRV_ConnectionContext* context,
                                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    // The settings of each period category: always updated, never added or
    // removed, and offered as a whole.
    declareTable({
        .name = Categories,
        .objectType = MRV_TableDeclaration::Settings,
        .keyColumns = {u"PeriodCat"_s},
        .settingsElement = u"GLSettingsInventory"_s,
        .settings = {u"StockAccount"_s, u"CostOfGoodsSold"_s, u"AllocationAcc"_s, u"VarianceAcc"_s,
                     u"PriceDifferenceAccount"_s, u"InventoryOffsetDecrease"_s,
                     u"InventoryOffsetIncrease"_s, u"SalesReturns"_s,
                     u"ExchangeRateDifferencesAcct"_s, u"GoodsClearingAcc"_s,
                     u"IncreaseGLAccount"_s, u"DecreaseGLAccount"_s, u"WIPMaterialAccount"_s,
                     u"WIPMaterialVarianceAccount"_s, u"ExpenseClearingAccount"_s},
    });
}

void MRV_GLSettingsForInventoryManager::readFromDatabase(MRV_KeyList, BOMTableList& tables) {
    // Every category: the category has no selection of records.
    tables.clear();
    MRV_BOMTable categories{Categories,
                            MRV_PeriodCategoryAccounts(*this, mainTable()).read(baseCompany(), {})};
    if (!categories.documents.isEmpty())
        tables << categories;
}

HRESULT MRV_GLSettingsForInventoryManager::writeToTarget(const BOMTableList& tables,
                                                         int copyMethod) {
    CLogBase log(u"MRV", u"MRV_GLSettingsForInventoryManager::writeToTarget");
    if (copyMethod == RemovalPhase)
        return S_OK;
    QList<MRV_BOMDocument> categories;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name == Categories)
            categories += entry.documents;
    try {
        return MRV_PeriodCategoryAccounts(*this, mainTable()).write(targetCompany(), categories) > 0
                   ? S_FALSE
                   : S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
}
