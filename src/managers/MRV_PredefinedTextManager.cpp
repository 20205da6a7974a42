#include "managers/MRV_PredefinedTextManager.h"

using namespace Qt::StringLiterals;

MRV_PredefinedTextManager::MRV_PredefinedTextManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsEntry"_s};
    m_descriptionElements = {u"TextCode"_s};
    m_listColumns = {u"AbsEntry"_s, u"TextCode"_s, u"Text"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"AbsEntry"_s, u"TextCode"_s};
    m_columnFlags = {0, 1, 1};
    declareTable({
        .name = u"OPDT"_s,
        .keyColumns = {u"AbsEntry"_s},
        .descriptionColumn = u"TextCode"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same code, a new one takes the next free key.
        .generatedKeyName = u"TextCode"_s,
    });
}
