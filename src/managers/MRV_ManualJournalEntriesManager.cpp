#include "managers/MRV_ManualJournalEntriesManager.h"

#include "di/MRV_CompanySql.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIReferences.h"
#include "di/MRV_RecordScope.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "managers/MRV_CostAccounting.h"
#include "tsframework/CLogBase.h"

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString Entries = u"OJDT"_s;
const QString Lines = u"JDT1"_s;
constexpr int EntryObject = 30;

const QString Account = u"AccountCode"_s;
const QString ShortName = u"ShortName"_s;
const QString ContraAccount = u"ContraAccount"_s;

// An amount of a document in millionths, the host's precision.
qint64 micros(const QString& amount) {
    return qRound64(amount.toDouble() * 1e6);
}

QString amountText(qint64 micros) {
    return QString::number(double(micros) / 1e6, 'f', 2);
}

// What makes an entry the same in two companies: its dates, references
// and memo, and its lines in any order; account gives a line's account as
// every company knows it.
QString fingerprint(const MRV_BOMRecord& record,
                    const std::function<QString(const MRV_BOMRecord::Row&)>& account) {
    const MRV_BOMRecord::Row row = record.firstRow(Entries);
    QStringList parts;
    for (const QString& field : {u"ReferenceDate"_s, u"DueDate"_s, u"Reference"_s, u"Reference2"_s,
                                 u"Reference3"_s, u"Memo"_s})
        parts << row.value(field);
    QStringList lines;
    if (const MRV_BOMRecord::Group* group = record.group(Lines))
        for (const MRV_BOMRecord::Row& line : group->rows) {
            const QString shortName = line.value(ShortName);
            lines << QStringList{account(line),
                                 shortName == line.value(Account) ? QString() : shortName,
                                 QString::number(micros(line.value(u"Debit"_s))),
                                 QString::number(micros(line.value(u"Credit"_s))),
                                 line.value(u"LineMemo"_s)}
                         .join(QChar(0x1F));
        }
    lines.sort();
    parts << lines.join(QChar(0x1E));
    return parts.join(QChar(0x1D));
}

// Why the lines of an entry do not balance; empty when they do.
QString unbalanced(const MRV_BOMRecord& record) {
    const MRV_BOMRecord::Group* group = record.group(Lines);
    if (!group || group->rows.isEmpty())
        return u"The entry has no lines"_s;
    qint64 debit = 0, credit = 0;
    for (const MRV_BOMRecord::Row& line : group->rows) {
        debit += micros(line.value(u"Debit"_s));
        credit += micros(line.value(u"Credit"_s));
    }
    if (debit == credit)
        return QString();
    return u"The entry does not balance: its debits are %1, its credits %2"_s.arg(
        amountText(debit), amountText(credit));
}

// A line's partner and contra account are either an account, known by its
// formatted code, or a partner, known by its code. Reading gave each a
// dependency record for both kinds; the one that names nothing is dropped
// here, so that only a real reference must be resolved.
void sortOutPartners(MRV_BOMRecord& record) {
    MRV_BOMRecord::Group* group = record.group(Lines);
    if (!group)
        return;
    for (MRV_BOMRecord::Row& line : group->rows) {
        const auto named = [&](const QString& field) {
            const MRV_BOMRecord::Dependency* dep = line.dependency(field);
            return dep && !dep->keyValues.isEmpty() &&
                   std::any_of(dep->keyValues.cbegin(), dep->keyValues.cend(),
                               [](const QString& v) { return !v.isEmpty(); });
        };
        const auto drop = [&](const QString& field) {
            line.dependencies.removeIf(
                [&](const MRV_BOMRecord::Dependency& d) { return d.field == field; });
        };
        // A line on its own account: the target's account code is its
        // partner too (filled in just before it is added).
        if (line.value(ShortName).isEmpty() || line.value(ShortName) == line.value(Account)) {
            line.removeField(ShortName);
            drop(ShortName);
        }
        // A contra account that is a partner keeps its code.
        if (!named(ContraAccount))
            drop(ContraAccount);
    }
}

} // namespace

