#pragma once

#include "managers/MRV_UserServiceManager.h"

class MRV_CompanySql;

// User Display Settings: each user's column preferences per form (CPRF),
// one record per user and form, read and written through the host's
// form-preferences service as the host's XML with the user's code added.
// The records are the forms users have preferences for; a user is the
// target's user of the same code, and a code the target lacks fails its
// record ("Invalid User"). The removal phase of "Replace All" takes the
// preferences of the target's users away.
class MRV_UserDisplaySettingsManager : public MRV_UserServiceManager {
public:
    MRV_UserDisplaySettingsManager(MRV_ConnectionContext* context, const QString& categoryId);

    int initialize() override;
    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;

private:
    // The forms of users with preferences: form, user code, internal key
    // and name.
    static QList<QVariantList> preferences(MRV_CompanySql& company);
    void removeAll(MRV_CompanySql& target, LLObjectsCOM::HostObject& service) override;
    void write(MRV_CompanySql& target, LLObjectsCOM::HostObject& service,
               const MRV_BOMDocument& document, int copyMethod) override;
};
