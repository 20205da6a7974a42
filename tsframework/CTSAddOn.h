#pragma once

#include "host/objects/LLHResult.h"

#include <QString>

#include <memory>

class CTSEventForward;
class CTSIDispatch;
class CTSResourceLoader;
namespace LLUiCOM {
class Application;
class RemoteApplication;
} // namespace LLUiCOM

// An add-on of the client: started by the client with a connection string
// on its command line, it joins the client with Connect and from then on
// hears the client's events through the event sink it creates, and reaches
// the client's UI API through application().
class CTSAddOn {
public:
    // The exit status of an add-on whose client went away.
    static constexpr int ClientGoneExit = 3;

    // prefix: the add-on's prefix for its tables and menu entries ("MRV").
    CTSAddOn(QString connectionString, QString prefix, QString module = QString());
    virtual ~CTSAddOn();
    CTSAddOn(const CTSAddOn&) = delete;
    CTSAddOn& operator=(const CTSAddOn&) = delete;

    // Joins the client: 0 when joined. Throws ComError, with the status and
    // why, when the connection string is none or the client cannot be
    // reached or does not admit the add-on.
    HRESULT Connect(int flags);
    // The add-on's main window, for the client to bring it forward.
    void SetWndHandle(quintptr window) { m_window = window; }
    quintptr wndHandle() const { return m_window; }

    // The client's UI API; null before Connect.
    LLUiCOM::Application* application() const;
    const QString& prefix() const { return m_prefix; }
    const QString& module() const { return m_module; }

protected:
    // The receiver of the client's events, made once by Connect.
    virtual std::unique_ptr<CTSIDispatch> CreateEventSink() = 0;
    virtual const CTSResourceLoader& GetResourceLoader() const = 0;
    // The client went away: an add-on has no reason to stay. The base ends
    // the event loop with ClientGoneExit.
    virtual void OnClientGone();

private:
    QString m_connectionString;
    QString m_prefix;
    QString m_module;
    quintptr m_window = 0;
    std::unique_ptr<CTSIDispatch> m_dispatch;
    std::unique_ptr<CTSEventForward> m_forward;
    std::unique_ptr<LLUiCOM::RemoteApplication> m_application;
};
