#include "managers/MRV_PaymentBlockManager.h"

using namespace Qt::StringLiterals;

MRV_PaymentBlockManager::MRV_PaymentBlockManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsEntry"_s};
    m_descriptionElements = {u"PayBlock"_s};
    m_listColumns = {u"AbsEntry"_s, u"PayBlock"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OPYB"_s,
        .keyColumns = {u"AbsEntry"_s},
        .descriptionColumn = u"PayBlock"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same text, a new one takes the next free key.
        .generatedKeyName = u"PayBlock"_s,
    });
}
