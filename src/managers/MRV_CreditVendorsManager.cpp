#include "managers/MRV_CreditVendorsManager.h"

using namespace Qt::StringLiterals;

MRV_CreditVendorsManager::MRV_CreditVendorsManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Name"_s, u"ConsolNum"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1};
    declareTable({
        .name = u"OPVL"_s,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same consolidation number, a new one takes the next free key.
        .generatedKeyName = u"ConsolNum"_s,
    });
}
