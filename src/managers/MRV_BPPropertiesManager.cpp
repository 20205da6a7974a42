#include "managers/MRV_BPPropertiesManager.h"

using namespace Qt::StringLiterals;

MRV_BPPropertiesManager::MRV_BPPropertiesManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"GroupCode"_s};
    m_descriptionElements = {u"GroupName"_s};
    m_listColumns = {u"GroupCode"_s, u"GroupName"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OCQG"_s,
        .keyColumns = {u"GroupCode"_s},
        .descriptionColumn = u"GroupName"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same name, a new one takes the next free key.
        .generatedKeyName = u"GroupName"_s,
    });
}
