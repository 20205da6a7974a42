#include "managers/MRV_PartnerGroupsManager.h"

using namespace Qt::StringLiterals;

MRV_PartnerGroupsManager::MRV_PartnerGroupsManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId, QChar groupType)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"GroupCode"_s};
    m_descriptionElements = {u"GroupName"_s};
    m_listColumns = {u"GroupCode"_s, u"GroupName"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OCRG"_s,
        .keyColumns = {u"GroupCode"_s},
        .descriptionColumn = u"GroupName"_s,
        // OCRG holds the groups of both kinds; only one is this category's.
        .kind = {{u"GroupType"_s, QString(groupType)}},
        .references = {{
            .field = u"PriceList"_s,
            .table = u"OPLN"_s,
            .keyColumn = u"ListNum"_s,
            .identifyingColumns = {u"ListName"_s},
        }},
        .generatedKeyName = u"GroupName"_s,
        .autoKeyObject = 10,
        // Business partners name their group; such a group stays.
        .usedBy = {{u"OCRD"_s, u"GroupCode"_s}},
    });
}
