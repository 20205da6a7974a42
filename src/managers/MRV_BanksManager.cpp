#include "managers/MRV_BanksManager.h"

using namespace Qt::StringLiterals;

MRV_BanksManager::MRV_BanksManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsEntry"_s};
    m_descriptionElements = {u"BankName"_s};
    m_listColumns = {u"BankCode"_s,   u"CountryCod"_s, u"BankName"_s,
                     u"PostOffice"_s, u"DfltBranch"_s, u"DfltAcct"_s};
    m_listElements = {u"BankCode"_s,   u"CountryCode"_s,   u"BankName"_s,
                      u"PostOffice"_s, u"DefaultBranch"_s, u"DefaultAccount"_s};
    m_writeFields = {u"BankCode"_s, u"BankName"_s};
    m_columnFlags = {0, 0, 1, 1, 1, 0};
    declareTable(bankTable());
}

MRV_TableDeclaration MRV_BanksManager::bankTable() {
    return {
        .name = u"ODSC"_s,
        .objectType = 3,
        .keyColumns = {u"AbsEntry"_s},
        .keyElements = {u"AbsoluteEntry"_s},
        .descriptionColumn = u"BankName"_s,
        .descriptionElement = u"BankName"_s,
        // The default account is one of the bank's house bank accounts: a
        // bank code names all of them, the account number the one. They
        // arrive with their own category, after their bank.
        .references = {{
            .field = u"DefaultBankAccountKey"_s,
            .table = u"DSC1"_s,
            .keyColumn = u"AbsEntry"_s,
            .identifyingColumns = {u"BankCode"_s, u"Account"_s},
            .optional = true,
        }},
        // The host numbers banks itself: a bank is the target's bank of the
        // same code in the same country.
        .generatedKeyName = u"BankCode"_s,
        .generatedKeyAlso = {{u"CountryCod"_s, u"CountryCode"_s}},
    };
}
