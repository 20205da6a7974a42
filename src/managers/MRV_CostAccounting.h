#pragma once

#include "di/MRV_DIInterface.h"

#include <utility>

// Profit centres (OPRC) and distribution rules (OOCR, with their lines in
// OCR1) that travel with the records naming them: bills of materials and
// journal entries. They are known by their codes in every company, are
// read only as far as the records read name them, written before those
// records, and never removed (other records of the target name them too).
namespace MRV_CostAccounting {

// (group, field) of the record documents that name a profit centre or a
// distribution rule; an empty group is the main table's.
using Fields = QList<std::pair<QString, QString>>;

// The declarations of the three tables, in the order to declare them
// after the category's own tables.
QList<MRV_TableDeclaration> tables();
// References of fields naming a profit centre or a distribution rule.
MRV_Reference profitCentre(QString field, QString group = QString());
MRV_Reference distributionRule(QString field, QString group = QString());

// The keys of the rows of table (one of the three) that the documents of
// mainTable read so far name through profitCentres and rules: nullopt
// for another table.
std::optional<MRV_KeyList> related(const MRV_TableDeclaration& table, const QString& mainTable,
                                   const BOMTableList& read, const Fields& profitCentres,
                                   const Fields& rules);

// The entries of the three tables, in writing order (centres before the
// rules that spread over them), and the others.
std::pair<BOMTableList, BOMTableList> split(const BOMTableList& tables);

} // namespace MRV_CostAccounting
