#pragma once

#include "di/MRV_DIInterface.h"

// User-Defined Fields: business object 152 in CUFD, with its valid values
// (UFD1). Adding one makes the column U_<name> on its table in the target.
// Fields of tables whose id begins with "A" (the host's history tables),
// the system's own fields and those of excluded user tables never travel.
//
// A field's number is the host's within its table and differs between
// companies: a field is the target's field of the same table and name.
class MRV_UserDefinedFieldsManager : public MRV_DIInterface {
public:
    MRV_UserDefinedFieldsManager(MRV_ConnectionContext* context, const QString& categoryId);

    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    // The documents with each field's number as the target has it, and
    // flag 1 where the target has the field; a field the target lacks gets
    // a number its table does not use, so that it is added.
    QList<MRV_BOMDocument> numberedForTarget(const QList<MRV_BOMDocument>& documents);
};
