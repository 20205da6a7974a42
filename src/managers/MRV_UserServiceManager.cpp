#include "managers/MRV_UserServiceManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLCompanyService.h"
#include "managers/MRV_UserSettings.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

MRV_UserServiceManager::MRV_UserServiceManager(MRV_ConnectionContext* context,
                                               const QString& categoryId, int serviceType,
                                               QString table)
    : MRV_DIInterface(context, categoryId), m_serviceType(serviceType), m_table(std::move(table)) {}

std::unique_ptr<LLObjectsCOM::HostObject>
MRV_UserServiceManager::service(MRV_CompanySql& company) const {
    return company.company().GetCompanyService()->GetBusinessService(m_serviceType);
}

void MRV_UserServiceManager::writeForUser(
    MRV_CompanySql& target, const QString& code, int copyMethod, Outcome& outcome,
    const std::function<bool(const MRV_UserSettings::User&)>& exists,
    const std::function<void(const MRV_UserSettings::User&)>& apply) {
    logged(outcome, [&] {
        const std::optional<MRV_UserSettings::User> user = MRV_UserSettings::findUser(target, code);
        if (!user) {
            outcome.error =
                u"Invalid User: the target company has no user with the code %1"_s.arg(code);
        } else {
            outcome.targetCode = outcome.baseCode;
            outcome.targetDescription = user->name;
            if (MRV_UserSettings::admit(copyMethod, exists(*user), outcome)) {
                apply(*user);
                outcome.succeeded = true;
            }
        }
    });
}

HRESULT MRV_UserServiceManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_UserServiceManager::writeToTarget");
    const int method = effectiveMethod(copyMethod);
    const std::optional<QList<MRV_BOMDocument>> documents =
        MRV_UserSettings::documentsOf(tables, m_table);
    if (!documents)
        return S_OK;
    const int before = failedRecords();
    try {
        MRV_CompanySql target(targetCompany());
        const std::unique_ptr<LLObjectsCOM::HostObject> host = service(target);
        if (method == RemovalPhase)
            removeAll(target, *host);
        else
            for (const MRV_BOMDocument& document : *documents)
                write(target, *host, document, method);
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return failedRecords() > before ? S_FALSE : S_OK;
}
