#pragma once

#include "host/ui/LLUiApplication.h"
#include "host/ui/LLUiWire.h"

#include <QJsonObject>
#include <QList>
#include <QLocalSocket>
#include <QObject>

namespace LLUiCOM {

// The UI API in an add-on's process, over the connection to the client: a
// call is sent and its answer awaited; the client's events go to the
// add-on's sink as they come, one at a time. Once the client is gone,
// every call fails with the status of a client that is no longer there,
// and clientGone is emitted.
class RemoteApplication : public QObject, public Application {
    Q_OBJECT
public:
    explicit RemoteApplication(EventSink& sink, QObject* parent = nullptr);
    ~RemoteApplication() override;

    // Joins the client that the connection string names; false, with why,
    // when it cannot or does not admit the add-on.
    bool join(const QString& connectionString, QString* error = nullptr);
    bool joined() const { return m_joined; }
    // How long a call waits for the client's answer.
    int answerTimeoutMs = 30000;

    std::shared_ptr<LLObjectsCOM::Company> company() override;
    LlLanguages language() override;
    int messageBox(const QString& text, int defaultButton, const QString& caption1,
                   const QString& caption2 = {}, const QString& caption3 = {}) override;
    void freezeForm(int formType, int instance, bool freeze) override;
    void loadBatchActions(const QString& xml) override;
    QString lastBatchResults() override;
    MenuItem menuItem(const QString& uniqueId) override;
    void setMenuEnabled(const QString& uniqueId, bool enabled) override;
    void setStatusBarMessage(const QString& text, bool error) override;

signals:
    void clientGone();

private:
    QJsonValue call(const QString& name, const QJsonObject& args = {});
    // The next whole message; nullopt when the client went or sent
    // something else (then gone).
    std::optional<QJsonObject> receive();
    void readable();
    void handleEvents();
    void handleEvent(const QJsonObject& event);
    // A company connected by a login context the client handed over.
    std::shared_ptr<LLObjectsCOM::Company> companyOf(const QJsonObject& value);
    void lose(const QString& why);

    EventSink& m_sink;
    QLocalSocket m_socket;
    wire::LineReader m_reader;
    bool m_joined = false;
    bool m_gone = false;
    int m_busy = 0; // a call or an event is being handled
    int m_nextCall = 0;
    QList<QJsonObject> m_events; // arrived while busy
};

} // namespace LLUiCOM
