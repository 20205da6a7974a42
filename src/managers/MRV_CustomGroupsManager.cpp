#include "managers/MRV_CustomGroupsManager.h"

using namespace Qt::StringLiterals;

MRV_CustomGroupsManager::MRV_CustomGroupsManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CstGrpCode"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"CstGrpCode"_s, u"CstGrpName"_s, u"Custom"_s, u"BuyTax"_s, u"OtherTax"_s};
    m_listElements = {u"Code"_s, u"Name"_s, u"Customs"_s, u"PurchaseTax"_s, u"OtherTax"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1, 1, 1};
    declareTable({
        .name = u"OARG"_s,
        .objectType = 56,
        .keyColumns = {u"CstGrpCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"CstGrpName"_s,
        .descriptionElement = u"Name"_s,
        // -1 is the host's own group in every company: neither copied nor
        // removed.
        .filter = {u"CstGrpCode <> -1"_s},
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"CstGrpName"_s,
    });
}
