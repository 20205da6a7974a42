#include "managers/MRV_FormattedSearchManager.h"

#include "di/MRV_CompanySql.h"
#include "managers/MRV_ListedNames.h"

using namespace Qt::StringLiterals;

namespace {

const QString Searches = u"CSHS"_s;
const QString QueryField = u"QueryID"_s;

} // namespace

MRV_FormattedSearchManager::MRV_FormattedSearchManager(MRV_ConnectionContext* context,
                                                       const QString& categoryId, bool userFields)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"IndexID"_s};
    m_descriptionElements = {u"FormID"_s, u"ItemID"_s};
    m_listColumns = {u"FormID"_s, u"ItemID"_s, u"ColumnID"_s, QueryField};
    m_listElements = m_listColumns;
    m_writeFields = {u"Index"_s, u"ItemID"_s};
    m_columnFlags = {0, 0, 0, 0};
    // "!" escapes the "_", which LIKE would take for any one character.
    const QString userField = u"ItemID LIKE N'U!_%' ESCAPE N'!'"_s;
    declareTable({
        .name = Searches,
        .objectType = 219,
        .keyColumns = {u"IndexID"_s},
        .keyElements = {u"Index"_s},
        .descriptionColumn = u"ItemID"_s,
        .filter = {userFields ? userField : u"NOT ("_s + userField + u')'},
        .references = {MRV_Reference::byName(QueryField, u"OUQR"_s, u"IntrnalKey"_s, {u"QName"_s})},
        .generatedKeyName = u"FormID"_s,
        .generatedKeyAlso = {{u"ItemID"_s, u"ItemID"_s}, {u"ColumnID"_s, u"ColumnID"_s}},
    });
}

MRV_DIDataSet* MRV_FormattedSearchManager::listFromConfiguration(const BOMTableList& tables) {
    MRV_DIDataSet* set = MRV_DIInterface::listFromConfiguration(tables);
    MRV_ListedNames::show(*set, QueryField,
                          MRV_ListedNames::inDocuments(tables, Searches, QueryField));
    return set;
}

MRV_DIDataSet* MRV_FormattedSearchManager::listFromDatabase() {
    MRV_DIDataSet* set = MRV_DIInterface::listFromDatabase();
    MRV_CompanySql base(baseCompany());
    MRV_ListedNames::show(*set, QueryField,
                          MRV_ListedNames::inCompany(base, u"OUQR"_s, u"IntrnalKey"_s, u"QName"_s));
    return set;
}
