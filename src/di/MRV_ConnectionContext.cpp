#include "di/MRV_ConnectionContext.h"

#include "di/MRV_Util.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLUiApplication.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSAddOn.h"

#include <cstdlib>
#include <new>

void (*MRV_ConnectionContext::endProcess)(int status) = [](int status) { std::_Exit(status); };

LLUiCOM::Application& MRV_ConnectionContext::getApplication() {
    if (!application)
        throw ComError(E_FAIL, QStringLiteral("The program was not started by the client"));
    try {
        application->company();
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_ConnectionContext::getApplication")
            .LogError(u"%s", e.errorMessage());
        MRV_Interaction::current().fatal(
            QStringLiteral("Error"),
            QStringLiteral("Failed to connect UI API. Mirrova is terminating.\nError Code: "
                           "%1\nError Message: %2")
                .arg(e.code())
                .arg(e.description()));
        endProcess(CTSAddOn::ClientGoneExit);
        throw; // only where endProcess returns, as in tests
    }
    return *application;
}

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
    initialPasswords = nullptr;
}
