#include "managers/MRV_ItemsGroupsManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"

using namespace Qt::StringLiterals;

const QStringList& MRV_ItemsGroupsManager::accountFields() {
    static const QStringList fields{u"InventoryAccount"_s,
                                    u"CostOfGoodsSold"_s,
                                    u"AllocationAcc"_s,
                                    u"VarianceAcc"_s,
                                    u"PriceDifferenceAccount"_s,
                                    u"NegativeInventoryAdjAcc"_s,
                                    u"InventoryOffsetDecrease"_s,
                                    u"InventoryOffsetIncrease"_s,
                                    u"SalesReturns"_s,
                                    u"RevenuesAccount"_s,
                                    u"RevenuesAccountForeign"_s,
                                    u"SalesRevenueEU"_s,
                                    u"ExemptRevenuesAccount"_s,
                                    u"ExpensesAccount"_s,
                                    u"ExpensesAccountForeign"_s,
                                    u"EUExpenseAccount"_s,
                                    u"PurchaseAccount"_s,
                                    u"PurchaseReturningAccount"_s,
                                    u"PurchaseOffsetAccount"_s,
                                    u"ExchangeRateDifferencesAcct"_s,
                                    u"GoodsClearingAcc"_s,
                                    u"ShippedGoodsAccount"_s,
                                    u"IncreaseGLAccount"_s,
                                    u"DecreaseGLAccount"_s,
                                    u"WIPMaterialAccount"_s,
                                    u"WIPMaterialVarianceAccount"_s,
                                    u"ExpenseClearingAccount"_s,
                                    u"StockInTransitAccount"_s,
                                    u"TransferAccount"_s,
                                    u"PurchaseCreditAcc"_s,
                                    u"SalesCreditAcc"_s,
                                    u"SalesCreditForeignAcc"_s,
                                    u"SalesCreditEUAcc"_s,
                                    u"ForeignPurchaseCreditAcc"_s,
                                    u"EUPurchaseCreditAcc"_s,
                                    u"StockRevaluationAccount"_s};
    return fields;
}

MRV_ItemsGroupsManager::MRV_ItemsGroupsManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ItmsGrpCod"_s};
    m_descriptionElements = {u"GroupName"_s};
    m_listColumns = {u"ItmsGrpCod"_s, u"ItmsGrpNam"_s};
    m_listElements = {u"Number"_s, u"GroupName"_s};
    m_writeFields = {u"ItmsGrpCod"_s, u"ItmsGrpNam"_s};
    m_columnFlags = {0, 1};
    // Cycles are numbered per company; a cycle's name is the same
    // everywhere.
    QList<MRV_Reference> references{
        MRV_Reference::byName(u"CycleCode"_s, u"OCYC"_s, u"Code"_s, {u"Name"_s})};
    for (const QString& field : accountFields())
        references << MRV_Reference::account(field);
    declareTable({
        .name = u"OITB"_s,
        .objectType = 52,
        .keyColumns = {u"ItmsGrpCod"_s},
        .keyElements = {u"Number"_s},
        .descriptionColumn = u"ItmsGrpNam"_s,
        .descriptionElement = u"GroupName"_s,
        // The host refuses to remove a group an item or the company's
        // default names; such a group stays and is updated.
        .removalFilter = {u"ItmsGrpCod NOT IN (SELECT ItmsGrpCod FROM OITM) AND ItmsGrpCod NOT "
                          u"IN (SELECT DefaultItemGroup FROM OADM WHERE DefaultItemGroup IS NOT "
                          u"NULL)"_s},
        .references = references,
        .generatedKeyName = u"ItmsGrpNam"_s,
    });
}

HRESULT MRV_ItemsGroupsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    const HRESULT result = MRV_DIInterface::writeToTarget(tables, copyMethod);
    if (copyMethod != RemovalPhase)
        return result;
    // The history of a removed group would otherwise pass to the next
    // group the host numbers alike. The target's other history stays: it
    // is that company's own record of its groups.
    try {
        MRV_CompanySql target(targetCompany());
        target.execute(target.statement(
            {u"DELETE FROM AITB WHERE ItmsGrpCod NOT IN (SELECT ItmsGrpCod FROM OITB)"_s,
             u"DELETE FROM AITB WHERE \"ItmsGrpCod\" NOT IN (SELECT \"ItmsGrpCod\" FROM OITB)"_s}));
    } catch (const ComError& e) {
        Outcome outcome;
        outcome.operation = RemovalPhase;
        outcome.baseCode = u"AITB"_s;
        outcome.error = u"The history of the removed item groups stays: %1: %2"_s.arg(e.code()).arg(
            e.description());
        logOutcome(outcome);
        return result == E_FAIL ? E_FAIL : S_FALSE;
    }
    return result;
}
