#include "managers/MRV_ShippingTypesManager.h"

using namespace Qt::StringLiterals;

MRV_ShippingTypesManager::MRV_ShippingTypesManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TrnspCode"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"TrnspCode"_s, u"TrnspName"_s};
    m_listElements = {u"Code"_s, u"Name"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OSHP"_s,
        .objectType = 49,
        .keyColumns = {u"TrnspCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"TrnspName"_s,
        .descriptionElement = u"Name"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"TrnspName"_s,
    });
}
