#include "managers/MRV_PriceListManager.h"

using namespace Qt::StringLiterals;

MRV_PriceListManager::MRV_PriceListManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ItemCode"_s, u"PriceList"_s};
    m_descriptionElements = {u"Price"_s};
    m_listColumns = {u"ItemCode"_s, u"PriceList"_s, u"Price"_s, u"Currency"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 0, 1, 0};
    declareTable({
        .name = u"ITM1"_s,
        .keyColumns = {u"ItemCode"_s, u"PriceList"_s},
        .descriptionColumn = u"Price"_s,
        .references =
            {
                {
                    .field = u"PriceList"_s,
                    .table = u"OPLN"_s,
                    .keyColumn = u"ListNum"_s,
                    .identifyingColumns = {u"ListName"_s},
                },
                // The item and the currency keep their codes; the references
                // only make sure the target has them.
                {
                    .field = u"ItemCode"_s,
                    .table = u"OITM"_s,
                    .keyColumn = u"ItemCode"_s,
                    .identifyingColumns = {u"ItemCode"_s},
                },
                {
                    .field = u"Currency"_s,
                    .table = u"OCRN"_s,
                    .keyColumn = u"CurrCode"_s,
                    .identifyingColumns = {u"CurrCode"_s},
                },
            },
    });
}
