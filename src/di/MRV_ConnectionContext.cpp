#include "di/MRV_ConnectionContext.h"

#include "di/MRV_Util.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CLogBase.h"

#include <new>

HRESULT MRV_ConnectionContext::CreateCompanyInstance(CompanyPtr& company) {
    try {
        company = std::make_shared<LLObjectsCOM::Company>();
        return S_OK;
    } catch (const std::bad_alloc&) {
        CLogBase(u"MRV", u"MRV_ConnectionContext::CreateCompanyInstance")
            .LogError(u"Failed to create instance of company");
        return E_FAIL;
    }
}

void MRV_ConnectionContext::reset() {
    // A company is closed only when nothing else of the context uses it;
    // both are judged before either goes.
    const auto closes = [this](const CompanyPtr& mine, const CompanyPtr& other) {
        return mine && mine->Connected() && !MRV_Util::SameCompany(mine.get(), company.get()) &&
               !MRV_Util::SameCompany(mine.get(), other.get());
    };
    const bool closeBase = closes(baseCompany, targetCompany);
    const bool closeTarget = closes(targetCompany, baseCompany);
    if (closeBase)
        MRV_Util::Disconnect(*baseCompany);
    if (closeTarget)
        MRV_Util::Disconnect(*targetCompany);
    baseCompany.reset();
    targetCompany.reset();
    baseCompanyName.clear();
    baseFilePath.clear();
    targetCompanyName.clear();
    targetFilePath.clear();
    databaseName.clear();
    worksheetPath.clear();
    logFilePath.clear();
    copyMethod = -1;
    responseToFailure = -1;
    ignoreMissingUdf = false;
    copyLog = nullptr;
}
