#include "managers/MRV_CurrencySettingsManager.h"

using namespace Qt::StringLiterals;

MRV_CurrencySettingsManager::MRV_CurrencySettingsManager(MRV_ConnectionContext* context,
                                                         const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CurrCode"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"CurrCode"_s, u"CurrName"_s};
    m_listElements = {u"Code"_s, u"Name"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OCRN"_s,
        .objectType = 37,
        .keyColumns = {u"CurrCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"CurrName"_s,
        .descriptionElement = u"Name"_s,
    });
}
