#include "tsframework/CTSAddOn.h"

#include "host/objects/LLComError.h"
#include "host/ui/LLRemoteApplication.h"
#include "tsframework/CTSIDispatch.h"

#include <QCoreApplication>

CTSAddOn::CTSAddOn(QString connectionString, QString prefix, QString module)
    : m_connectionString(std::move(connectionString)), m_prefix(std::move(prefix)),
      m_module(std::move(module)) {}

CTSAddOn::~CTSAddOn() = default;

HRESULT CTSAddOn::Connect(int) {
    if (m_application && m_application->joined())
        return S_OK;
    if (!m_dispatch) {
        m_dispatch = CreateEventSink();
        if (!m_dispatch)
            throw ComError(E_POINTER, QStringLiteral("The add-on has no event sink"));
        m_forward = std::make_unique<CTSEventForward>(*m_dispatch);
    }
    auto application = std::make_unique<LLUiCOM::RemoteApplication>(*m_forward);
    QString why;
    if (!application->join(m_connectionString, &why))
        throw ComError(E_FAIL, why);
    QObject::connect(application.get(), &LLUiCOM::RemoteApplication::clientGone, application.get(),
                     [this] { OnClientGone(); });
    m_application = std::move(application);
    return S_OK;
}

void CTSAddOn::OnClientGone() {
    QCoreApplication::exit(ClientGoneExit);
}

LLUiCOM::Application* CTSAddOn::application() const {
    return m_application.get();
}
