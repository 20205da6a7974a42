#include "managers/MRV_GLAccountDeterminationManager.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_DISettings.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CLogBase.h"
#include "xml/MRV_DOMParser.h"
#include "xml/MRV_XmlString.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

constexpr int PeriodCategoryObject = 229;
const QString Categories = u"OACP"_s;
const QString AdminTable = u"OADM"_s;
const QString DayElement = u"PeriodCategory"_s;
const QString Element = u"GLAccountDetermination"_s;

QString hostError(LLObjectsCOM::Company& company) {
    int code = 0;
    QString text;
    company.GetLastError(code, text);
    return u"%1: %2"_s.arg(code).arg(text);
}

} // namespace

// ------------------------------------------------- per period category

MRV_PeriodCategoryAccounts::MRV_PeriodCategoryAccounts(MRV_DIInterface& owner,
                                                       const MRV_TableDeclaration& table)
    : m_owner(owner), m_table(table) {}

QString MRV_PeriodCategoryAccounts::isoDate(const QString& text) {
    const QString t = text.trimmed();
    QDate day;
    if (t.size() == 8)
        day = QDate::fromString(t, u"yyyyMMdd"_s);
    else if (t.size() >= 10)
        day = QDate::fromString(t.left(10), u"yyyy-MM-dd"_s);
    return day.isValid() ? day.toString(u"yyyy-MM-dd"_s) : QString();
}

QList<MRV_BOMDocument> MRV_PeriodCategoryAccounts::read(LLObjectsCOM::Company& base,
                                                        const MRV_KeyList& keys) {
    MRV_CompanySql sql(base);
    QStringList codes;
    if (keys.isEmpty()) {
        for (const QVariantList& row :
             sql.query(sql.statement({u"SELECT PeriodCat FROM OACP ORDER BY PeriodCat"_s})).values)
            codes << MRV_CompanySql::text(row.value(0));
    } else {
        for (const QVariantList& key : keys)
            codes << MRV_CompanySql::text(key.value(0));
    }
    // Accounts travel by formatted code; one look-up serves every field.
    QHash<QString, QString> formatCodes;
    for (const QVariantList& row :
         sql.query(sql.statement({u"SELECT AcctCode, FormatCode FROM OACT"_s})).values)
        formatCodes.insert(MRV_CompanySql::text(row.value(0)), MRV_CompanySql::text(row.value(1)));

    QList<MRV_BOMDocument> documents;
    const std::unique_ptr<LLObjectsCOM::HostObject> object =
        base.GetBusinessObject(PeriodCategoryObject);
    auto* category = dynamic_cast<LLObjectsCOM::BusinessObject*>(object.get());
    if (!category)
        throw ComError(E_FAIL, u"The host gives no period-category object"_s);
    for (const QString& code : codes) {
        Outcome failure;
        failure.baseCode = code;
        if (!category->GetByKey({code})) {
            failure.error = hostError(base);
            m_owner.logOutcome(failure);
            continue;
        }
        const QString day =
            isoDate(MRV_CompanySql::text(category->GetProperty(u"BeginningofFinancialYear"_s)));
        if (day.isEmpty()) {
            failure.error = u"The period category has no beginning of its financial year"_s;
            m_owner.logOutcome(failure);
            continue;
        }
        MRV_BOMRecord::Row row;
        row.setValue(DayElement, day);
        for (const QString& field : m_table.settings) {
            const QString account = MRV_CompanySql::text(category->GetProperty(field));
            if (!account.isEmpty() && formatCodes.value(account).isEmpty()) {
                failure.error =
                    u"%1 names the account %2, which has no formatted code"_s.arg(field, account);
                break;
            }
            row.setValue(field, formatCodes.value(account));
        }
        const QString body = MRV_BOMRecord::rowXml(row);
        if (failure.error.isEmpty() && !isXmlText(body))
            failure.error = u"The record holds a character that XML cannot carry"_s;
        if (!failure.error.isEmpty()) {
            m_owner.logOutcome(failure);
            continue;
        }
        const QString& root = m_table.settingsElement;
        documents << MRV_BOMDocument{u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?><BOM><"_s +
                                         root + u'>' + body + u"</"_s + root + u"></BOM>"_s,
                                     0};
    }
    return documents;
}

