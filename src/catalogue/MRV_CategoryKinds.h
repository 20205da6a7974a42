#pragma once

#include <QtGlobal>

// The kinds of category that the tree, the copy run and the managers treat
// apart, told by the string id of the category's node.
namespace MRV_CategoryKinds {

// User-defined fields, tables, their content, formatted searches and
// user-defined objects: copied only between two MS-SQL databases.
bool isUserDefinedElement(quint32 stringId);
bool isQuery(quint32 stringId);
bool isPrintLayout(quint32 stringId);

} // namespace MRV_CategoryKinds
