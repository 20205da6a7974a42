#include "di/MRV_Util.h"

#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

namespace MRV_Util {

namespace {

bool isLocalServer(const QString& server) {
    return server == u"." || server.compare(u"(local)", Qt::CaseInsensitive) == 0 ||
           server.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

} // namespace

HRESULT Disconnect(LLObjectsCOM::Company& company) {
    CLogBase log(u"MRV", u"MRV_Util::Disconnect");
    MRV_Interaction& ui = MRV_Interaction::current();
    try {
        company.Disconnect();
        if (!company.Connected())
            return S_OK;
        CTSBSTR message(ui.language());
        message.LoadStringW(10030);
        log.LogError(u"Failed to disconnect from Orvant Ledgerline Company");
        int code = 0;
        QString text;
        company.GetLastError(code, text);
        if (code != 0)
            log.LogError(u"Error code =  %d: %s", code, text);
        ui.error(CTSBSTR().Format(u"%s\r\n'%s'", message.str(), text));
        return E_FAIL;
    } catch (...) {
        log.LogError(u"Unknown Exception during Disconnect.");
        CTSBSTR message(ui.language());
        message.LoadStringW(10029);
        ui.error(message, false);
        return E_FAIL;
    }
}

bool SameCompany(const LLObjectsCOM::Company* a, const LLObjectsCOM::Company* b) {
    if (!a || !b)
        return !a && !b;
    if (a == b)
        return true;
    try {
        const int typeA = a->Connected() ? a->ServerType() : a->DbServerType;
        const int typeB = b->Connected() ? b->ServerType() : b->DbServerType;
        if (typeA != typeB)
            return false;
        const bool sameServer = (isLocalServer(a->Server) && isLocalServer(b->Server)) ||
                                a->Server.compare(b->Server, Qt::CaseInsensitive) == 0;
        if (!sameServer)
            return false;
        const bool exact = typeA == 2 || typeA == 3 || typeA == 5;
        return a->CompanyDB.compare(b->CompanyDB,
                                    exact ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
    } catch (...) {
        return false;
    }
}

} // namespace MRV_Util
