#include "managers/MRV_PrintLayoutsManager.h"

#include "di/MRV_CompanySql.h"
#include "di/MRV_DIReferences.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLCompanyService.h"
#include "tsframework/CLogBase.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString Layouts = u"RDOC"_s;
const QString Types = u"RTYP"_s;
const QString Code = u"DocCode"_s;
const QString Name = u"Name"_s;
const QString TypeCode = u"TypeCode"_s;

// Documents and reports; the layouts of queries.
const QString DocumentLayouts = u"Author <> N'System' AND TypeCode NOT LIKE N'USR%'"_s;
const QString QueryLayouts =
    u"Author <> N'System' AND (TypeCode LIKE N'USRT%' OR TypeCode LIKE N'USRP%')"_s;

std::unique_ptr<LLObjectsCOM::HostObject> layoutService(LLObjectsCOM::Company& company) {
    return company.GetCompanyService()->GetBusinessService(
        LLObjectsCOM::CompanyService::LayoutServiceType);
}

} // namespace

MRV_PrintLayoutsManager::MRV_PrintLayoutsManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId, int variant)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {Code};
    m_descriptionElements = {Name};
    m_listColumns = {u"DocName"_s, u"Author"_s, u"Notes"_s, TypeCode};
    m_listElements = {Name, u"Author"_s, u"Remarks"_s, TypeCode};
    m_writeFields = {Code, Name};
    m_columnFlags = {0, 0, 0, 0};
    declareTable({
        .name = Layouts,
        .objectType = LLObjectsCOM::CompanyService::LayoutServiceType,
        .keyColumns = {Code},
        .descriptionColumn = u"DocName"_s,
        .descriptionElement = Name,
        .filter = {variant == 2 ? QueryLayouts : DocumentLayouts},
        .references = {MRV_Reference::byCode(TypeCode, Types, TypeCode)},
    });
    declareTable({
        .name = Types,
        .keyColumns = {TypeCode},
        .descriptionColumn = u"TypeName"_s,
        .companion = true,
    });
}

QStringList MRV_PrintLayoutsManager::layoutCodes(MRV_CompanySql& base) const {
    MRV_SQLBuilder select = base.builder(Layouts);
    select.addSelectColumn(Code);
    QStringList codes;
    for (const QVariantList& row :
         base.query(select.buildSelect() + u" WHERE "_s + base.condition(mainTable().filter) +
                    u" ORDER BY "_s + base.column(Code))
             .values)
        codes << MRV_CompanySql::text(row.value(0));
    return codes;
}

void MRV_PrintLayoutsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_PrintLayoutsManager::readFromDatabase");
    tables.clear();
    MRV_CompanySql base(baseCompany());
    const QStringList category = layoutCodes(base);
    QStringList codes;
    if (keys.isEmpty()) {
        codes = category;
    } else {
        const QSet<QString> known(category.cbegin(), category.cend());
        for (const QVariantList& key : keys) {
            const QString code = MRV_CompanySql::text(key.value(0));
            if (known.contains(code))
                codes << code;
            else
                logReadFailure(code, u"The base company has no layout %1 of this category (a "
                                     u"layout of the system's is never copied)"_s.arg(code));
        }
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> service = layoutService(base.company());
    MRV_DIReferences references(base);
    MRV_BOMTable layouts{Layouts, {}};
    MRV_KeyList types;
    QSet<QString> typesSeen;
    for (const QString& code : codes) {
        QString xml;
        try {
            xml = service->Invoke(u"GetLayout"_s, {code}).toString();
        } catch (const ComError& e) {
            logReadFailure(code, errorText(e));
            continue;
        }
        // Taken apart and written again, the document holds each text
        // escaped once, as the service gave it.
        MRV_BOMRecord record;
        QString why;
        if (!record.parse(xml, &why) || !record.group(Layouts)) {
            logReadFailure(code, u"The layout's document cannot be read: "_s + why);
            continue;
        }
        references.addDependencies(mainTable(), record);
        const QString type = record.firstRow(Layouts).value(TypeCode);
        if (!typesSeen.contains(type)) {
            typesSeen.insert(type);
            types << QVariantList{type};
        }
        layouts.documents << MRV_BOMDocument{record.toXml(), 0};
    }
    if (layouts.documents.isEmpty())
        return;
    // The types first: they are written first.
    MRV_BOMTable typeRows{Types, {}};
    if (const MRV_TableDeclaration* t = table(Types))
        readRows(base, *t, {TypeCode}, types, typeRows);
    for (MRV_BOMDocument& document : typeRows.documents) {
        MRV_BOMRecord record;
        MRV_BOMRecord::Group* group = record.parse(document.xml) ? record.group(Types) : nullptr;
        if (!group)
            continue;
        // The layout a type prints by default is the target's to choose.
        for (MRV_BOMRecord::Row& row : group->rows)
            row.removeField(u"DfltReport"_s);
        document.xml = record.toXml();
    }
    if (!typeRows.documents.isEmpty())
        tables << typeRows;
    tables << layouts;
    log.LogDbg1(u"%s: %d layout(s) read", getCategoryString(), int(layouts.documents.size()));
}

