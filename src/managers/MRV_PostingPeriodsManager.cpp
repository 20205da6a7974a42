#include "managers/MRV_PostingPeriodsManager.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLHostObject.h"
#include "tsframework/CLogBase.h"
#include "xml/MRV_XmlString.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int PeriodCategoryObject = 229;

// The category's fields of a period-category record, in the record's order.
const QStringList CategoryFields{u"PeriodName"_s, u"BeginningofFinancialYear"_s,
                                 u"NumberOfPeriods"_s, u"SubPeriodType"_s};

// A stored date ("2024-01-01 00:00:00") or a document's ("20240101") as
// "%Y-%m-%d"; empty for no date.
QString isoDate(const QString& text) {
    if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-')
        return text.left(10);
    if (text.size() == 8)
        return text.left(4) + u'-' + text.mid(4, 2) + u'-' + text.mid(6, 2);
    return text;
}

// The eight digits a date condition takes.
QString dateDigits(const QString& text) {
    return isoDate(text).remove(u'-');
}

} // namespace

MRV_PostingPeriodsManager::MRV_PostingPeriodsManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PeriodCat"_s};
    m_descriptionElements = {u"PeriodName"_s};
    m_listColumns = {u"PeriodCat"_s, u"PeriodName"_s, u"BeginningofFinancialYear"_s,
                     u"NumberOfPeriods"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"PeriodCategory"_s, u"PeriodName"_s};
    m_columnFlags = {0, 1, 0, 0};
    declareTable({
        .name = u"OACP"_s,
        .objectType = MRV_TableDeclaration::Rows,
        .keyColumns = {u"PeriodCat"_s},
        .descriptionColumn = u"PeriodName"_s,
    });
    declareTable({
        .name = u"OFPR"_s,
        .objectType = MRV_TableDeclaration::Rows,
        .keyColumns = {u"PeriodCat"_s, u"Code"_s},
        .descriptionColumn = u"Name"_s,
    });
}

void MRV_PostingPeriodsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    tables.clear();
    MRV_CompanySql base(baseCompany());
    MRV_SQLBuilder select = base.builder(u"OACP"_s);
    for (const QString& column : QStringList{u"PeriodCat"_s} + CategoryFields)
        select.addSelectColumn(column);
    for (const QVariantList& key : keys)
        select.addCondition(u"PeriodCat"_s, MRV_CompanySql::text(key.value(0)),
                            MRV_SQLBuilder::Text);
    if (!select.isValid())
        return;
    MRV_BOMTable categories{u"OACP"_s, {}};
    MRV_KeyList read;
    for (const QVariantList& values :
         base.query(select.buildSelect() + u" ORDER BY "_s + base.column(u"PeriodCat"_s)).values) {
        const QString code = MRV_CompanySql::text(values.value(0));
        MRV_BOMRecord::Row row;
        row.setValue(u"PeriodCat"_s, code);
        row.setValue(u"PeriodCategory"_s, code);
        row.setValue(u"PeriodName"_s, MRV_CompanySql::text(values.value(1)));
        row.setValue(u"BeginningofFinancialYear"_s, isoDate(MRV_CompanySql::text(values.value(2))));
        row.setValue(u"NumberOfPeriods"_s, QString::number(values.value(3).toInt()));
        row.setValue(u"SubPeriodType"_s, MRV_CompanySql::text(values.value(4)));
        MRV_BOMRecord record;
        record.setObjectType(PeriodCategoryObject);
        record.groups() << MRV_BOMRecord::Group{u"OACP"_s, {row}};
        const QString xml = record.toXml();
        if (firstNonXmlChar(xml) >= 0) {
            // Left out, but not in silence.
            Outcome outcome;
            outcome.baseCode = code;
            outcome.error = u"The record holds a character that XML cannot carry"_s;
            logOutcome(outcome);
            continue;
        }
        categories.documents << MRV_BOMDocument{xml, 0};
        read << QVariantList{code};
    }
    if (categories.documents.isEmpty())
        return;
    tables << categories;
    MRV_BOMTable periods{u"OFPR"_s, {}};
    readRows(base, *table(u"OFPR"_s), {u"PeriodCat"_s}, read, periods);
    if (!periods.documents.isEmpty())
        tables << periods;
}

