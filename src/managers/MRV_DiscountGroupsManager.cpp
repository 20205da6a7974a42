#include "managers/MRV_DiscountGroupsManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString ObjectType = u"ObjType"_s;

// The record of the object type the discount is given on, by its name.
MRV_Reference objectKey(const QString& objectType, const QString& table, const QString& key,
                        const QString& name) {
    return {.field = u"ObjKey"_s,
            .table = table,
            .keyColumn = key,
            .identifyingColumns = {name},
            .when = {{ObjectType, objectType}}};
}

} // namespace

QString MRV_DiscountGroupsManager::kindText(const QString& objectType) {
    if (objectType == u"2")
        return u"Item Properties"_s;
    if (objectType == u"52")
        return u"Item Groups"_s;
    if (objectType == u"43")
        return u"Manufactures"_s;
    return objectType;
}

MRV_DiscountGroupsManager::MRV_DiscountGroupsManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CardCode"_s, ObjectType, u"ObjKey"_s};
    m_descriptionElements = {u"Discount"_s};
    m_listColumns = {u"CardCode"_s, ObjectType, u"ObjKey"_s, u"Discount"_s};
    m_listElements = m_listColumns;
    m_columnFlags = {0, 0, 0, 1};
    declareTable({
        .name = u"OSPG"_s,
        .keyColumns = {u"CardCode"_s, ObjectType, u"ObjKey"_s},
        .descriptionColumn = u"Discount"_s,
        .references =
            {
                // A hierarchy's list first: its card code is no partner's.
                {.field = u"CardCode"_s,
                 .table = u"OPLN"_s,
                 .keyColumn = u"ListNum"_s,
                 .identifyingColumns = {u"ListName"_s},
                 .prefix = u"*"_s},
                MRV_Reference::byCode(u"CardCode"_s, u"OCRD"_s, u"CardCode"_s),
                objectKey(u"2"_s, u"OITG"_s, u"ItmsTypCod"_s, u"ItmsGrpNam"_s),
                objectKey(u"52"_s, u"OITB"_s, u"ItmsGrpCod"_s, u"ItmsGrpNam"_s),
                objectKey(u"43"_s, u"OMRC"_s, u"FirmCode"_s, u"FirmName"_s),
            },
    });
}

MRV_DIDataSet* MRV_DiscountGroupsManager::withKindTexts(MRV_DIDataSet* listed) {
    listed->showColumn(m_listColumns.indexOf(ObjectType), kindText);
    return listed;
}

MRV_DIDataSet* MRV_DiscountGroupsManager::listFromConfiguration(const BOMTableList& tables) {
    return withKindTexts(MRV_DIInterface::listFromConfiguration(tables));
}

MRV_DIDataSet* MRV_DiscountGroupsManager::listFromDatabase() {
    return withKindTexts(MRV_DIInterface::listFromDatabase());
}
