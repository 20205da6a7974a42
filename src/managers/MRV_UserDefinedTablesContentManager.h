#pragma once

#include "di/MRV_DIInterface.h"

// User-Defined Tables Content: the rows of the user tables that belong to
// no user-defined object, each table one table entry named as the table
// ("@" and its name), its rows keyed by Code and written through the
// engine's table writer. The tables themselves come with User-Defined
// Tables; a table the target lacks fails per row.
//
// A record of the details list is one row of one table: its key is the
// table's name and the row's code.
class MRV_UserDefinedTablesContentManager : public MRV_DIInterface {
public:
    MRV_UserDefinedTablesContentManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

    // A user table's name as the database knows it ("@" and 1 to 19
    // letters, digits or "_") that may travel here.
    static bool isContentTable(const QString& table);

private:
    // The base's user tables of no object, as "@NAME", in name order.
    QStringList baseTables(MRV_CompanySql& base);
    // The declaration the engine reads and writes a user table's rows by.
    const MRV_TableDeclaration& declared(const QString& table);
    void addListRows(const QString& table, const QList<QVariantList>& values);
};
