#include "host/ui/LLRemoteApplication.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace LLUiCOM {

RemoteApplication::RemoteApplication(EventSink& sink, QObject* parent)
    : QObject(parent), m_sink(sink) {
    connect(&m_socket, &QLocalSocket::readyRead, this, &RemoteApplication::readable);
    connect(&m_socket, &QLocalSocket::disconnected, this,
            [this] { lose(u"The client closed the connection"_s); });
}

RemoteApplication::~RemoteApplication() {
    // Going away is the add-on's own doing: the client is not lost.
    m_socket.disconnect(this);
}

bool RemoteApplication::join(const QString& connectionString, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const std::optional<wire::Ticket> ticket = wire::parseConnectionString(connectionString, error);
    if (!ticket)
        return false;
    m_socket.connectToServer(ticket->socket);
    if (!m_socket.waitForConnected(answerTimeoutMs))
        return fail(u"The client cannot be reached: "_s + m_socket.errorString());
    ++m_busy;
    m_socket.write(wire::encode({{u"hello"_s, QString::fromLatin1(ticket->token)}}));
    m_socket.flush();
    const std::optional<QJsonObject> welcome = receive();
    --m_busy;
    if (!welcome || !welcome->value(u"welcome"_s).toBool())
        return fail(u"The client did not admit the add-on"_s);
    m_joined = true;
    // Events may have come with the welcome.
    QMetaObject::invokeMethod(this, &RemoteApplication::readable, Qt::QueuedConnection);
    return true;
}

std::optional<QJsonObject> RemoteApplication::receive() {
    QString error;
    while (!m_gone) {
        if (std::optional<QJsonObject> message = m_reader.next(error))
            return message;
        if (!error.isEmpty()) {
            lose(u"The client sent what is no message: "_s + error);
            break;
        }
        if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(answerTimeoutMs)) {
            lose(m_socket.state() == QLocalSocket::ConnectedState
                     ? u"The client did not answer"_s
                     : u"The client closed the connection"_s);
            break;
        }
        m_reader.append(m_socket.readAll());
    }
    return std::nullopt;
}

QJsonValue RemoteApplication::call(const QString& name, const QJsonObject& args) {
    if (m_gone || !m_joined)
        throw ComError(ClientGone, u"The client is no longer there"_s);
    const int id = ++m_nextCall;
    m_socket.write(wire::encode({{u"call"_s, name}, {u"id"_s, id}, {u"args"_s, args}}));
    m_socket.flush();
    ++m_busy;
    std::optional<QJsonObject> answer;
    while ((answer = receive())) {
        if (answer->contains(u"event"_s)) {
            // Handled once the add-on is free again.
            m_events << *answer;
            continue;
        }
        if (answer->value(u"reply"_s).toInt() == id)
            break;
    }
    --m_busy;
    // Events that came meanwhile, and what came after the answer.
    if (m_busy == 0)
        QMetaObject::invokeMethod(this, &RemoteApplication::readable, Qt::QueuedConnection);
    if (!answer)
        throw ComError(ClientGone, u"The client is no longer there"_s);
    if (answer->contains(u"error"_s)) {
        const QJsonObject error = answer->value(u"error"_s).toObject();
        throw ComError(error.value(u"code"_s).toInt(int(E_FAIL)),
                       error.value(u"text"_s).toString());
    }
    return answer->value(u"result"_s);
}

void RemoteApplication::readable() {
    if (m_busy || m_gone)
        return;
    m_reader.append(m_socket.readAll());
    QString error;
    while (std::optional<QJsonObject> message = m_reader.next(error))
        m_events << *message;
    if (!error.isEmpty())
        lose(u"The client sent what is no message: "_s + error);
    handleEvents();
}

void RemoteApplication::handleEvents() {
    if (m_busy)
        return;
    while (!m_gone && !m_events.isEmpty())
        handleEvent(m_events.takeFirst());
}

