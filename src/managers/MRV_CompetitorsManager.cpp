#include "managers/MRV_CompetitorsManager.h"

using namespace Qt::StringLiterals;

MRV_CompetitorsManager::MRV_CompetitorsManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CompetId"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"CompetId"_s, u"Name"_s, u"ThreatLevl"_s, u"Memo"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"CompetId"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1, 1};
    declareTable({
        .name = u"OCMT"_s,
        .keyColumns = {u"CompetId"_s},
        .descriptionColumn = u"Name"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same name, a new one takes the next free key.
        .generatedKeyName = u"Name"_s,
    });
}