bool MRV_PrintLayoutsManager::writeLayout(MRV_CompanySql& target, MRV_DIReferences& references,
                                          LLObjectsCOM::HostObject& service,
                                          const MRV_BOMDocument& document, int copyMethod,
                                          QHash<QString, QString>& written, Outcome& outcome) {
    MRV_BOMRecord record;
    QString why;
    if (!record.parse(document.xml, &why)) {
        outcome.error = u"The record is not a record document: "_s + why;
        return false;
    }
    const MRV_BOMRecord::Group* group = record.group(Layouts);
    if (!group || group->rows.size() != 1) {
        outcome.error = u"The record holds no print layout"_s;
        return false;
    }
    const MRV_BOMRecord::Row row = group->rows.first();
    const QString name = row.value(Name);
    const QString type = row.value(TypeCode);
    outcome.baseCode = row.value(Code);
    outcome.baseDescription = name;
    if (!references.resolveDependencies(mainTable(), record, why)) {
        outcome.error = why;
        return false;
    }
    MRV_SQLBuilder find = target.builder(Layouts);
    find.addSelectColumn(Code);
    find.addCondition(u"DocName"_s, name, MRV_SQLBuilder::Text);
    find.addCondition(TypeCode, type, MRV_SQLBuilder::Text);
    const MRV_CompanySql::Rows found = target.query(find.buildSelect());
    const QString existing =
        found.values.isEmpty() ? QString() : MRV_CompanySql::text(found.values.first().value(0));
    if (copyMethod == UpdateExisting && existing.isEmpty()) {
        outcome.error = u"The target company has no layout of this name and type"_s;
        return false;
    }
    if (copyMethod == AddNew && !existing.isEmpty()) {
        outcome.error = u"The target company has the layout already, as %1"_s.arg(existing);
        return false;
    }
    // Written twice, the target's layout would keep only the second base
    // layout of its name and type, in silence.
    if (const auto first = written.constFind(existing);
        !existing.isEmpty() && first != written.cend()) {
        outcome.error = u"The target company takes this layout for the base layout %1 written "
                        u"before it (their names and types are the same)"_s.arg(first.value());
        return false;
    }
    const QString xml = record.toXml();
    QString code = existing;
    if (existing.isEmpty()) {
        outcome.operation = AddNew;
        code = service.Invoke(u"AddLayout"_s, {xml}).toString();
    } else {
        outcome.operation = UpdateExisting;
        outcome.targetFormerDescription = name;
        service.Invoke(u"UpdateLayout"_s, {existing, xml});
    }
    written.insert(code, outcome.baseCode);
    outcome.targetCode = code;
    outcome.targetDescription = name;
    outcome.succeeded = true;
    return true;
}

HRESULT MRV_PrintLayoutsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_PrintLayoutsManager::writeToTarget");
    const int method = effectiveMethod(copyMethod);
    if (method == RemovalPhase)
        return S_OK; // see the class: layouts stay, and types are companions
    BOMTableList types;
    QList<MRV_BOMDocument> layouts;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name == Types)
            types << entry;
        else if (entry.name == Layouts)
            layouts += entry.documents;
    }
    int failed = 0;
    if (!types.isEmpty()) {
        // Whatever the method: a layout needs its type in the target.
        if (MRV_DIInterface::writeToTarget(types, AddAndUpdate) == E_FAIL)
            return E_FAIL;
        failed = failedRecords();
    }
    if (layouts.isEmpty())
        return failed > 0 ? S_FALSE : S_OK;
    try {
        MRV_CompanySql target(targetCompany());
        MRV_DIReferences references(target);
        const std::unique_ptr<LLObjectsCOM::HostObject> service = layoutService(target.company());
        QHash<QString, QString> written; // target code -> base code
        for (const MRV_BOMDocument& document : layouts) {
            Outcome outcome;
            outcome.operation = method == UpdateExisting ? UpdateExisting : AddNew;
            const bool ok = logged(outcome, [&] {
                writeLayout(target, references, *service, document, method, written, outcome);
            });
            failed += ok ? 0 : 1;
        }
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    log.LogDbg1(u"%s: %d layout(s), %d record(s) failed", getCategoryString(), int(layouts.size()),
                failed);
    return failed > 0 ? S_FALSE : S_OK;
}
