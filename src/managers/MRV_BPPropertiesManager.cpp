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
        // A partner carries one flag per position, so a property is the
        // target's property of the same number whatever it is called there;
        // matched by name, a renamed one would take a position past the
        // last, which no partner can carry.
        .keyColumns = {u"GroupCode"_s},
        .descriptionColumn = u"GroupName"_s,
    });
}
