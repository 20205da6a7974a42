#include "managers/MRV_PaymentTermsManager.h"

using namespace Qt::StringLiterals;

MRV_PaymentTermsManager::MRV_PaymentTermsManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"GroupNum"_s};
    m_descriptionElements = {u"PaymentTermsGroupName"_s};
    m_listColumns = {u"GroupNum"_s, u"PymntGroup"_s};
    m_listElements = {u"GroupNumber"_s, u"PaymentTermsGroupName"_s};
    m_writeFields = m_listElements;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OCTG"_s,
        .objectType = 40,
        .keyColumns = {u"GroupNum"_s},
        .keyElements = {u"GroupNumber"_s},
        .descriptionColumn = u"PymntGroup"_s,
        .descriptionElement = u"PaymentTermsGroupName"_s,
        // Negative numbers are the host's built-in terms of every company.
        .filter = {u"GroupNum >= 0"_s},
        .references = {{
            .field = u"PriceListNo"_s,
            .table = u"OPLN"_s,
            .keyColumn = u"ListNum"_s,
            .identifyingColumns = {u"ListName"_s},
        }},
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"PymntGroup"_s,
    });
}
