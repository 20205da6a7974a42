#include "managers/MRV_PartnersManager.h"

using namespace Qt::StringLiterals;

MRV_PartnersManager::MRV_PartnersManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PrtId"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"PrtId"_s, u"Name"_s, u"RelatnType"_s, u"RelatCard"_s, u"Memo"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"PrtId"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1, 1, 1};
    declareTable({
        .name = u"OPRT"_s,
        .keyColumns = {u"PrtId"_s},
        .descriptionColumn = u"Name"_s,
        .references = {{
                           .field = u"RelatnType"_s,
                           .table = u"OORL"_s,
                           .keyColumn = u"OrlCode"_s,
                           .identifyingColumns = {u"OrlDesc"_s},
                       },
                       // Card codes are the same in every company; the
                       // partner must be there.
                       {
                           .field = u"RelatCard"_s,
                           .table = u"OCRD"_s,
                           .keyColumn = u"CardCode"_s,
                           .identifyingColumns = {u"CardCode"_s},
                       }},
        // Keys are numbered per company: a row is the target's row of the
        // same name, a new one takes the next free key.
        .generatedKeyName = u"Name"_s,
    });
}
