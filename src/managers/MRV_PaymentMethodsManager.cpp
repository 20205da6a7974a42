#include "managers/MRV_PaymentMethodsManager.h"

using namespace Qt::StringLiterals;

MRV_PaymentMethodsManager::MRV_PaymentMethodsManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PayMethCod"_s};
    m_descriptionElements = {u"Description"_s};
    m_listColumns = {u"PayMethCod"_s, u"Descript"_s};
    m_listElements = {u"PaymentMethodCode"_s, u"Description"_s};
    m_writeFields = m_listElements;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OPYM"_s,
        .objectType = 147,
        .keyColumns = {u"PayMethCod"_s},
        .keyElements = {u"PaymentMethodCode"_s},
        .descriptionColumn = u"Descript"_s,
        .descriptionElement = u"Description"_s,
        .references = {{
                           .field = u"Format"_s,
                           .table = u"OFRM"_s,
                           .keyColumn = u"AbsEntry"_s,
                           .identifyingColumns = {u"FrmatType"_s},
                       },
                       MRV_Reference::account(u"GLAccount"_s),
                       // A bank code is only unique within its country.
                       {
                           .field = u"DefaultBank"_s,
                           .table = u"ODSC"_s,
                           .keyColumn = u"BankCode"_s,
                           .identifyingColumns = {u"BankCode"_s, u"CountryCod"_s},
                           .matching = {{u"BankCountry"_s, u"CountryCod"_s}},
                       }},
    });
    // The payment formats the methods name travel with them: no other
    // category brings them. A format is numbered per company and known by
    // its type.
    declareTable({.name = u"OFRM"_s,
                  .keyColumns = {u"AbsEntry"_s},
                  .descriptionColumn = u"Descr"_s,
                  .generatedKeyName = u"FrmatType"_s,
                  .companion = true});
}
