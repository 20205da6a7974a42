#include "managers/MRV_BPPrioritiesManager.h"

using namespace Qt::StringLiterals;

MRV_BPPrioritiesManager::MRV_BPPrioritiesManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PrioCode"_s};
    m_descriptionElements = {u"PriorityDescription"_s};
    m_listColumns = {u"PrioCode"_s, u"PrioDesc"_s};
    m_listElements = {u"Priority"_s, u"PriorityDescription"_s};
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OBPP"_s,
        .objectType = 150,
        .keyColumns = {u"PrioCode"_s},
        .keyElements = {u"Priority"_s},
        .descriptionColumn = u"PrioDesc"_s,
        .descriptionElement = u"PriorityDescription"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"PrioDesc"_s,
    });
}
