#include "managers/MRV_COAAccountsManager.h"

#include "managers/MRV_TransportAccount.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "managers/MRV_COATitlesManager.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

HRESULT worst(HRESULT a, HRESULT b) {
    if (a == E_FAIL || b == E_FAIL)
        return E_FAIL;
    return a == S_FALSE || b == S_FALSE ? S_FALSE : S_OK;
}

} // namespace

MRV_COAAccountsManager::MRV_COAAccountsManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AcctCode"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"AcctCode"_s, u"AcctName"_s,   u"FrgnName"_s, u"ActCurr"_s, u"LocManTran"_s,
                     u"Finanse"_s,  u"RevalMatch"_s, u"Project"_s,  u"Details"_s};
    m_listElements = {u"Code"_s,
                      u"Name"_s,
                      u"ForeignName"_s,
                      u"AccountCurrency"_s,
                      u"LockManualTransaction"_s,
                      u"CashAccount"_s,
                      u"RevaluationMatch"_s,
                      u"ProjectCode"_s,
                      u"Details"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1, 1, 1, 1, 1, 1, 1};
    // The category is known by its name. An account's default project is a
    // default only: where the target lacks the project, the account arrives
    // without it and its line says so, instead of failing and taking
    // everything that names the account down with it.
    MRV_TableDeclaration accounts = MRV_ChartTable(true);
    accounts.references
        << MRV_Reference::byName(u"Category"_s, u"OACG"_s, u"AbsId"_s, {u"Name"_s})
        << MRV_Reference::byCode(u"ProjectCode"_s, u"OPRJ"_s, u"PrjCode"_s).orLeftOut();
    declareTable(accounts);
    declareTable({
        .name = u"OACG"_s,
        .objectType = MRV_TableDeclaration::Rows,
        .keyColumns = {u"AbsId"_s},
        .descriptionColumn = u"Name"_s,
        // Categories that accounts of the target name stay.
        .removalFilter = {u"AbsId NOT IN (SELECT Category FROM OACT WHERE Category IS NOT NULL)"_s},
        .generatedKeyName = u"Name"_s,
        .autoKeyObject = 238,
    });
}

void MRV_COAAccountsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
    BOMTableList ordered;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name == u"OACG")
            ordered << entry;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name != u"OACG")
            ordered << entry;
    tables = ordered;
}

HRESULT MRV_COAAccountsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    BOMTableList categories, accounts;
    for (const MRV_BOMTable& entry : tables)
        (entry.name == u"OACG" ? categories : accounts) << entry;
    // Accounts are never removed; categories no account names may go.
    if (copyMethod == RemovalPhase)
        return categories.isEmpty() ? S_OK
                                    : MRV_DIInterface::writeToTarget(categories, RemovalPhase);
    try {
        m_bySegments = MRV_AccountsBySegments(targetCompany());
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_COAAccountsManager::writeToTarget")
            .LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    // Categories first: accounts name them.
    HRESULT result =
        categories.isEmpty() ? S_OK : MRV_DIInterface::writeToTarget(categories, copyMethod);
    if (!accounts.isEmpty())
        result = worst(result, MRV_DIInterface::writeToTarget(accounts, AddAndUpdate));
    MRV_TransportAccount::removeAfterWrite(targetCompany(), getCategoryString());
    return result;
}

bool MRV_COAAccountsManager::resolveTargetKey(const QString& name, const QString& table,
                                              QString& key) {
    const QString own = key;
    const bool found = MRV_DIInterface::resolveTargetKey(name, table, key);
    if (found || table != u"OACT")
        return found;
    // A new account keeps its code.
    key = own;
    return !m_bySegments && MRV_AccountExists(targetCompany(), own);
}
