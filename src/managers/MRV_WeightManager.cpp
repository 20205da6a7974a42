#include "managers/MRV_WeightManager.h"

using namespace Qt::StringLiterals;

MRV_WeightManager::MRV_WeightManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"UnitCode"_s};
    m_descriptionElements = {u"UnitDisplay"_s};
    m_listColumns = {u"UnitCode"_s, u"UnitDisply"_s, u"UnitName"_s, u"WightInMG"_s};
    m_listElements = {u"UnitCode"_s, u"UnitDisplay"_s, u"UnitName"_s, u"WeightInMG"_s};
    m_writeFields = {u"UnitCode"_s, u"UnitDisplay"_s};
    m_columnFlags = {0, 1, 1, 1};
    declareTable({
        .name = u"OWGT"_s,
        .objectType = 51,
        .keyColumns = {u"UnitCode"_s},
        .keyElements = {u"UnitCode"_s},
        .descriptionColumn = u"UnitDisply"_s,
        .descriptionElement = u"UnitDisplay"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"UnitDisply"_s,
    });
}
