#include "host/ui/LLUiWire.h"

#include "host/objects/LLSecret.h"

#include <QJsonDocument>
#include <QJsonParseError>

using namespace Qt::StringLiterals;

namespace LLUiCOM::wire {

namespace {

const QString SocketKey = QStringLiteral("socket=");
const QString TokenKey = QStringLiteral("token=");
constexpr int TokenBytes = 32;

} // namespace

QByteArray newToken() {
    return LLObjectsCOM::randomHex(TokenBytes);
}

QString connectionString(const Ticket& ticket) {
    return SocketKey + ticket.socket + u';' + TokenKey + QString::fromLatin1(ticket.token);
}

std::optional<Ticket> parseConnectionString(const QString& text, QString* why) {
    const auto refuse = [&](const QString& reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QStringList parts = text.split(u';');
    if (parts.size() != 2 || !parts[0].startsWith(SocketKey) || !parts[1].startsWith(TokenKey))
        return refuse(QStringLiteral("The connection string is not \"socket=NAME;token=HEX\""));
    Ticket ticket{parts[0].mid(SocketKey.size()), parts[1].mid(TokenKey.size()).toLatin1()};
    if (ticket.socket.isEmpty())
        return refuse(QStringLiteral("The connection string names no socket"));
    if (!LLObjectsCOM::isRandomHex(QStringView(parts[1]).mid(TokenKey.size()), TokenBytes))
        return refuse(QStringLiteral("The connection string's token is not %1 hexadecimal digits")
                          .arg(2 * TokenBytes));
    return ticket;
}

QJsonObject toJson(const MenuItem& item) {
    return {{u"uid"_s, item.uniqueId},   {u"text"_s, item.text}, {u"father"_s, item.fatherId},
            {u"image"_s, item.image},    {u"type"_s, item.type}, {u"enabled"_s, item.enabled},
            {u"checked"_s, item.checked}};
}

MenuItem menuItemOf(const QJsonObject& json) {
    return {.uniqueId = json.value(u"uid"_s).toString(),
            .text = json.value(u"text"_s).toString(),
            .fatherId = json.value(u"father"_s).toString(),
            .image = json.value(u"image"_s).toString(),
            .type = json.value(u"type"_s).toInt(),
            .enabled = json.value(u"enabled"_s).toBool(),
            .checked = json.value(u"checked"_s).toBool()};
}

QByteArray encode(const QJsonObject& message) {
    // Compact JSON escapes every line end inside a string, so a message is
    // one line.
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> LineReader::next(QString& error) {
    error = m_failed;
    if (!m_failed.isEmpty())
        return std::nullopt;
    const qsizetype end = m_buffer.indexOf('\n');
    if (end < 0) {
        if (m_buffer.size() > m_limit)
            error = m_failed = QStringLiteral("A message is longer than %1 bytes").arg(m_limit);
        return std::nullopt;
    }
    if (end > m_limit) {
        error = m_failed = QStringLiteral("A message is longer than %1 bytes").arg(m_limit);
        return std::nullopt;
    }
    const QByteArray line = m_buffer.left(end);
    m_buffer.remove(0, end + 1);
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        error = m_failed = parse.error != QJsonParseError::NoError
                               ? QStringLiteral("A message is not JSON: %1 at byte %2")
                                     .arg(parse.errorString())
                                     .arg(parse.offset)
                               : QStringLiteral("A message is not a JSON object");
        return std::nullopt;
    }
    return document.object();
}

} // namespace LLUiCOM::wire
