#include "host/ui/LLUiServer.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLLocalApplication.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QLocalServer>
#include <QLocalSocket>

using namespace Qt::StringLiterals;

namespace LLUiCOM {

struct UiServer::Peer {
    QLocalSocket* socket = nullptr;
    wire::LineReader reader;
    bool joined = false;
    // The peer's messages are being read by a wait further up: a signal
    // that more arrived must not read them too.
    int busy = 0;
    // Serving one of the peer's calls: events for it wait until the answer.
    bool serving = false;
    QList<std::pair<QString, QJsonObject>> deferred;
    QHash<int, QJsonObject> answers; // arrived for a wait further up
    std::unique_ptr<Sink> sink;
    bool gone = false;
};

// The events of the client's application, as an add-on in another process
// receives them.
class UiServer::Sink : public EventSink {
public:
    Sink(UiServer& server, Peer& peer) : m_server(server), m_peer(peer) {}

    int OnApplicationLoad(Application&) override { return result(send(u"load"_s, {})); }
    int OnApplicationUnload() override { return result(send(u"unload"_s, {})); }
    int OnMenuEvent(const MenuEvent& e, bool& passOn) override {
        return withPassOn(send(u"menu"_s, {{u"uid"_s, e.menuUid}, {u"before"_s, e.beforeAction}}),
                          passOn);
    }
    int OnFormLoad(const FormEvent& e, bool& passOn) override {
        return withPassOn(send(u"form"_s, {{u"type"_s, e.formType},
                                           {u"instance"_s, e.instance},
                                           {u"before"_s, e.beforeAction}}),
                          passOn);
    }
    int OnChangeLanguage() override { return result(send(u"language"_s, {})); }
    int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) override {
        QJsonObject args;
        try {
            if (company && company->Connected())
                args = {{u"server"_s, company->Server}, {u"context"_s, company->GetLoginContext()}};
        } catch (const ComError& e) {
            args = {{u"error"_s, e.description()}};
        }
        return result(send(u"company"_s, args));
    }

private:
    std::optional<QJsonObject> send(const QString& event, const QJsonObject& args) {
        if (m_peer.gone)
            return std::nullopt;
        if (m_peer.serving) {
            // The add-on waits for an answer of ours: it hears this after.
            m_peer.deferred.append({event, args});
            return QJsonObject{{u"result"_s, 0}, {u"passOn"_s, true}};
        }
        const QJsonObject answer = m_server.raise(m_peer, event, args);
        return answer.isEmpty() ? std::nullopt : std::optional<QJsonObject>(answer);
    }
    static int result(const std::optional<QJsonObject>& answer) {
        return answer ? answer->value(u"result"_s).toInt() : int(E_FAIL);
    }
    static int withPassOn(const std::optional<QJsonObject>& answer, bool& passOn) {
        if (answer && !answer->value(u"passOn"_s).toBool(true))
            passOn = false;
        return result(answer);
    }

    UiServer& m_server;
    Peer& m_peer;
};

UiServer::UiServer(LocalApplication& application, QObject* parent)
    : QObject(parent), m_application(application) {}

UiServer::~UiServer() {
    for (const auto& peer : m_peers)
        if (peer->sink)
            m_application.disconnect(peer->sink.get());
}

bool UiServer::listen(QString* error) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QStringLiteral("ledgerline-ui-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QString::fromLatin1(wire::newToken().left(16)));
    if (!m_server->listen(name)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &UiServer::accept);
    return true;
}

QString UiServer::issueConnectionString() {
    const QByteArray token = wire::newToken();
    m_tokens.insert(token);
    return wire::connectionString({m_server ? m_server->fullServerName() : QString(), token});
}

int UiServer::addOns() const {
    int n = 0;
    for (const auto& peer : m_peers)
        n += peer->joined && !peer->gone;
    return n;
}

void UiServer::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto peer = std::make_unique<Peer>();
        peer->socket = socket;
        socket->setParent(this);
        Peer* p = peer.get();
        m_peers.push_back(std::move(peer));
        connect(socket, &QLocalSocket::readyRead, this, [this, p] { readable(*p); });
        connect(socket, &QLocalSocket::disconnected, this,
                [this, p] { drop(*p, QStringLiteral("the add-on went")); });
        readable(*p);
    }
}

void UiServer::readable(Peer& peer) {
    if (peer.busy || peer.gone)
        return;
    peer.reader.append(peer.socket->readAll());
    drain(peer);
}

bool UiServer::drain(Peer& peer) {
    QString error;
    while (!peer.gone) {
        const std::optional<QJsonObject> message = peer.reader.next(error);
        if (!message)
            break;
        handle(peer, *message);
    }
    if (!error.isEmpty())
        drop(peer, error);
    return !peer.gone;
}

