#pragma once

#include "host/ui/LLUiApplication.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// How the client and an add-on talk: the connection string the client puts
// on the add-on's command line, and the messages, one JSON object per line.
namespace LLUiCOM::wire {

// The local socket to join and the token that admits one add-on, once.
struct Ticket {
    QString socket;
    QByteArray token; // hexadecimal

    bool operator==(const Ticket&) const = default;
};

// A token no one can guess: 32 random bytes, hexadecimal.
QByteArray newToken();
// "socket=NAME;token=HEX"
QString connectionString(const Ticket& ticket);
// The ticket of a connection string; nullopt, with why, for any other text.
std::optional<Ticket> parseConnectionString(const QString& text, QString* why = nullptr);

// A menu entry as a call's answer carries it, and back.
QJsonObject toJson(const MenuItem& item);
MenuItem menuItemOf(const QJsonObject& json);

// One message as it goes over the socket.
QByteArray encode(const QJsonObject& message);

// Cuts what arrives into messages. A line longer than the limit, or one
// that is not a JSON object, is an error: the peer is not to be trusted
// any further.
class LineReader {
public:
    static constexpr qsizetype DefaultLimit = 16 * 1024 * 1024;
    explicit LineReader(qsizetype limit = DefaultLimit) : m_limit(limit) {}

    void append(const QByteArray& data) { m_buffer += data; }
    // The next whole message, or nullopt when there is none yet (error
    // empty) or the input is bad (error set; the reader stays failed).
    std::optional<QJsonObject> next(QString& error);

private:
    QByteArray m_buffer;
    qsizetype m_limit;
    QString m_failed;
};

} // namespace LLUiCOM::wire
