#include "managers/MRV_DocumentSettingsManager.h"

using namespace Qt::StringLiterals;

MRV_DocumentSettingsManager::MRV_DocumentSettingsManager(MRV_ConnectionContext* context,
                                                         const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        // A currency the target lacks yet is left out: the target keeps its
        // own default.
        .references =
            {MRV_Reference::byCode(u"DefaultDocCurrency"_s, u"OCRN"_s, u"CurrCode"_s).orLeftOut()},
        .settingsElement = u"DocumentSettings"_s,
        .settings = {u"CalculateGrossProfitperTra"_s,
                     u"GrossProfitBasePrice"_s,
                     u"AllowFuturePostingDate"_s,
                     u"AllowDocumentDateChange"_s,
                     u"BlockEarlierPostingDate"_s,
                     u"WarnDuplicateCustomerRef"_s,
                     u"WarnDuplicateVendorRef"_s,
                     u"CopyRemarksToJournal"_s,
                     u"ShowTotalsInForeignCurr"_s,
                     u"RoundTaxPerLine"_s,
                     u"RoundingMethod"_s,
                     u"ManageFreight"_s,
                     u"AllowNegativeQuantity"_s,
                     u"AutoCloseOrders"_s,
                     u"QuotationValidDays"_s,
                     u"DefaultDeliveryDays"_s,
                     u"UpdateBPAddressFromDoc"_s,
                     u"UseShippedGoodsAccount"_s,
                     u"WarnPriceBelowCost"_s,
                     u"BlockSalesBelowCost"_s,
                     u"AllowPartialDelivery"_s,
                     u"EditCopiedLines"_s,
                     u"DefaultDocCurrency"_s,
                     u"AllowMultiCurrencyDocs"_s,
                     u"ExchangeRateSource"_s,
                     u"DownPaymentPercent"_s,
                     u"CancelByReversal"_s,
                     u"PrintDraftWatermark"_s,
                     u"DocumentLinesLimit"_s,
                     u"ShowItemImagesInDocs"_s,
                     u"ConsolidateLinesOnCopy"_s,
                     u"UseStampTax"_s,
                     u"DefaultStampTax"_s},
    });
}
