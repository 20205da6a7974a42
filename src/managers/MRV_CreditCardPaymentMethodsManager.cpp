#include "managers/MRV_CreditCardPaymentMethodsManager.h"

using namespace Qt::StringLiterals;

MRV_CreditCardPaymentMethodsManager::MRV_CreditCardPaymentMethodsManager(
    MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CrTypeCode"_s};
    m_descriptionElements = {u"PaymentMethodName"_s};
    m_listColumns = {u"CrTypeCode"_s, u"CrTypeName"_s, u"CreditCard"_s, u"DueTerms"_s};
    m_listElements = {u"PaymentMethodCode"_s, u"PaymentMethodName"_s, u"AssignedtoCreditCard"_s,
                      u"PaymentCode"_s};
    m_writeFields = {u"PaymentMethodCode"_s, u"PaymentMethodName"_s};
    m_columnFlags = {0, 1, 0, 0};
    declareTable({
        .name = u"OCRP"_s,
        .objectType = 70,
        .keyColumns = {u"CrTypeCode"_s},
        .keyElements = {u"PaymentMethodCode"_s},
        .descriptionColumn = u"CrTypeName"_s,
        .descriptionElement = u"PaymentMethodName"_s,
        .filter = {u"CrTypeCode > 0"_s},
        .references = {{
                           .field = u"AssignedtoCreditCard"_s,
                           .table = u"OCRC"_s,
                           .keyColumn = u"CreditCard"_s,
                           .identifyingColumns = {u"CardName"_s},
                       },
                       {
                           .field = u"PaymentCode"_s,
                           .table = u"OCDT"_s,
                           .keyColumn = u"Code"_s,
                           .identifyingColumns = {u"Name"_s},
                       }},
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"CrTypeName"_s,
    });
}
