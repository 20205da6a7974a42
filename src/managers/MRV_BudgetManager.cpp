#include "managers/MRV_BudgetManager.h"

#include "di/MRV_CompanySql.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString Budgets = u"OBGT"_s;
const QString Scenarios = u"OBGS"_s;
const QString Rules = u"OBGD"_s;

MRV_Reference scenario(QString field) {
    return MRV_Reference::byName(std::move(field), Scenarios, u"AbsId"_s, {u"Name"_s});
}

} // namespace

MRV_BudgetManager::MRV_BudgetManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsId"_s};
    m_descriptionElements = {u"AccountCode"_s};
    m_listColumns = {u"AbsId"_s, u"AccountCode"_s, u"BudgetScenario"_s};
    m_listElements = {u"BudgetID"_s, u"AccountCode"_s, u"BudgetScenario"_s};
    m_writeFields = {u"BudgetID"_s, u"AccountCode"_s};
    m_columnFlags = {0, 0, 0};
    declareTable({
        .name = Budgets,
        .objectType = 77,
        .keyColumns = {u"AbsId"_s},
        .keyElements = {u"BudgetID"_s},
        .descriptionColumn = u"AccountCode"_s,
        .descriptionElement = u"AccountCode"_s,
        // A budget line's account is known by its formatted code, as every
        // account is: two accounts may share a name.
        .references = {MRV_Reference::account(u"AccountCode"_s), scenario(u"BudgetScenario"_s),
                       MRV_Reference::byName(u"DivisionCode"_s, Rules, u"BgdCode"_s,
                                             {u"BgdName"_s})},
        // Element and column names agree: the account and the scenario, as
        // the target has them, name the budget.
        .generatedKeyName = u"AccountCode"_s,
        .generatedKeyAlso = {{u"BudgetScenario"_s, u"BudgetScenario"_s}},
    });
    declareTable({
        .name = Scenarios,
        .objectType = 91,
        .keyColumns = {u"AbsId"_s},
        .keyElements = {u"ScenarioID"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"Name"_s,
        .references = {scenario(u"BasedOnScenario"_s)},
        .generatedKeyName = u"Name"_s,
        .parentColumn = u"BasedOn"_s,
        .parentElement = u"BasedOnScenario"_s,
    });
    declareTable({
        .name = Rules,
        .objectType = 78,
        .keyColumns = {u"BgdCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"BgdName"_s,
        .descriptionElement = u"Description"_s,
    });
}

void MRV_BudgetManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    m_whole = keys.isEmpty();
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
}

std::optional<MRV_KeyList> MRV_BudgetManager::relatedRecords(const MRV_TableDeclaration& table,
                                                             const BOMTableList& read) {
    if (m_whole || (table.name != Scenarios && table.name != Rules))
        return std::nullopt;
    const QString field = table.name == Scenarios ? u"BudgetScenario"_s : u"DivisionCode"_s;
    QStringList pending;
    for (const MRV_BOMTable& entry : read) {
        if (entry.name != Budgets)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(Budgets) : nullptr;
            if (group && !group->rows.isEmpty() && !group->rows.first().value(field).isEmpty())
                pending << group->rows.first().value(field);
        }
    }
    if (pending.isEmpty())
        return MRV_KeyList();
    QSet<QString> wanted;
    if (table.name == Rules) {
        wanted = QSet<QString>(pending.cbegin(), pending.cend());
    } else {
        // A scenario comes with the scenario it is based on, up the line.
        MRV_CompanySql base(baseCompany());
        QHash<QString, QString> basedOn;
        for (const QVariantList& row :
             base.query(base.statement({u"SELECT AbsId, BasedOn FROM OBGS"_s})).values)
            basedOn.insert(MRV_CompanySql::text(row.value(0)), MRV_CompanySql::text(row.value(1)));
        while (!pending.isEmpty()) {
            const QString id = pending.takeLast();
            if (id.isEmpty() || wanted.contains(id))
                continue;
            wanted.insert(id);
            pending << basedOn.value(id);
        }
    }
    QStringList ordered(wanted.cbegin(), wanted.cend());
    ordered.sort();
    MRV_KeyList keys;
    for (const QString& key : ordered)
        keys << QVariantList{key};
    return keys;
}

HRESULT MRV_BudgetManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    BOMTableList first, budgets;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name == Budgets)
            budgets << entry;
        else if (entry.name == Rules)
            first.prepend(entry); // rules, then scenarios: neither names the other
        else if (entry.name == Scenarios)
            first << entry;
    }
    HRESULT written = S_OK;
    if (copyMethod != RemovalPhase && !first.isEmpty())
        written = MRV_DIInterface::writeToTarget(first, AddAndUpdate);
    if (written == E_FAIL)
        return E_FAIL;
    const HRESULT lines =
        budgets.isEmpty() ? S_OK : MRV_DIInterface::writeToTarget(budgets, copyMethod);
    if (lines == E_FAIL)
        return E_FAIL;
    return written != S_OK || lines != S_OK ? S_FALSE : S_OK;
}
