#include "managers/MRV_RelationshipsManager.h"

using namespace Qt::StringLiterals;

MRV_RelationshipsManager::MRV_RelationshipsManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"OrlCode"_s};
    m_descriptionElements = {u"RelationshipDescription"_s};
    m_listColumns = {u"OrlCode"_s, u"OrlDesc"_s};
    m_listElements = {u"RelationshipCode"_s, u"RelationshipDescription"_s};
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OORL"_s,
        .objectType = 212,
        .keyColumns = {u"OrlCode"_s},
        .keyElements = {u"RelationshipCode"_s},
        .descriptionColumn = u"OrlDesc"_s,
        .descriptionElement = u"RelationshipDescription"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"OrlDesc"_s,
    });
}
