#include "managers/MRV_PriceListSetupManager.h"

using namespace Qt::StringLiterals;

MRV_PriceListSetupManager::MRV_PriceListSetupManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ListNum"_s};
    m_descriptionElements = {u"PriceListName"_s};
    m_listColumns = {u"ListNum"_s, u"ListName"_s, u"BASE_NUM"_s};
    m_listElements = {u"PriceListNo"_s, u"PriceListName"_s, u"BasePriceList"_s};
    m_writeFields = {u"PriceListNo"_s, u"PriceListName"_s};
    m_columnFlags = {0, 1, 0};
    declareTable({
        .name = u"OPLN"_s,
        .objectType = 6,
        .keyColumns = {u"ListNum"_s},
        .keyElements = {u"PriceListNo"_s},
        .descriptionColumn = u"ListName"_s,
        .descriptionElement = u"PriceListName"_s,
        .readAll = {u"SELECT ListNum FROM OPLN ORDER BY BASE_NUM"_s},
        .references = {{
            .field = u"BasePriceList"_s,
            .table = u"OPLN"_s,
            .keyColumn = u"ListNum"_s,
            .identifyingColumns = {u"ListName"_s},
        }},
        // The caller numbers price lists: a list is the target's list of the
        // same name, a new one takes the number after the highest there.
        .generatedKeyName = u"ListName"_s,
        .parentColumn = u"BASE_NUM"_s,
        .parentElement = u"BasePriceList"_s,
    });
}
