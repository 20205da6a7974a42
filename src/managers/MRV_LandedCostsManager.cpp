#include "managers/MRV_LandedCostsManager.h"

using namespace Qt::StringLiterals;

MRV_LandedCostsManager::MRV_LandedCostsManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AlcCode"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"AlcCode"_s, u"AlcName"_s, u"OhType"_s};
    m_listElements = {u"Code"_s, u"Name"_s, u"AllocationBy"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1};
    declareTable({
        .name = u"OALC"_s,
        .objectType = 48,
        .keyColumns = {u"AlcCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"AlcName"_s,
        .descriptionElement = u"Name"_s,
        .references = {MRV_Reference::account(u"AllocationAccount"_s)},
    });
}