int MRV_PeriodCategoryAccounts::write(LLObjectsCOM::Company& target,
                                      const QList<MRV_BOMDocument>& documents) {
    CLogBase log(u"MRV", u"MRV_PeriodCategoryAccounts::write");
    m_categoryOfDay.clear();
    m_claimedBy.clear();
    m_accounts.clear();
    MRV_CompanySql sql(target);
    // The first category of a day takes its records, as a walk through the
    // categories in their order finds it.
    for (const QVariantList& row :
         sql.query(sql.statement({u"SELECT PeriodCat, BeginningofFinancialYear FROM OACP "
                                  u"ORDER BY PeriodCat"_s}))
             .values) {
        const QString day = isoDate(MRV_CompanySql::text(row.value(1)));
        if (!day.isEmpty() && !m_categoryOfDay.contains(day))
            m_categoryOfDay.insert(day, MRV_CompanySql::text(row.value(0)));
    }
    int failed = 0;
    for (const MRV_BOMDocument& document : documents) {
        Outcome outcome;
        outcome.operation = MRV_DIInterface::UpdateExisting;
        try {
            outcome.succeeded = writeRecord(target, document.xml, outcome);
        } catch (const ComError& e) {
            outcome.succeeded = false;
            outcome.error = u"%1: %2"_s.arg(e.code()).arg(e.description());
        }
        if (!outcome.succeeded) {
            ++failed;
            log.LogError(u"%s %s not written: %s", m_table.settingsElement, outcome.baseCode,
                         outcome.error);
        }
        m_owner.logOutcome(outcome);
    }
    return failed;
}

