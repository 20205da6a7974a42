#include "managers/MRV_COASettingsManager.h"

using namespace Qt::StringLiterals;

MRV_COASettingsManager::MRV_COASettingsManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    // Currencies are known by the same codes in every company.
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .settingsElement = u"COASettings"_s,
        .settings = {u"LocalCurrency"_s, u"SystemCurrency"_s, u"CreditBalancewithMinusSign"_s,
                     u"CalculateBudget"_s, u"BlockBudget"_s, u"BudgetAlert"_s,
                     u"BlockPurchaseOrders"_s, u"BlockDelNotesforPurchase"_s, u"BlockBookkeeping"_s,
                     u"WholdingTaxDedHierarchy"_s, u"EnableAccountSegmentation"_s,
                     u"EnableBillOfExchange"_s},
    });
}
