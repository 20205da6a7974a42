#include "managers/MRV_IndexesManager.h"

using namespace Qt::StringLiterals;

MRV_IndexesManager::MRV_IndexesManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"IdexCode"_s};
    m_descriptionElements = {u"IndexName"_s};
    m_listColumns = {u"IdexCode"_s, u"IndexName"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OIDX"_s,
        .keyColumns = {u"IdexCode"_s},
        .descriptionColumn = u"IndexName"_s,
    });
}
