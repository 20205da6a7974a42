#include "managers/MRV_CommissionGroupsManager.h"

using namespace Qt::StringLiterals;

MRV_CommissionGroupsManager::MRV_CommissionGroupsManager(MRV_ConnectionContext* context,
                                                         const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"GroupCode"_s};
    m_descriptionElements = {u"GroupName"_s};
    m_listColumns = {u"GroupCode"_s, u"GroupName"_s, u"Commission"_s};
    m_listElements = {u"GroupCode"_s, u"GroupName"_s, u"CommissionPercentage"_s};
    m_writeFields = {u"GroupCode"_s, u"GroupName"_s};
    m_columnFlags = {0, 1, 1};
    declareTable({
        .name = u"OCOG"_s,
        .objectType = 65,
        .keyColumns = {u"GroupCode"_s},
        .descriptionColumn = u"GroupName"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"GroupName"_s,
    });
}