MRV_ManualJournalEntriesManager::MRV_ManualJournalEntriesManager(MRV_ConnectionContext* context,
                                                                 const QString& categoryId,
                                                                 int variant)
    : MRV_DIInterface(context, categoryId), m_variant(variant) {
    m_keyColumns = {u"TransId"_s};
    m_descriptionElements = {u"Memo"_s};
    m_listColumns = {u"TransId"_s, u"Ref1"_s, u"Ref2"_s, u"TransCode"_s, u"Project"_s, u"Memo"_s};
    m_listElements = {u"JdtNum"_s,          u"Reference"_s,   u"Reference2"_s,
                      u"TransactionCode"_s, u"ProjectCode"_s, u"Memo"_s};
    m_writeFields = {u"JdtNum"_s, u"Memo"_s};
    m_columnFlags = {0, 1, 1, 0, 0, 1};
    const MRV_Reference contra = MRV_Reference::account(ContraAccount, Lines).orLeftOut();
    declareTable({
        .name = Entries,
        .objectType = EntryObject,
        .keyColumns = {u"TransId"_s},
        .keyElements = {u"JdtNum"_s},
        .descriptionColumn = u"Memo"_s,
        .descriptionElement = u"Memo"_s,
        .filter = {u"TransType = N'"_s + transactionType(variant) + u"'"_s},
        .references =
            {
                // Series are numbered per company; a name is unique within
                // the entries' series.
                MRV_Reference::byName(u"Series"_s, u"NNM1"_s, u"Series"_s,
                                      {u"SeriesName"_s, u"ObjectCode"_s}),
                MRV_Reference::byCode(u"TransactionCode"_s, u"OTRC"_s, u"TrnsCode"_s),
                MRV_Reference::byCode(u"ProjectCode"_s, u"OPRJ"_s, u"PrjCode"_s),
                MRV_Reference::byCode(u"Indicator"_s, u"OIND"_s, u"Code"_s),
                MRV_Reference::account(Account, Lines),
                MRV_Reference::byCode(ShortName, u"OCRD"_s, u"CardCode"_s, Lines),
                contra,
                MRV_Reference::byCode(u"FCCurrency"_s, u"OCRN"_s, u"CurrCode"_s, Lines),
                MRV_Reference::byCode(u"ProjectCode"_s, u"OPRJ"_s, u"PrjCode"_s, Lines),
                MRV_CostAccounting::profitCentre(u"CostingCode"_s, Lines),
                MRV_CostAccounting::distributionRule(u"DistributionRule"_s, Lines),
                MRV_Reference::byCode(u"VatGroup"_s, u"OVTG"_s, u"Code"_s, Lines),
            },
    });
    for (MRV_TableDeclaration& table : MRV_CostAccounting::tables())
        declareTable(std::move(table));
}

QString MRV_ManualJournalEntriesManager::transactionType(int variant) {
    switch (variant) {
    case OpeningBalances:
        return u"-2"_s;
    case StockPostings:
        return u"58"_s;
    default:
        return u"30"_s;
    }
}

std::optional<MRV_KeyList>
MRV_ManualJournalEntriesManager::relatedRecords(const MRV_TableDeclaration& table,
                                                const BOMTableList& read) {
    return MRV_CostAccounting::related(table, Entries, read, {{Lines, u"CostingCode"_s}},
                                       {{Lines, u"DistributionRule"_s}});
}

void MRV_ManualJournalEntriesManager::prepareRecord(int objectType, QString& xml) {
    if (objectType != EntryObject)
        return;
    MRV_BOMRecord record;
    if (!record.parse(xml))
        return; // the host refuses it with its reason
    if (MRV_BOMRecord::Group* group = record.group(Lines))
        for (MRV_BOMRecord::Row& line : group->rows) {
            line.removeField(u"DebitSys"_s);
            line.removeField(u"CreditSys"_s);
            if (line.value(ShortName).isEmpty())
                line.setValue(ShortName, line.value(Account));
        }
    xml = record.toXml();
}

MRV_ManualJournalEntriesManager::TargetEntries
MRV_ManualJournalEntriesManager::targetEntries(MRV_CompanySql& target) {
    QHash<QString, QString> formatCodes;
    for (const QVariantList& row :
         target.query(target.statement({u"SELECT AcctCode, FormatCode FROM OACT"_s})).values)
        formatCodes.insert(MRV_CompanySql::text(row.value(0)), MRV_CompanySql::text(row.value(1)));
    MRV_SQLBuilder select = target.builder(Entries);
    select.addSelectColumn(u"TransId"_s);
    select.addCondition(u"TransType"_s, transactionType(m_variant), MRV_SQLBuilder::Text);
    TargetEntries entries;
    const std::unique_ptr<LLObjectsCOM::HostObject> object =
        target.company().GetBusinessObject(EntryObject);
    for (const QVariantList& row : target.query(select.buildSelect()).values) {
        const QString id = MRV_CompanySql::text(row.value(0));
        if (!object->Invoke(u"GetByKey"_s, {row.value(0).toInt()}).toBool())
            continue;
        MRV_BOMRecord record;
        if (!record.parse(object->Invoke(u"GetAsXML"_s).toString()))
            continue;
        const QString key = fingerprint(record, [&](const MRV_BOMRecord::Row& line) {
            return formatCodes.value(line.value(Account), line.value(Account));
        });
        entries[key] << id;
    }
    return entries;
}

