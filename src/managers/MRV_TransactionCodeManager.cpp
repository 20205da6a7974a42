#include "managers/MRV_TransactionCodeManager.h"

using namespace Qt::StringLiterals;

MRV_TransactionCodeManager::MRV_TransactionCodeManager(MRV_ConnectionContext* context,
                                                       const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TrnsCode"_s};
    m_descriptionElements = {u"TrnsCodDsc"_s};
    m_listColumns = {u"TrnsCode"_s, u"TrnsCodDsc"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OTRC"_s,
        .keyColumns = {u"TrnsCode"_s},
        .descriptionColumn = u"TrnsCodDsc"_s,
        // Journal entries name their transaction code; such a code stays.
        .usedBy = {{u"OJDT"_s, u"TransCode"_s}},
    });
}