void UiServer::handle(Peer& peer, const QJsonObject& message) {
    if (!peer.joined) {
        // The first message names the token; one that was not issued, or
        // was used already, ends the connection.
        const QByteArray token = message.value(u"hello"_s).toString().toLatin1();
        if (!m_tokens.remove(token)) {
            drop(peer, QStringLiteral("an add-on came without a valid token"));
            return;
        }
        peer.joined = true;
        peer.socket->write(wire::encode({{u"welcome"_s, true}}));
        peer.sink = std::make_unique<Sink>(*this, peer);
        m_application.connect(peer.sink.get());
        emit addOnJoined(peer.sink.get(),
                         wire::connectionString({m_server->fullServerName(), token}));
        return;
    }
    if (message.contains(u"call"_s))
        serve(peer, message);
    else if (message.contains(u"reply"_s))
        peer.answers.insert(message.value(u"reply"_s).toInt(), message);
    else
        drop(peer, QStringLiteral("an add-on sent a message that is neither call nor answer"));
}

void UiServer::serve(Peer& peer, const QJsonObject& call) {
    QJsonObject answer{{u"reply"_s, call.value(u"id"_s)}};
    ++peer.busy;
    peer.serving = true;
    try {
        answer.insert(u"result"_s,
                      dispatch(call.value(u"call"_s).toString(), call.value(u"args"_s).toObject()));
    } catch (const ComError& e) {
        answer.insert(u"error"_s,
                      QJsonObject{{u"code"_s, int(e.code())}, {u"text"_s, e.description()}});
    }
    peer.serving = false;
    --peer.busy;
    if (peer.gone)
        return;
    peer.socket->write(wire::encode(answer));
    peer.socket->flush();
    if (!peer.deferred.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, &peer] { sendDeferred(peer); }, Qt::QueuedConnection);
}

QJsonValue UiServer::dispatch(const QString& name, const QJsonObject& args) {
    Application& app = m_application;
    const auto text = [&](const char* key) { return args.value(QLatin1String(key)).toString(); };
    if (name == u"company") {
        const std::shared_ptr<LLObjectsCOM::Company> company = app.company();
        return QJsonObject{{u"server"_s, company->Server},
                           {u"context"_s, company->GetLoginContext()}};
    }
    if (name == u"language")
        return app.language();
    if (name == u"messageBox") {
        const QJsonArray captions = args.value(u"captions"_s).toArray();
        return app.messageBox(text("text"), args.value(u"defaultButton"_s).toInt(),
                              captions.at(0).toString(), captions.at(1).toString(),
                              captions.at(2).toString());
    }
    if (name == u"freezeForm") {
        app.freezeForm(args.value(u"type"_s).toInt(), args.value(u"instance"_s).toInt(),
                       args.value(u"freeze"_s).toBool());
        return QJsonValue();
    }
    if (name == u"loadBatchActions") {
        app.loadBatchActions(text("xml"));
        return QJsonValue();
    }
    if (name == u"lastBatchResults")
        return app.lastBatchResults();
    if (name == u"menuItem") {
        return wire::toJson(app.menuItem(text("uid")));
    }
    if (name == u"setMenuEnabled") {
        app.setMenuEnabled(text("uid"), args.value(u"enabled"_s).toBool());
        return QJsonValue();
    }
    if (name == u"setStatusBarMessage") {
        app.setStatusBarMessage(text("text"), args.value(u"error"_s).toBool());
        return QJsonValue();
    }
    throw ComError(E_NOTIMPL, QStringLiteral("The client has no call '%1'").arg(name));
}

QJsonObject UiServer::raise(Peer& peer, const QString& event, const QJsonObject& args) {
    const int id = ++m_nextEvent;
    peer.socket->write(wire::encode({{u"event"_s, event}, {u"id"_s, id}, {u"args"_s, args}}));
    peer.socket->flush();
    ++peer.busy;
    QJsonObject answer;
    // The add-on's calls while it handles the event are served here.
    while (!peer.gone) {
        if (peer.answers.contains(id)) {
            answer = peer.answers.take(id);
            break;
        }
        if (!drain(peer))
            break;
        if (peer.answers.contains(id))
            continue;
        if (peer.socket->bytesAvailable() == 0 && !peer.socket->waitForReadyRead(answerTimeoutMs)) {
            if (peer.socket->state() == QLocalSocket::ConnectedState)
                drop(peer, QStringLiteral("an add-on did not answer an event"));
            else
                drop(peer, QStringLiteral("the add-on went"));
            break;
        }
        peer.reader.append(peer.socket->readAll());
    }
    --peer.busy;
    // What came after the answer is read as it would have been.
    if (!peer.gone && peer.busy == 0)
        QMetaObject::invokeMethod(
            this, [this, &peer] { readable(peer); }, Qt::QueuedConnection);
    return answer;
}

void UiServer::sendDeferred(Peer& peer) {
    while (!peer.gone && !peer.serving && !peer.deferred.isEmpty()) {
        const auto [event, args] = peer.deferred.takeFirst();
        raise(peer, event, args);
    }
}

void UiServer::drop(Peer& peer, const QString& why) {
    if (peer.gone)
        return;
    qInfo("ledgerline: %s", qUtf8Printable(why));
    peer.gone = true;
    if (peer.sink)
        m_application.disconnect(peer.sink.get());
    peer.socket->disconnect(this);
    peer.socket->abort();
    peer.socket->deleteLater();
    if (peer.joined)
        emit addOnLeft();
}

} // namespace LLUiCOM
