#include "managers/MRV_CreditCardsManager.h"

using namespace Qt::StringLiterals;

MRV_CreditCardsManager::MRV_CreditCardsManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CreditCard"_s};
    m_descriptionElements = {u"CreditCardName"_s};
    m_listColumns = {u"CreditCard"_s, u"CardName"_s, u"Phone"_s, u"CompanyId"_s};
    m_listElements = {u"CreditCardCode"_s, u"CreditCardName"_s, u"Telephone"_s, u"CompanyID"_s};
    m_writeFields = {u"CreditCardCode"_s, u"CreditCardName"_s};
    m_columnFlags = {0, 1, 1, 1};
    declareTable({
        .name = u"OCRC"_s,
        .objectType = 36,
        .keyColumns = {u"CreditCard"_s},
        .keyElements = {u"CreditCardCode"_s},
        .descriptionColumn = u"CardName"_s,
        .descriptionElement = u"CreditCardName"_s,
        .references = {MRV_Reference::account(u"GLAccount"_s)},
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"CardName"_s,
    });
}
