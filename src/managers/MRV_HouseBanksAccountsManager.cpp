#include "managers/MRV_HouseBanksAccountsManager.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Accounts = u"DSC1"_s;
const QString DefaultAccounts = u"DefaultAccounts"_s;
constexpr int BankObject = 3;
// The host's counter the caller numbers house bank accounts from.
const QString AccountCounter = u"183"_s;

QString accountOf(const QString& bank, const QString& country, const QString& account) {
    return bank + QChar(0x1F) + country + QChar(0x1F) + account;
}

} // namespace

MRV_HouseBanksAccountsManager::MRV_HouseBanksAccountsManager(MRV_ConnectionContext* context,
                                                             const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsEntry"_s};
    m_descriptionElements = {u"AccountName"_s};
    m_listColumns = {u"AccNo"_s, u"BankCode"_s, u"Branch"_s, u"Account"_s};
    m_listElements = {u"AccNo"_s, u"BankCode"_s, u"Branch"_s, u"Account"_s};
    m_writeFields = {u"Account"_s, u"AccountName"_s};
    m_columnFlags = {1, 0, 1, 0};
    declareTable({
        .name = Accounts,
        .objectType = 231,
        .keyColumns = {u"AbsEntry"_s},
        .descriptionColumn = u"AcctName"_s,
        .descriptionElement = u"AccountName"_s,
        .references = {MRV_Reference::byName(u"BankKey"_s, u"ODSC"_s, u"AbsEntry"_s,
                                             {u"BankCode"_s, u"CountryCod"_s}),
                       // Layout codes are handed out per company; a layout's
                       // name within its type is the same everywhere. An
                       // account is usable without its payment layout, which
                       // print layouts bring: where the target lacks it, the
                       // account is written without it, and its line says so.
                       MRV_Reference::byName(u"TemplateName"_s, u"RDOC"_s, u"DocCode"_s,
                                             {u"TypeCode"_s, u"DocName"_s})
                           .orLeftOut(),
                       MRV_Reference::account(u"GLAccount"_s),
                       MRV_Reference::account(u"GLInterimAccount"_s)},
        // Absolute entries differ between companies: an account is the
        // target's account of the same number at the same bank.
        .generatedKeyName = u"Account"_s,
        .generatedKeyAlso = {{u"BankCode"_s, u"BankCode"_s}, {u"Country"_s, u"Country"_s}},
    });
}

void MRV_HouseBanksAccountsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
    // The default accounts of the banks whose accounts were read.
    QSet<QString> read;
    for (const MRV_BOMTable& entry : tables)
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(Accounts) : nullptr;
            if (group && !group->rows.isEmpty()) {
                const MRV_BOMRecord::Row& row = group->rows.first();
                read.insert(accountOf(row.value(u"BankCode"_s), row.value(u"Country"_s),
                                      row.value(u"Account"_s)));
            }
        }
    if (read.isEmpty())
        return;
    MRV_CompanySql base(baseCompany());
    // A bank code is unique only within its country.
    const MRV_CompanySql::Rows defaults = base.query(base.statement(
        {u"SELECT BankCode, CountryCod, DfltAcct FROM ODSC WHERE DfltAcct IS NOT NULL "
         u"ORDER BY BankCode, CountryCod"_s,
         u"SELECT \"BankCode\", \"CountryCod\", \"DfltAcct\" FROM ODSC WHERE \"DfltAcct\" IS "
         u"NOT NULL ORDER BY \"BankCode\", \"CountryCod\""_s}));
    MRV_BOMRecord::Group group{MRV_BOMRecord::groupName(DefaultAccounts), {}};
    for (const QVariantList& values : defaults.values) {
        MRV_BOMRecord::Row row;
        for (qsizetype i = 0; i < defaults.names.size(); ++i)
            row.fields << MRV_BOMRecord::Field{defaults.names[i], MRV_CompanySql::text(values[i])};
        if (read.contains(accountOf(row.value(u"BankCode"_s), row.value(u"CountryCod"_s),
                                    row.value(u"DfltAcct"_s))))
            group.rows << row;
    }
    if (group.rows.isEmpty())
        return;
    MRV_BOMRecord record;
    record.setObjectType(-1);
    record.groups() << group;
    tables << MRV_BOMTable{DefaultAccounts, {MRV_BOMDocument{record.toXml(), 0}}};
}

HRESULT MRV_HouseBanksAccountsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    const HRESULT result = MRV_DIInterface::writeToTarget(tables, copyMethod);
    // The banks' defaults go with the accounts, not with their removal.
    if (copyMethod == RemovalPhase || result == E_FAIL)
        return result;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != DefaultAccounts)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            QString why;
            if (!record.parse(document.xml, &why)) {
                Outcome outcome;
                outcome.operation = UpdateExisting;
                outcome.error = u"The default accounts are not a record document: "_s + why;
                logOutcome(outcome);
                continue;
            }
            const MRV_BOMRecord::Group* group =
                record.group(MRV_BOMRecord::groupName(DefaultAccounts));
            for (const MRV_BOMRecord::Row& row :
                 group ? group->rows : QList<MRV_BOMRecord::Row>()) {
                Outcome outcome;
                outcome.operation = UpdateExisting;
                outcome.baseCode = row.value(u"BankCode"_s);
                outcome.baseDescription = row.value(u"DfltAcct"_s);
                try {
                    writeDefaultAccount(row, outcome);
                } catch (const ComError& e) {
                    outcome.succeeded = false;
                    outcome.error = QStringLiteral("%1: %2").arg(e.code()).arg(e.description());
                }
                logOutcome(outcome);
            }
        }
    }
    return failedRecords() > 0 ? S_FALSE : S_OK;
}

