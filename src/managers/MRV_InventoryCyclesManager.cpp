#include "managers/MRV_InventoryCyclesManager.h"

using namespace Qt::StringLiterals;

MRV_InventoryCyclesManager::MRV_InventoryCyclesManager(MRV_ConnectionContext* context,
                                                       const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Name"_s, u"Frequency"_s, u"NextDate"_s, u"Hour"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1, 1, 1};
    declareTable({
        .name = u"OCYC"_s,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        // Keys are numbered per company: a row is the target's row of the
        // same name, a new one takes the next free key.
        .generatedKeyName = u"Name"_s,
        // Item groups and items name their cycle; such a cycle stays.
        .usedBy = {{u"OITB"_s, u"CycleCode"_s}, {u"OITM"_s, u"CycleCode"_s}},
    });
}
