#pragma once

#include "di/MRV_DIInterface.h"

namespace LLObjectsCOM {
class HostObject;
}
class MRV_CompanySql;

// Authorizations: the system permissions of each user that is not a
// superuser (a superuser may do everything, whatever its permissions say).
// A record is one user, known by its user code, with one element "A" + id
// per system permission, read and set one at a time through the host's
// bridge (object 305):
//   <BOM><Authorizations><USER_CODE>…</USER_CODE><U_NAME>…</U_NAME>
//     <A142>F</A142>…</Authorizations></BOM>
// The target's user of the same code takes them, all or none; the users
// come with Users. Permissions are only ever set: the removal phase of
// "Replace All" leaves the target's alone, and every copy method sets
// them.
class MRV_AuthorizationsManager : public MRV_DIInterface {
public:
    MRV_AuthorizationsManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The system permissions a record carries, in record order (74 stands
    // twice).
    static const QList<int>& permissionIds();

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    // Sets one record's permissions on the target's user; false with the
    // outcome's error set.
    bool writeUser(MRV_CompanySql& target, LLObjectsCOM::HostObject& bridge,
                   const MRV_BOMDocument& document, Outcome& outcome);
};