void RemoteApplication::handleEvent(const QJsonObject& event) {
    const QString name = event.value(u"event"_s).toString();
    const QJsonObject args = event.value(u"args"_s).toObject();
    ++m_busy;
    int result = 0;
    bool passOn = true;
    try {
        if (name == u"load") {
            result = m_sink.OnApplicationLoad(*this);
        } else if (name == u"unload") {
            result = m_sink.OnApplicationUnload();
        } else if (name == u"menu") {
            result = m_sink.OnMenuEvent(
                {args.value(u"uid"_s).toString(), args.value(u"before"_s).toBool()}, passOn);
        } else if (name == u"form") {
            result =
                m_sink.OnFormLoad({args.value(u"type"_s).toInt(), args.value(u"instance"_s).toInt(),
                                   args.value(u"before"_s).toBool()},
                                  passOn);
        } else if (name == u"language") {
            result = m_sink.OnChangeLanguage();
        } else if (name == u"company") {
            result = m_sink.OnCompanyEvent(args.contains(u"context"_s) ? companyOf(args) : nullptr);
        } else {
            result = int(E_NOTIMPL);
        }
    } catch (const ComError& e) {
        result = int(e.code());
    }
    --m_busy;
    if (m_gone)
        return;
    m_socket.write(wire::encode(
        {{u"reply"_s, event.value(u"id"_s)}, {u"result"_s, result}, {u"passOn"_s, passOn}}));
    m_socket.flush();
}

std::shared_ptr<LLObjectsCOM::Company> RemoteApplication::companyOf(const QJsonObject& value) {
    auto company = std::make_shared<LLObjectsCOM::Company>();
    company->Server = value.value(u"server"_s).toString();
    company->UseTrusted = true;
    company->LoginContext = value.value(u"context"_s).toString();
    if (company->Connect() != 0)
        throw ComError(company->GetLastErrorCode(), company->GetLastErrorDescription());
    return company;
}

std::shared_ptr<LLObjectsCOM::Company> RemoteApplication::company() {
    return companyOf(call(u"company"_s).toObject());
}

LlLanguages RemoteApplication::language() {
    return call(u"language"_s).toInt();
}

int RemoteApplication::messageBox(const QString& text, int defaultButton, const QString& caption1,
                                  const QString& caption2, const QString& caption3) {
    return call(u"messageBox"_s, {{u"text"_s, text},
                                  {u"defaultButton"_s, defaultButton},
                                  {u"captions"_s, QJsonArray{caption1, caption2, caption3}}})
        .toInt();
}

void RemoteApplication::freezeForm(int formType, int instance, bool freeze) {
    call(u"freezeForm"_s,
         {{u"type"_s, formType}, {u"instance"_s, instance}, {u"freeze"_s, freeze}});
}

void RemoteApplication::loadBatchActions(const QString& xml) {
    call(u"loadBatchActions"_s, {{u"xml"_s, xml}});
}

QString RemoteApplication::lastBatchResults() {
    return call(u"lastBatchResults"_s).toString();
}

MenuItem RemoteApplication::menuItem(const QString& uniqueId) {
    return wire::menuItemOf(call(u"menuItem"_s, {{u"uid"_s, uniqueId}}).toObject());
}

void RemoteApplication::setMenuEnabled(const QString& uniqueId, bool enabled) {
    call(u"setMenuEnabled"_s, {{u"uid"_s, uniqueId}, {u"enabled"_s, enabled}});
}

void RemoteApplication::setStatusBarMessage(const QString& text, bool error) {
    call(u"setStatusBarMessage"_s, {{u"text"_s, text}, {u"error"_s, error}});
}

void RemoteApplication::lose(const QString& why) {
    if (m_gone)
        return;
    qInfo("add-on: %s", qUtf8Printable(why));
    m_gone = true;
    m_socket.abort();
    emit clientGone();
}

} // namespace LLUiCOM
