#include "managers/MRV_QueryManager.h"

#include "di/MRV_CompanySql.h"
#include "managers/MRV_ListedNames.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString Queries = u"OUQR"_s;
const QString Categories = u"OQCN"_s;
const QString CategoryColumn = u"QCategory"_s;
const QString CategoryElement = u"QueryCategory"_s;
// The category of the system's own queries.
const QString SystemCategory = u"-2"_s;

} // namespace

MRV_QueryManager::MRV_QueryManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"IntrnalKey"_s, CategoryColumn};
    m_descriptionElements = {u"QueryDescription"_s};
    m_listColumns = {u"QName"_s, u"QString"_s, CategoryColumn};
    m_listElements = {u"QueryDescription"_s, u"Query"_s, CategoryElement};
    m_writeFields = {u"InternalKey"_s, u"QueryDescription"_s};
    m_columnFlags = {0, 0, 0};
    declareTable({
        .name = Queries,
        .objectType = 160,
        .keyColumns = {u"IntrnalKey"_s, CategoryColumn},
        .keyElements = {u"InternalKey"_s, CategoryElement},
        .descriptionColumn = u"QName"_s,
        .descriptionElement = u"QueryDescription"_s,
        .filter = {u"QCategory <> -2"_s},
        // -1 is no category.
        .references = {MRV_Reference::byName(CategoryElement, Categories, u"CategoryId"_s,
                                             {u"CatName"_s})
                           .keeping({u"-1"_s})},
        // Numbers are handed out per company: a query is the one of its
        // name in its category (the target's, once the reference is
        // resolved), a new one the next number of the whole table, which
        // is what formatted searches and alerts name.
        .generatedKeyName = u"QName"_s,
        .generatedKeyAlso = {{CategoryColumn, CategoryElement}},
    });
    declareTable({
        .name = Categories,
        .objectType = 134,
        .keyColumns = {u"CategoryId"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"CatName"_s,
        .descriptionElement = u"Name"_s,
        .filter = {u"CategoryId <> -2"_s},
        .generatedKeyName = u"CatName"_s,
        .companion = true,
    });
}

void MRV_QueryManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    // A selection (from a worksheet of any origin) never brings a system
    // query; one that names only such queries brings nothing.
    if (!keys.isEmpty()) {
        keys.removeIf([](const QVariantList& key) {
            return MRV_CompanySql::text(key.value(1)).trimmed() == SystemCategory;
        });
        if (keys.isEmpty()) {
            tables.clear();
            return;
        }
    }
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
}

MRV_DIDataSet* MRV_QueryManager::listFromConfiguration(const BOMTableList& tables) {
    MRV_DIDataSet* set = MRV_DIInterface::listFromConfiguration(tables);
    MRV_ListedNames::show(*set, CategoryColumn,
                          MRV_ListedNames::inDocuments(tables, Queries, CategoryElement));
    return set;
}

MRV_DIDataSet* MRV_QueryManager::listFromDatabase() {
    MRV_DIDataSet* set = MRV_DIInterface::listFromDatabase();
    MRV_CompanySql base(baseCompany());
    MRV_ListedNames::show(
        *set, CategoryColumn,
        MRV_ListedNames::inCompany(base, Categories, u"CategoryId"_s, u"CatName"_s));
    return set;
}

HRESULT MRV_QueryManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_QueryManager::writeToTarget");
    const int method = effectiveMethod(copyMethod);
    // The categories are companions: the removal phase passes them over.
    if (method == RemovalPhase)
        return MRV_DIInterface::writeToTarget(tables, method);
    BOMTableList categories, queries;
    for (const MRV_BOMTable& entry : tables)
        (entry.name == Categories ? categories : queries) << entry;
    int failed = 0;
    if (!categories.isEmpty()) {
        // Whatever the method: a query needs its category in the target.
        if (MRV_DIInterface::writeToTarget(categories, AddAndUpdate) == E_FAIL)
            return E_FAIL;
        failed = failedRecords();
    }
    const HRESULT written = MRV_DIInterface::writeToTarget(queries, method);
    if (written == E_FAIL)
        return E_FAIL;
    failed += failedRecords();
    log.LogDbg1(u"%s: %d record(s) failed", getCategoryString(), failed);
    return failed > 0 ? S_FALSE : S_OK;
}