HRESULT MRV_PostingPeriodsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_PostingPeriodsManager::writeToTarget");
    if (copyMethod == RemovalPhase)
        return S_OK;
    const int method =
        copyMethod == UpdateExisting || copyMethod == AddNew ? copyMethod : AddAndUpdate;
    if (tables.size() != 2 || tables[0].name != u"OACP" || tables[1].name != u"OFPR") {
        // A category without its sub-periods (or these without their
        // category) cannot be written: the run learns it from the line.
        Outcome outcome;
        outcome.error =
            u"Posting periods take two table entries, OACP and OFPR; %1 given"_s.arg(tables.size());
        log.LogError(u"%s: %s", getCategoryString(), outcome.error);
        logOutcome(outcome);
        return E_FAIL;
    }
    int failed = 0;
    try {
        MRV_CompanySql target(targetCompany());
        QList<MRV_BOMRecord::Row> periods;
        for (const MRV_BOMDocument& document : tables[1].documents) {
            MRV_BOMRecord record;
            QString why;
            if (!record.parse(document.xml, &why)) {
                Outcome outcome;
                outcome.error = u"The sub-periods are not a record document: "_s + why;
                logOutcome(outcome);
                ++failed;
                continue;
            }
            if (const MRV_BOMRecord::Group* group = record.group(u"OFPR"_s))
                periods << group->rows;
        }
        for (const MRV_BOMDocument& document : tables[0].documents) {
            MRV_BOMRecord record;
            QString why;
            Outcome outcome;
            outcome.operation = method == UpdateExisting ? UpdateExisting : AddNew;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml, &why) ? record.group(u"OACP"_s) : nullptr;
            if (!group || group->rows.isEmpty()) {
                outcome.error = u"The period category is not a record document: "_s + why;
                logOutcome(outcome);
                ++failed;
                continue;
            }
            const MRV_BOMRecord::Row& category = group->rows.first();
            const QString code = category.value(u"PeriodCategory"_s);
            outcome.baseCode = code;
            outcome.baseDescription = category.value(u"PeriodName"_s);
            const bool written = writeCategory(category, method, outcome);
            failed += !written;
            logOutcome(outcome);
            for (const MRV_BOMRecord::Row& period : periods) {
                if (period.value(u"PeriodCat"_s) != category.value(u"PeriodCat"_s))
                    continue;
                Outcome line;
                line.operation = outcome.operation;
                line.baseCode = code + u", "_s + period.value(u"Code"_s);
                line.baseDescription = period.value(u"Name"_s);
                if (written)
                    writePeriod(target, period, method, line);
                else
                    line.error = u"Its period category %1 was not written"_s.arg(code);
                failed += !line.succeeded;
                logOutcome(line);
            }
        }
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return failed > 0 ? S_FALSE : S_OK;
}

bool MRV_PostingPeriodsManager::writeCategory(const MRV_BOMRecord::Row& category, int copyMethod,
                                              Outcome& outcome) {
    const MRV_TableDeclaration object{.name = u"OACP"_s,
                                      .objectType = PeriodCategoryObject,
                                      .keyColumns = {u"PeriodCat"_s},
                                      .keyElements = {u"PeriodCategory"_s},
                                      .descriptionColumn = u"PeriodName"_s,
                                      .descriptionElement = u"PeriodName"_s};
    const QString code = category.value(u"PeriodCategory"_s);
    MRV_BOMRecord::Row row;
    row.setValue(u"PeriodCategory"_s, code);
    for (const QString& field : CategoryFields)
        row.setValue(field, field == u"BeginningofFinancialYear" ? dateDigits(category.value(field))
                                                                 : category.value(field));
    MRV_BOMRecord record;
    record.setObjectType(PeriodCategoryObject);
    record.groups() << MRV_BOMRecord::Group{u"OACP"_s, {row}};
    const bool exists = targetCompany()
                            .GetBusinessObject(PeriodCategoryObject)
                            ->Invoke(u"GetByKey"_s, {code})
                            .toBool();
    if (!admits(copyMethod, exists, outcome))
        return false;
    return exists ? UpdateDataSetFromDI(object, record.toXml(), {code}, outcome)
                  : AddDataSetFromDI(object, record.toXml(), outcome);
}

void MRV_PostingPeriodsManager::writePeriod(MRV_CompanySql& target,
                                            const MRV_BOMRecord::Row& period, int copyMethod,
                                            Outcome& outcome) {
    const QString table = u"OFPR"_s;
    MRV_SQLBuilder find = target.builder(table);
    find.addSelectColumn(u"AbsEntry"_s);
    find.addCondition(u"PeriodCat"_s, period.value(u"PeriodCat"_s), MRV_SQLBuilder::Text);
    find.addCondition(u"Code"_s, period.value(u"Code"_s), MRV_SQLBuilder::Text);
    if (!find.isValid()) {
        outcome.error = find.invalidReason();
        return;
    }
    const QVariant existing = target.scalar(find.buildSelect());
    const bool exists = !existing.isNull();
    outcome.operation = exists ? UpdateExisting : AddNew;
    if (!admits(copyMethod, exists, outcome))
        return;
    // Absolute entries are the target's own: a new sub-period takes the next.
    const QString entry =
        exists
            ? MRV_CompanySql::text(existing)
            : QString::number(MRV_CompanySql::text(target.scalar(target.statement(
                                                       {u"SELECT MAX(AbsEntry) FROM OFPR"_s,
                                                        u"SELECT MAX(\"AbsEntry\") FROM OFPR"_s})))
                                  .toLongLong() +
                              1);
    MRV_SQLBuilder write = target.builder(table);
    if (!exists)
        write.addCondition(u"AbsEntry"_s, entry, MRV_SQLBuilder::Number);
    for (const MRV_BOMRecord::Field& field : period.fields) {
        if (field.name == u"AbsEntry" ||
            (exists && (field.name == u"PeriodCat" || field.name == u"Code")))
            continue;
        const int type = target.valueType(table, field.name);
        write.addCondition(
            field.name, type == MRV_SQLBuilder::Date ? dateDigits(field.value) : field.value, type);
    }
    MRV_SQLBuilder key = target.builder(table);
    key.addCondition(u"AbsEntry"_s, entry, MRV_SQLBuilder::Number);
    if (!write.isValid()) {
        outcome.error = write.invalidReason();
        return;
    }
    try {
        target.execute(exists ? write.buildUpdate() + key.buildWhere() : write.buildInsert());
    } catch (const ComError& e) {
        outcome.error = u"%1: %2"_s.arg(e.code()).arg(e.description());
        return;
    }
    outcome.targetCode = period.value(u"PeriodCat"_s) + u", "_s + period.value(u"Code"_s);
    outcome.targetDescription = period.value(u"Name"_s);
    outcome.succeeded = true;
}
