#pragma once

#include "host/objects/LLHResult.h"

#include <QString>

#include <memory>

namespace LLObjectsCOM {
class Company;
}
namespace LLUiCOM {
class Application;
}
class MRV_CopyLog;
class MRV_InitialPasswords;

// What every part of the program needs to reach the companies: the
// logged-in user's company (lent by the host), the base and target
// companies the program opened itself, their descriptions, the open
// worksheet and log, and the copy settings in force. One per process.
class MRV_ConnectionContext {
public:
    using CompanyPtr = std::shared_ptr<LLObjectsCOM::Company>;

    MRV_ConnectionContext() = default;
    explicit MRV_ConnectionContext(CompanyPtr company) : company(std::move(company)) {}
    MRV_ConnectionContext(const MRV_ConnectionContext&) = delete;
    MRV_ConnectionContext& operator=(const MRV_ConnectionContext&) = delete;

    // A new, unconnected company object; E_FAIL (logged) when it cannot be
    // made.
    static HRESULT CreateCompanyInstance(CompanyPtr& company);

    // A worksheet closed: the base and target go (disconnected unless they
    // are the logged-in company or each other), the descriptions and paths
    // are emptied and the copy settings are unset again.
    void reset();

    // The host client's UI API, probed with a request for the company
    // first. When the client is gone, nothing the program does can reach
    // the host any more: the user is told and the process ends at once
    // (through endProcess). Throws ComError when the context has no
    // client.
    LLUiCOM::Application& getApplication();
    // Ends the process when the client is gone; tests replace it.
    static void (*endProcess)(int status);

    // The client that started the program; null in a run without one.
    LLUiCOM::Application* application = nullptr;
    CompanyPtr company;
    CompanyPtr baseCompany;
    CompanyPtr targetCompany;

    QString baseCompanyName;
    QString baseFilePath;
    QString targetCompanyName;
    QString targetFilePath;
    QString databaseName;
    QString worksheetPath;
    QString logFilePath;

    int copyMethod = -1;        // 1 Replace All ... 4 Add and Update; -1 not set
    int responseToFailure = -1; // 0 continue, 1 ask, 2 terminate; -1 not set
    bool ignoreMissingUdf = false;
    bool forceBackup = false;

    // The log of the copy run in progress, owned by whoever runs the copy;
    // null outside a run. Every record written, deleted or refused is
    // logged here.
    MRV_CopyLog* copyLog = nullptr;
    // The first passwords of the users the run adds, beside its log; owned
    // with the log, null outside a run (no user is added then).
    MRV_InitialPasswords* initialPasswords = nullptr;
};