bool MRV_HouseBanksAccountsManager::writeDefaultAccount(const MRV_BOMRecord::Row& row,
                                                        Outcome& outcome) {
    LLObjectsCOM::Company& company = targetCompany();
    MRV_CompanySql target(company);
    const QString bank = row.value(u"BankCode"_s);
    const QString country = row.value(u"CountryCod"_s);
    const QString account = row.value(u"DfltAcct"_s);
    MRV_SQLBuilder banks = target.builder(u"ODSC"_s);
    banks.addSelectColumn(u"AbsEntry"_s);
    banks.addSelectColumn(u"BankName"_s);
    banks.addCondition(u"BankCode"_s, bank, MRV_SQLBuilder::Text);
    banks.addCondition(u"CountryCod"_s, country, MRV_SQLBuilder::Text);
    const MRV_CompanySql::Rows found = target.query(banks.buildSelect());
    if (found.values.isEmpty()) {
        outcome.error = u"The bank %1 (%2) is not in the target company"_s.arg(bank, country);
        return false;
    }
    MRV_SQLBuilder accounts = target.builder(Accounts);
    accounts.addSelectColumn(u"AbsEntry"_s);
    accounts.addCondition(u"BankCode"_s, bank, MRV_SQLBuilder::Text);
    accounts.addCondition(u"Country"_s, country, MRV_SQLBuilder::Text);
    accounts.addCondition(u"Account"_s, account, MRV_SQLBuilder::Text);
    const QVariant key = target.scalar(accounts.buildSelect());
    if (key.isNull()) {
        outcome.error =
            u"The bank %1 (%2) has no house bank account %3 in the target company"_s.arg(
                bank, country, account);
        return false;
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> object = company.GetBusinessObject(BankObject);
    auto* business = dynamic_cast<LLObjectsCOM::BusinessObject*>(object.get());
    if (!business || !business->GetByKey({found.values.first().value(0)})) {
        outcome.error =
            u"The bank %1 (%2) cannot be read in the target company"_s.arg(bank, country);
        return false;
    }
    outcome.targetFormerDescription =
        MRV_CompanySql::text(business->GetProperty(u"DefaultAccount"_s));
    business->SetProperty(u"DefaultAccount"_s, account);
    business->SetProperty(u"DefaultBankAccountKey"_s, MRV_CompanySql::text(key));
    if (business->Update() != 0) {
        int code = 0;
        QString text;
        company.GetLastError(code, text);
        outcome.error = u"%1: %2"_s.arg(code).arg(text);
        return false;
    }
    outcome.targetCode = bank;
    outcome.targetDescription = account;
    outcome.succeeded = true;
    return true;
}

void MRV_HouseBanksAccountsManager::assignAutoKey(const MRV_TableDeclaration& table,
                                                  MRV_BOMRecord::Row& row) {
    if (table.name != Accounts)
        return;
    MRV_CompanySql target(targetCompany());
    const QVariant counter = target.scalar(target.statement(
        {u"SELECT AutoKey FROM ONNM WHERE ObjectCode = '%1'"_s.arg(AccountCounter),
         u"SELECT \"AutoKey\" FROM ONNM WHERE \"ObjectCode\" = '%1'"_s.arg(AccountCounter)}));
    // A counter behind the accounts there are (a company that numbered
    // them otherwise) must not hand out a number in use.
    const qlonglong highest =
        MRV_CompanySql::text(
            target.scalar(target.statement(
                {u"SELECT MAX(AbsEntry) FROM DSC1"_s, u"SELECT MAX(\"AbsEntry\") FROM DSC1"_s})))
            .toLongLong();
    const qlonglong key = std::max(MRV_CompanySql::text(counter).toLongLong(), highest + 1);
    // The number is taken now, so that the next account gets the next one
    // whether or not this one is added.
    if (counter.isNull())
        target.execute(target.statement(
            {u"INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES ('%1', %2, "
             u"'House Bank Accounts')"_s.arg(AccountCounter)
                 .arg(key + 1),
             u"INSERT INTO ONNM (\"ObjectCode\", \"AutoKey\", \"ObjectName\") VALUES ('%1', %2, "
             u"'House Bank Accounts')"_s.arg(AccountCounter)
                 .arg(key + 1)}));
    else
        target.execute(target.statement(
            {u"UPDATE ONNM SET AutoKey = %1 WHERE ObjectCode = '%2'"_s.arg(key + 1).arg(
                 AccountCounter),
             u"UPDATE ONNM SET \"AutoKey\" = %1 WHERE \"ObjectCode\" = '%2'"_s.arg(key + 1).arg(
                 AccountCounter)}));
    row.setValue(u"AbsEntry"_s, QString::asprintf("%d", int(key)));
}
