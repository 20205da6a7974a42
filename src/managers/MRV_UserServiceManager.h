#pragma once

#include "di/MRV_DIInterface.h"

#include <functional>
#include <memory>

namespace MRV_UserSettings {
struct User;
}

// A category whose records reach the host through one of its services for
// a user (a user's menu, a user's column preferences): each record is
// written for the target's user of the record's user code, a code the
// target lacks fails the record ("Invalid User"), and users are never
// created here.
class MRV_UserServiceManager : public MRV_DIInterface {
public:
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

protected:
    // serviceType: the business service of the company's service object;
    // table: the entry that holds the records.
    MRV_UserServiceManager(MRV_ConnectionContext* context, const QString& categoryId,
                           int serviceType, QString table);

    std::unique_ptr<LLObjectsCOM::HostObject> service(MRV_CompanySql& company) const;
    // Writes one record (outcome's base code set) for the target's user of
    // code with copyMethod and logs its line: exists tells whether that
    // user has the record already, apply writes it.
    void writeForUser(MRV_CompanySql& target, const QString& code, int copyMethod, Outcome& outcome,
                      const std::function<bool(const MRV_UserSettings::User&)>& exists,
                      const std::function<void(const MRV_UserSettings::User&)>& apply);

    // The removal phase of "Replace All": what the target's users have.
    virtual void removeAll(MRV_CompanySql& target, LLObjectsCOM::HostObject& service) = 0;
    virtual void write(MRV_CompanySql& target, LLObjectsCOM::HostObject& service,
                       const MRV_BOMDocument& document, int copyMethod) = 0;

private:
    int m_serviceType;
    QString m_table;
};
