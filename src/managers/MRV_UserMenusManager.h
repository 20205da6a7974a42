#pragma once

#include "managers/MRV_UserServiceManager.h"

class MRV_CompanySql;

// User Menus: each user's own menu (CUMI), one record per user, read and
// written through the host's menu service as the host's XML with the
// user's code added. The records are the users that have a menu; a user
// is the target's user of the same code, and a code the target lacks
// fails its record ("Invalid User"). Users are never created here. The
// removal phase of "Replace All" empties the menus of the target's users.
class MRV_UserMenusManager : public MRV_UserServiceManager {
public:
    MRV_UserMenusManager(MRV_ConnectionContext* context, const QString& categoryId);

    int initialize() override;
    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;

private:
    // The users that have a menu: user code, internal key and name.
    static QList<QVariantList> usersWithMenus(MRV_CompanySql& company);
    void removeAll(MRV_CompanySql& target, LLObjectsCOM::HostObject& menus) override;
    void write(MRV_CompanySql& target, LLObjectsCOM::HostObject& menus,
               const MRV_BOMDocument& document, int copyMethod) override;
};