bool MRV_PeriodCategoryAccounts::writeRecord(LLObjectsCOM::Company& target, const QString& xml,
                                             Outcome& outcome) {
    MRV_DOMParser dom;
    if (!dom.parseString(xml)) {
        outcome.error = u"The record is not a record document: "_s + dom.errorList();
        return false;
    }
    if (!dom.initCursor() || dom.nodeName() != u"BOM" || !dom.step(0, true) ||
        dom.nodeName() != m_table.settingsElement) {
        outcome.error = u"The record holds no %1"_s.arg(m_table.settingsElement);
        return false;
    }
    const MRV_BOMRecord::Row record = MRV_BOMRecord::readRow(dom);
    const QString day = isoDate(record.value(DayElement));
    outcome.baseCode = record.value(DayElement);
    outcome.baseDescription = m_table.settingsElement;
    if (day.isEmpty()) {
        outcome.error =
            u"The record's %1 '%2' is no date"_s.arg(DayElement, outcome.baseCode.left(40));
        return false;
    }
    const auto category = m_categoryOfDay.constFind(day);
    if (category == m_categoryOfDay.cend()) {
        outcome.error = u"No period category of the target company begins its financial year on "
                        u"%1: the record is not written"_s.arg(day);
        return false;
    }
    // Two base records of one day would both land in the same category,
    // the second silently undoing the first.
    if (const auto first = m_claimedBy.constFind(*category); first != m_claimedBy.cend()) {
        outcome.error = u"The target's period category %1 took the record of %2 already"_s.arg(
            *category, first.value());
        return false;
    }
    m_claimedBy.insert(*category, day);
    outcome.targetCode = *category;
    // Every account first: a record is written whole or not at all.
    QList<std::pair<QString, QString>> accounts;
    for (const QString& field : m_table.settings) {
        if (m_table.settingsNotWritten.contains(field))
            continue;
        if (!record.has(field)) {
            outcome.error = u"The record has no value of %1"_s.arg(field);
            return false;
        }
        QString account;
        if (!targetAccount(target, field, record.value(field), account, outcome.error))
            return false;
        accounts.append({field, account});
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> object =
        target.GetBusinessObject(PeriodCategoryObject);
    auto* business = dynamic_cast<LLObjectsCOM::BusinessObject*>(object.get());
    if (!business || !business->GetByKey({*category})) {
        outcome.error = hostError(target);
        return false;
    }
    outcome.targetDescription = MRV_CompanySql::text(business->GetProperty(u"PeriodName"_s));
    outcome.targetFormerDescription = outcome.targetDescription;
    for (const auto& [field, account] : accounts)
        business->SetProperty(field, account.isEmpty() ? QVariant() : QVariant(account));
    if (business->Update() != 0) {
        outcome.error = hostError(target);
        return false;
    }
    return true;
}

bool MRV_PeriodCategoryAccounts::targetAccount(LLObjectsCOM::Company& target, const QString& field,
                                               const QString& formatCode, QString& account,
                                               QString& error) {
    account.clear();
    if (formatCode.isEmpty())
        return true; // no account in the base: none in the target
    if (const auto known = m_accounts.constFind(formatCode); known != m_accounts.cend()) {
        account = *known;
    } else {
        MRV_CompanySql sql(target);
        MRV_SQLBuilder select = sql.builder(u"OACT"_s);
        select.addSelectColumn(u"AcctCode"_s);
        select.addCondition(u"FormatCode"_s, formatCode, MRV_SQLBuilder::Text);
        if (select.isValid())
            account = MRV_CompanySql::text(sql.scalar(select.buildSelect()));
        m_accounts.insert(formatCode, account);
    }
    if (account.isEmpty()) {
        error = u"%1 refers to OACT FormatCode '%2', which is not in the target company"_s.arg(
            field, formatCode.left(60));
        return false;
    }
    return true;
}

// ------------------------------------------------------------ manager

MRV_GLAccountDeterminationManager::MRV_GLAccountDeterminationManager(MRV_ConnectionContext* context,
                                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PeriodCat"_s};
    m_listColumns = {u"PeriodCat"_s};
    m_columnFlags = {0};
    declareTable({
        .name = Categories,
        .keyColumns = {u"PeriodCat"_s},
        .descriptionColumn = u"PeriodCat"_s,
        .settingsElement = Element,
        // ReconciliationDifference is one field of a category: it travels
        // once.
        .settings = {u"DebitorsFollowUpAccount"_s,
                     u"ForeignAccountsReceivables"_s,
                     u"ReconciliationDifference"_s,
                     u"AccountforCashReceipt"_s,
                     u"InvoicePaymentBP"_s,
                     u"OverpaymentsARAccount"_s,
                     u"UnderpaymentsARAccount"_s,
                     u"DownPaymentSClearingAcct"_s,
                     u"ARGainRealizedExchngeDif"_s,
                     u"ARLossRealizedExchangeDi"_s,
                     u"ARCashDiscountAccount"_s,
                     u"DefaultSaleAccount"_s,
                     u"RevenuesAccountForeign"_s,
                     u"SalesRevenueEU"_s,
                     u"SalesCreditAcc"_s,
                     u"SalesCreditForeignAcc"_s,
                     u"SalesCreditEUAcc"_s,
                     u"DownPaymentVATAcctSale"_s,
                     u"CreditorsFollowUpAccount"_s,
                     u"OutgoingChecksAccount"_s,
                     u"APGainRealizedExchngeDif"_s,
                     u"APLossRealizedExchangeDif"_s,
                     u"OutgoingCashAccount"_s,
                     u"APCashDiscountAccount"_s,
                     u"APLossCashDiscountAccount"_s,
                     u"ExpenseAccountDefault"_s,
                     u"ExpensesAccountForeign"_s,
                     u"EUExpenseAccount"_s,
                     u"PurchaseCreditAcc"_s,
                     u"ForeignPurchaseCreditAcc"_s,
                     u"EUPurchaseCreditAcc"_s,
                     u"OverpaymentsAPAccount"_s,
                     u"UnderpaymentsAPAccount"_s,
                     u"DownPaymentPClearingAcct"_s,
                     u"ExpenseVarianceAccount"_s,
                     u"DownPaymentVATAcctPurch"_s,
                     u"CommissionAccountDefault"_s,
                     u"RoundingAccount"_s,
                     u"EOYControlAccount"_s,
                     u"AccountforOutgoingChecks"_s,
                     u"TaxExemptRevenuesDefault"_s,
                     u"ExemptedCredits"_s,
                     u"InputTaxAccount"_s,
                     u"TaxDefinition"_s,
                     u"AccountforCreditMemoPayme"_s,
                     u"WithholodingTax"_s,
                     u"PurchaseTax"_s,
                     u"StockAccount"_s,
                     u"StockRevaluationAccount"_s,
                     u"StockRevaluationOffsetAcct"_s,
                     u"VarianceAcc"_s,
                     u"VendorAssetsAccount"_s,
                     u"VendorDoubtfulDebtsAcct"_s,
                     u"VendorDownPaymentsAccount"_s,
                     u"WIPMaterialAccount"_s,
                     u"WIPMaterialVarianceAccount"_s,
                     u"DecreaseGLAcc"_s},
        .settingsNotWritten = {u"InvoicePaymentBP"_s, u"DownPaymentVATAcctSale"_s,
                               u"DownPaymentVATAcctPurch"_s, u"VendorDownPaymentsAccount"_s},
    });
    // Tax groups keep their codes between companies; one the target lacks
    // yet is left out, and the target keeps its own.
    QList<MRV_Reference> taxGroups;
    for (const QString& field : {u"TaxDefinitionforVatitem"_s, u"TaxDefinitionforVatservice"_s,
                                 u"TaxGroupforPurchaseItem"_s, u"TaxGroupforServicePurchase"_s})
        taxGroups << MRV_Reference::byCode(field, u"OVTG"_s, u"Code"_s).orLeftOut();
    declareTable({
        .name = AdminTable,
        .objectType = MRV_TableDeclaration::Settings,
        .references = taxGroups,
        .settingsElement = Element,
        .settings = {u"ChangeDefReconARAccounts"_s, u"TaxDefinitionforVatitem"_s,
                     u"TaxDefinitionforVatservice"_s, u"ChangeDefReconAPAccounts"_s,
                     u"WithholdingTaxPHandle"_s, u"TaxGroupforPurchaseItem"_s,
                     u"TaxGroupforServicePurchase"_s, u"VendorDdct"_s,
                     u"CustomersDeductionatSource"_s, u"SHandleWT"_s},
    });
}

int MRV_GLAccountDeterminationManager::initialize() {
    MRV_DIInterface::initialize();
    // A record names its category by its day: a selection from a
    // configuration file finds the record by that element.
    setKeys(m_keyColumns, {DayElement});
    return 1;
}

void MRV_GLAccountDeterminationManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    tables.clear();
    LLObjectsCOM::Company& base = baseCompany();
    MRV_BOMTable categories{Categories,
                            MRV_PeriodCategoryAccounts(*this, mainTable()).read(base, keys)};
    if (!categories.documents.isEmpty())
        tables << categories;
    // The company-wide settings travel whatever was selected.
    MRV_CompanySql sql(base);
    if (const QString xml = MRV_DISettings(*this, sql, *table(AdminTable)).read(); !xml.isEmpty())
        tables << MRV_BOMTable{AdminTable, {MRV_BOMDocument{xml, 0}}};
}

