#include "managers/MRV_GLSettingsForBanksManager.h"
#include "managers/MRV_BanksManager.h"
#include "managers/MRV_TransportAccount.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "managers/MRV_TaxDefinitionManager.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int BankObject = 3;
constexpr int HouseBankAccountObject = 231;

} // namespace

MRV_GLSettingsForBanksManager::MRV_GLSettingsForBanksManager(MRV_ConnectionContext* context,
                                                             const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsEntry"_s};
    m_descriptionElements = {u"BankName"_s};
    m_listColumns = {u"BankCode"_s, u"CountryCod"_s, u"BankName"_s, u"DfltAcct"_s};
    m_listElements = {u"BankCode"_s, u"CountryCode"_s, u"BankName"_s, u"DefaultAccount"_s};
    m_writeFields = {u"BankCode"_s, u"BankName"_s};
    m_columnFlags = {0, 0, 0, 0};
    declareTable(MRV_BanksManager::bankTable());
    declareTable({
        .name = u"DSC1"_s,
        .objectType = HouseBankAccountObject,
        .keyColumns = {u"AbsEntry"_s},
        .descriptionColumn = u"AcctName"_s,
        .descriptionElement = u"AccountName"_s,
        .references = {MRV_Reference::account(u"GLAccount"_s),
                       MRV_Reference::byName(u"BankKey"_s, u"ODSC"_s, u"AbsEntry"_s,
                                             {u"BankCode"_s, u"CountryCod"_s})},
        // Absolute entries differ between companies: an account is the
        // target's account of the same number at the same bank.
        .generatedKeyName = u"Account"_s,
        .generatedKeyAlso = {{u"BankCode"_s, u"BankCode"_s}, {u"Country"_s, u"Country"_s}},
    });
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .settingsElement = u"GLSettingsForBanks"_s,
        .settings = {u"BankCountry"_s, u"DefaultBankNo"_s, u"DefaultBankAccount"_s,
                     u"DefaultBranch"_s},
        // The branch is shown with the default bank; the target keeps its
        // own.
        .settingsNotWritten = {u"DefaultBranch"_s},
    });
}

HRESULT MRV_GLSettingsForBanksManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_GLSettingsForBanksManager::writeToTarget");
    // Banks and accounts belong to their own categories: nothing is
    // removed, nothing added.
    if (copyMethod == RemovalPhase)
        return S_OK;
    const HRESULT result = MRV_DIInterface::writeToTarget(tables, UpdateExisting);
    MRV_TransportAccount::removeAfterWrite(targetCompany(), getCategoryString());
    return result;
}

void MRV_GLSettingsForBanksManager::prepareRecord(int objectType, QString& xml) {
    // Only the G/L side of a bank or an account is this category's; the
    // rest stays as its own category left it.
    QStringList kept;
    QString group;
    if (objectType == BankObject) {
        group = u"ODSC"_s;
        kept = {u"AbsoluteEntry"_s, u"BankCode"_s,       u"CountryCode"_s,
                u"BankName"_s,      u"DefaultAccount"_s, u"DefaultBankAccountKey"_s};
    } else if (objectType == HouseBankAccountObject) {
        group = u"DSC1"_s;
        kept = {u"AbsEntry"_s, u"BankCode"_s,    u"Country"_s,
                u"Account"_s,  u"AccountName"_s, u"GLAccount"_s};
    } else {
        return;
    }
    MRV_BOMRecord record;
    MRV_BOMRecord::Group* rows = record.parse(xml) ? record.group(group) : nullptr;
    if (!rows || rows->rows.isEmpty())
        return;
    MRV_BOMRecord::Row& row = rows->rows.first();
    QList<MRV_BOMRecord::Field> fields;
    for (const MRV_BOMRecord::Field& f : row.fields)
        if (kept.contains(f.name))
            fields << f;
    row.fields = fields;
    xml = record.toXml();
}