void MRV_ManualJournalEntriesManager::setTransactionType(MRV_CompanySql& target,
                                                         const QString& entry) {
    MRV_SQLBuilder set = target.builder(Entries);
    set.addCondition(u"TransType"_s, transactionType(m_variant), MRV_SQLBuilder::Text);
    MRV_SQLBuilder where = target.builder(Entries);
    where.addCondition(u"TransId"_s, entry, MRV_SQLBuilder::Number);
    if (!where.isValid())
        throw ComError(E_FAIL, u"The entry added has no number: "_s + where.invalidReason());
    target.execute(set.buildUpdate() + where.buildWhere());
}

HRESULT MRV_ManualJournalEntriesManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_ManualJournalEntriesManager::writeToTarget");
    // Posted entries are never removed, nor the centres and rules they name.
    if (copyMethod == RemovalPhase)
        return S_OK;
    const int method =
        copyMethod == UpdateExisting || copyMethod == AddNew ? copyMethod : ReplaceAll;
    const auto [companions, rest] = MRV_CostAccounting::split(tables);
    // The centres and rules come first: the lines name them.
    if (MRV_DIInterface::writeToTarget(companions, method) == E_FAIL)
        return E_FAIL;
    try {
        MRV_CompanySql target(targetCompany());
        MRV_DIReferences references(target);
        TargetEntries existing = targetEntries(target);
        for (const MRV_BOMTable& entry : rest)
            if (entry.name == Entries)
                for (const MRV_BOMDocument& document : entry.documents)
                    writeEntry(target, references, existing, document, method);
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return failedRecords() > 0 ? S_FALSE : S_OK;
}

void MRV_ManualJournalEntriesManager::writeEntry(MRV_CompanySql& target,
                                                 MRV_DIReferences& references,
                                                 TargetEntries& existing,
                                                 const MRV_BOMDocument& document, int copyMethod) {
    Outcome outcome;
    outcome.operation = copyMethod == UpdateExisting ? UpdateExisting : AddNew;
    try {
        MRV_BOMRecord record;
        if (!parseRecord(document, record, outcome))
            return;
        const MRV_BOMRecord::Row row = record.firstRow(Entries);
        outcome.baseCode = row.value(u"JdtNum"_s);
        outcome.baseDescription = row.value(u"Memo"_s);
        // The amounts do not change on the way; the lines as written must
        // balance, or nothing of the entry is written.
        outcome.error = unbalanced(record);
        if (!outcome.error.isEmpty()) {
            logOutcome(outcome);
            return;
        }
        const QString key = fingerprint(record, [](const MRV_BOMRecord::Row& line) {
            const MRV_BOMRecord::Dependency* dep = line.dependency(Account);
            return dep ? dep->keyValues.join(u'/') : line.value(Account);
        });
        QStringList& copies = existing[key];
        if (!copies.isEmpty()) {
            const QString copy = copies.takeFirst();
            if (copyMethod == AddNew) {
                outcome.error =
                    u"The entry is in the target company already as entry %1"_s.arg(copy);
            } else {
                outcome.operation = UpdateExisting;
                outcome.succeeded = true;
                outcome.targetCode = copy;
                outcome.targetDescription = outcome.targetFormerDescription =
                    outcome.baseDescription;
                outcome.note = u"The entry is in the target company already as entry %1; posted "
                               u"entries are never changed"_s.arg(copy);
            }
            logOutcome(outcome);
            return;
        }
        if (copyMethod == UpdateExisting) {
            outcome.error = u"The entry is not in the target company"_s;
            logOutcome(outcome);
            return;
        }
        outcome.operation = AddNew;
        sortOutPartners(record);
        MRV_RecordScope scope(target.company());
        QString error;
        const bool ignoreMissing = ignoresMissingUserFields();
        bool ok = references.checkUserFields(mainTable(), record, ignoreMissing, error) &&
                  references.resolveDependencies(mainTable(), record, error);
        if (const QStringList notes = references.takeNotes(); !notes.isEmpty())
            outcome.note = notes.join(u"; "_s);
        if (!ok)
            outcome.error = error;
        else
            ok = AddDataSetFromDI(mainTable(), record.toXml(), outcome);
        if (ok && m_variant != ManualEntries) {
            QString added = outcome.targetCode;
            if (added.isEmpty())
                added = MRV_CompanySql::text(
                    target.scalar(target.statement({u"SELECT MAX(TransId) FROM OJDT"_s})));
            setTransactionType(target, added);
        }
        scope.finish(ok);
        outcome.succeeded = ok;
    } catch (const ComError& e) {
        // The scope has undone whatever of the entry was written.
        outcome.succeeded = false;
        outcome.targetCode.clear();
        outcome.error = u"%1: %2"_s.arg(e.code()).arg(e.description());
    }
    logOutcome(outcome);
}
