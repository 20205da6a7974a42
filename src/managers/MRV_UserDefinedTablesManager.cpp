#include "managers/MRV_UserDefinedTablesManager.h"

#include "managers/MRV_UserDefinedElements.h"

using namespace Qt::StringLiterals;

namespace {

// The table type's texts: "No Object" (38) to "Document Lines" (42).
constexpr int FirstTypeText = 38;
constexpr int LastType = 4;
constexpr qsizetype TypeColumn = 2;

} // namespace

MRV_UserDefinedTablesManager::MRV_UserDefinedTablesManager(MRV_ConnectionContext* context,
                                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TableName"_s};
    m_descriptionElements = {u"TableDescription"_s};
    m_listColumns = {u"TableName"_s, u"Descr"_s, u"ObjectType"_s};
    m_listElements = {u"TableName"_s, u"TableDescription"_s, u"TableType"_s};
    m_writeFields = {u"TableName"_s, u"TableDescription"_s};
    m_columnFlags = {0, 1, 0};
    declareTable({
        .name = u"OUTB"_s,
        .objectType = 153,
        .keyColumns = {u"TableName"_s},
        .keyElements = {u"TableName"_s},
        .descriptionColumn = u"Descr"_s,
        .descriptionElement = u"TableDescription"_s,
        // Read, listed and removed alike.
        .filter = MRV_UserDefinedElements::exclusionCondition(u"TableName"_s, QString()),
    });
}

MRV_DIDataSet* MRV_UserDefinedTablesManager::listFromConfiguration(const BOMTableList& tables) {
    return MRV_UserDefinedElements::withCodeTexts(MRV_DIInterface::listFromConfiguration(tables),
                                                  TypeColumn, FirstTypeText, LastType);
}

MRV_DIDataSet* MRV_UserDefinedTablesManager::listFromDatabase() {
    return MRV_UserDefinedElements::withCodeTexts(MRV_DIInterface::listFromDatabase(), TypeColumn,
                                                  FirstTypeText, LastType);
}
