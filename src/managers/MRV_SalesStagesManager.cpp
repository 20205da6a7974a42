#include "managers/MRV_SalesStagesManager.h"

using namespace Qt::StringLiterals;

MRV_SalesStagesManager::MRV_SalesStagesManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Num"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Num"_s, u"Descript"_s};
    m_listElements = {u"SalesStageCode"_s, u"Name"_s};
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OOST"_s,
        .objectType = 101,
        .keyColumns = {u"Num"_s},
        .keyElements = {u"SalesStageCode"_s},
        .descriptionColumn = u"Descript"_s,
        .descriptionElement = u"Name"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"Descript"_s,
    });
}
