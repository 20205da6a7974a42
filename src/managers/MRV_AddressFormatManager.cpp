#include "managers/MRV_AddressFormatManager.h"

using namespace Qt::StringLiterals;

MRV_AddressFormatManager::MRV_AddressFormatManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Name"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OADF"_s,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same name, a new one takes the next free key.
        .generatedKeyName = u"Name"_s,
        // Countries name their address format; such a format stays.
        .usedBy = {{u"OCRY"_s, u"AddrFormat"_s}},
    });
}
