#pragma once

#include "di/MRV_TableDeclaration.h"

#include <QString>
#include <QStringList>

class MRV_DIDataSet;

// What the user-defined tables, fields and table-content categories share:
// the user tables that are never copied, and the texts of coded values.
namespace MRV_UserDefinedElements {

// User tables (named without "@") that belong to this program, its
// framework or further add-ons and never travel: exact names, and name
// prefixes. More add-ons' tables are added here and nowhere else.
const QStringList& excludedNames();
const QStringList& excludedPrefixes();
// A table named with or without its "@" is one of them (compared as the
// host compares table names, without regard to case).
bool isExcluded(const QString& table);

// The condition, in both dialects, that leaves the excluded tables out of
// a statement over column: names written with namePrefix in front ("@" for
// CUFD, which names user tables with it; "" for OUTB).
MRV_Sql exclusionCondition(const QString& column, const QString& namePrefix);

// Replaces the value of the data set's column at index column (a coded
// number) by the text of string id value + firstId, in the user's
// language; a value that is no number of 0..last stays as it is.
MRV_DIDataSet* withCodeTexts(MRV_DIDataSet* listed, qsizetype column, int firstId, int last);

} // namespace MRV_UserDefinedElements
