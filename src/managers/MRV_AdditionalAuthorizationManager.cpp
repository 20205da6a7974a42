#include "managers/MRV_AdditionalAuthorizationManager.h"

using namespace Qt::StringLiterals;

MRV_AdditionalAuthorizationManager::MRV_AdditionalAuthorizationManager(
    MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsId"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"AbsId"_s, u"Name"_s, u"Levels"_s, u"IsItem"_s};
    m_listElements = {u"PermissionID"_s, u"Name"_s, u"Levels"_s, u"IsItem"_s};
    m_writeFields = {u"PermissionID"_s, u"Name"_s};
    m_columnFlags = {0, 1, 0, 0};
    declareTable({
        .name = u"OUPT"_s,
        .objectType = 214,
        .keyColumns = {u"AbsId"_s},
        .keyElements = {u"PermissionID"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"Name"_s,
        .readAll = {u"SELECT AbsId FROM OUPT ORDER BY Levels"_s},
        .parentColumn = u"Father"_s,
        .parentElement = u"ParentID"_s,
    });
}
