#include "managers/MRV_FinancialReportsTemplateManager.h"

#include "di/MRV_CompanySql.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Templates = u"OFRT"_s;
const QString ReportCategories = u"OFRC"_s;
const QString Lines = u"FRC1"_s;
// The host's numbering of templates.
constexpr int TemplateObjectCode = 95;

MRV_Reference reportTemplate() {
    return MRV_Reference::byName(u"TemplateId"_s, Templates, u"AbsId"_s, {u"Name"_s});
}

// A category's name is only unique within its template; the template is
// resolved first, so the target's template limits the look-up there too.
MRV_Reference reportCategory(QString field) {
    return MRV_Reference::byName(std::move(field), ReportCategories, u"CatId"_s, {u"Name"_s})
        .within({{u"TemplateId"_s, u"TemplateId"_s}});
}

} // namespace

MRV_FinancialReportsTemplateManager::MRV_FinancialReportsTemplateManager(
    MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsId"_s};
    m_listColumns = {u"AbsId"_s, u"Name"_s};
    m_columnFlags = {0, 1};
    declareTable({
        .name = Templates,
        .keyColumns = {u"AbsId"_s},
        .descriptionColumn = u"Name"_s,
        .generatedKeyName = u"Name"_s,
        .autoKeyObject = TemplateObjectCode,
        .usedBy = {{ReportCategories, u"TemplateId"_s}, {Lines, u"TemplateId"_s}},
    });
    declareTable({
        .name = ReportCategories,
        .keyColumns = {u"CatId"_s},
        .descriptionColumn = u"Name"_s,
        .references = {reportTemplate(), reportCategory(u"FatherNum"_s)},
        .generatedKeyName = u"Name"_s,
        .generatedKeyAlso = {{u"TemplateId"_s, u"TemplateId"_s}},
        .parentColumn = u"FatherNum"_s,
        .usedBy = {{Lines, u"CatId"_s}},
    });
    declareTable({
        .name = Lines,
        .keyColumns = {u"TemplateId"_s, u"CatId"_s, u"AcctCode"_s},
        .descriptionColumn = u"AcctCode"_s,
        .references = {reportTemplate(), reportCategory(u"CatId"_s),
                       MRV_Reference::account(u"AcctCode"_s)},
    });
}

void MRV_FinancialReportsTemplateManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    m_whole = keys.isEmpty();
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
}

std::optional<MRV_KeyList>
MRV_FinancialReportsTemplateManager::relatedRecords(const MRV_TableDeclaration& table,
                                                    const BOMTableList& read) {
    if (m_whole)
        return std::nullopt;
    QStringList templates;
    for (const MRV_BOMTable& entry : read) {
        if (entry.name != Templates)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            if (const MRV_BOMRecord::Group* group =
                    record.parse(document.xml) ? record.group(Templates) : nullptr)
                for (const MRV_BOMRecord::Row& row : group->rows)
                    templates << row.value(u"AbsId"_s);
        }
    }
    if (templates.isEmpty())
        return MRV_KeyList();
    // The keys of the rows of those templates.
    MRV_CompanySql base(baseCompany());
    MRV_SQLBuilder select = base.builder(table.name);
    for (const QString& key : table.keyColumns)
        select.addSelectColumn(key);
    for (const QString& id : templates)
        select.addCondition(u"TemplateId"_s, id, MRV_SQLBuilder::Number);
    if (!select.isValid())
        return MRV_KeyList();
    MRV_KeyList keys;
    for (const QVariantList& row : base.query(select.buildSelect()).values)
        keys << row;
    return keys;
}

HRESULT MRV_FinancialReportsTemplateManager::writeToTarget(const BOMTableList& tables,
                                                           int copyMethod) {
    if (copyMethod != RemovalPhase)
        return MRV_DIInterface::writeToTarget(tables, copyMethod);
    // The category's rows go, lines before their categories, categories
    // before their templates, whatever of them the base has: a row still
    // named stays.
    const bool ours = std::any_of(tables.cbegin(), tables.cend(), [](const MRV_BOMTable& entry) {
        return entry.name == Templates || entry.name == ReportCategories || entry.name == Lines;
    });
    if (!ours)
        return S_OK;
    return MRV_DIInterface::writeToTarget({{Lines, {}}, {ReportCategories, {}}, {Templates, {}}},
                                          copyMethod);
}
