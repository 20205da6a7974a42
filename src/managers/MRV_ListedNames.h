#pragma once

#include "di/MRV_BOMTableList.h"

#include <QHash>
#include <QString>

class MRV_CompanySql;
class MRV_DIDataSet;

// A details-list column that holds keys of records of another table (a
// query's category, a search's query) shows those records by the names
// they travel by: from the base company, or from the dependency records of
// a configuration file's documents.
namespace MRV_ListedNames {

// nameColumn by keyColumn, for every row of table in the company.
QHash<QString, QString> inCompany(MRV_CompanySql& sql, const QString& table,
                                  const QString& keyColumn, const QString& nameColumn);
// The identifying values ("/" between them) that the dependency records of
// field give, by the field's value, in the rows of the entries of table.
QHash<QString, QString> inDocuments(const BOMTableList& tables, const QString& table,
                                    const QString& field);
// The values of the data set's column replaced by their names; a value
// without a name stays as it is.
void show(MRV_DIDataSet& set, const QString& column, const QHash<QString, QString>& names);

} // namespace MRV_ListedNames