MRV_DIDataSet*
MRV_GLAccountDeterminationManager::listFromConfiguration(const BOMTableList& tables) {
    dataSet().clearRows();
    const MRV_BOMTable* listed = nullptr;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name == Categories)
            listed = &entry;
    if (!listed)
        return &dataSet();
    initialize();
    // A file holds each category by its day, which then is its key.
    for (const MRV_BOMDocument& document : listed->documents) {
        MRV_DOMParser dom;
        if (!dom.parseString(document.xml) || !dom.initCursor() || !dom.step(0, true) ||
            dom.nodeName() != Element)
            continue;
        const QString day = MRV_BOMRecord::readRow(dom).value(DayElement);
        dataSet().addRow({.keys = {day}, .values = {day}, .description = day});
    }
    return &dataSet();
}

HRESULT MRV_GLAccountDeterminationManager::writeToTarget(const BOMTableList& tables,
                                                         int copyMethod) {
    CLogBase log(u"MRV", u"MRV_GLAccountDeterminationManager::writeToTarget");
    // Categories and the administration information are there in every
    // company: each copy method updates them, the removal phase leaves them.
    if (copyMethod == RemovalPhase)
        return S_OK;
    BOMTableList settings;
    QList<MRV_BOMDocument> categories;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name == Categories)
            categories += entry.documents;
        else if (entry.name == AdminTable)
            settings << entry;
    }
    int failed = 0;
    try {
        failed = MRV_PeriodCategoryAccounts(*this, mainTable()).write(targetCompany(), categories);
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    const HRESULT written =
        settings.isEmpty() ? S_OK : MRV_DIInterface::writeToTarget(settings, UpdateExisting);
    if (written == E_FAIL)
        return E_FAIL;
    return failed > 0 || written != S_OK ? S_FALSE : S_OK;
}
