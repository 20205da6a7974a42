#include "managers/MRV_LocationsManager.h"

using namespace Qt::StringLiterals;

MRV_LocationsManager::MRV_LocationsManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Location"_s};
    m_listElements = {u"Code"_s, u"Name"_s};
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OLCT"_s,
        .objectType = 144,
        .keyColumns = {u"Code"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"Location"_s,
        .descriptionElement = u"Name"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"Location"_s,
    });
}
