#pragma once

#include "host/ui/LLUiWire.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <list>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace LLUiCOM {

class LocalApplication;

// The client's end of the add-ons' connections: a local socket only its
// user can open, where an add-on started with a connection string joins by
// the string's token, once. A joined add-on's calls are served from the
// client's application, and the client's events reach it like those of an
// add-on in the client's own process.
//
// An event waits for the add-on's answer, serving its calls meanwhile; an
// event raised while the add-on waits for one of its calls is sent after
// that call's answer, so that neither side waits on the other.
class UiServer : public QObject {
    Q_OBJECT
public:
    explicit UiServer(LocalApplication& application, QObject* parent = nullptr);
    ~UiServer() override;

    // False, with why, when the socket cannot be opened.
    bool listen(QString* error = nullptr);
    // The connection string for one add-on to be started.
    QString issueConnectionString();
    // Add-ons joined and still there.
    int addOns() const;
    // How long the client waits for an add-on's answer to an event.
    int answerTimeoutMs = 30000;

signals:
    // addOn: how the add-on hears the client's events, for raising one to
    // it alone; it stays valid as long as the server. connectionString:
    // the one it joined with, telling the client which add-on it is.
    void addOnJoined(LLUiCOM::EventSink* addOn, const QString& connectionString);
    void addOnLeft();

private:
    struct Peer;
    class Sink;
    void accept();
    void readable(Peer& peer);
    // Handles every whole message that has arrived; false when the peer
    // was dropped.
    bool drain(Peer& peer);
    void handle(Peer& peer, const QJsonObject& message);
    void serve(Peer& peer, const QJsonObject& call);
    QJsonValue dispatch(const QString& name, const QJsonObject& args);
    // The add-on's answer to an event; an empty object when it is gone or
    // sent something else.
    QJsonObject raise(Peer& peer, const QString& event, const QJsonObject& args);
    void sendDeferred(Peer& peer);
    void drop(Peer& peer, const QString& why);

    LocalApplication& m_application;
    QLocalServer* m_server = nullptr;
    QSet<QByteArray> m_tokens; // issued and not used yet
    std::list<std::unique_ptr<Peer>> m_peers;
    int m_nextEvent = 0;
};

} // namespace LLUiCOM
