#include "managers/MRV_CreditCardPaymentsManager.h"

using namespace Qt::StringLiterals;

MRV_CreditCardPaymentsManager::MRV_CreditCardPaymentsManager(MRV_ConnectionContext* context,
                                                             const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"PaymentName"_s};
    m_listColumns = {u"Code"_s, u"Name"_s};
    m_listElements = {u"PaymentCode"_s, u"PaymentName"_s};
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OCDT"_s,
        .objectType = 71,
        .keyColumns = {u"Code"_s},
        .keyElements = {u"PaymentCode"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"PaymentName"_s,
    });
}
