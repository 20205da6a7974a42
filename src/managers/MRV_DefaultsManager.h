#pragma once

#include "di/MRV_DIInterface.h"

class MRV_CompanySql;

// Defaults: the user defaults groups (business object 93 in OUDG, known by
// their codes everywhere) and which group each user has. The records
// listed are the users that have a group. A user is the target's user of
// the same user code; users are never created here, and of a user only
// the group is written: nothing else of the user, least of all its
// password, is read into the copy or changed. A group's warehouse, cash
// and check accounts, price list, branch and sales employee travel by
// code, formatted code or name.
//
// A user's group counts as the record: it is added when the target's user
// has none, updated when it has one. The removal phase of "Replace All"
// takes the target users' groups away and then removes the groups.
class MRV_DefaultsManager : public MRV_DIInterface {
public:
    MRV_DefaultsManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    // The groups of the users read, when only some were selected.
    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    // Sets (group given) or clears a target user's group.
    void setGroup(MRV_CompanySql& target, const QString& user, const QString& group);
    int removeAssignments(MRV_CompanySql& target);
    int writeUsers(MRV_CompanySql& target, const QList<MRV_BOMDocument>& documents, int copyMethod);

    bool m_whole = true;
};
