#include "tsframework/CTSResourceLoader.h"

#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// The encoding an XML declaration names; empty when there is none. The
// declaration is ASCII in every encoding the declaration may name here.
QByteArray declaredEncoding(const QByteArray& data) {
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml[^>]*\\bencoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QString head = QString::fromLatin1(data.left(200));
    const QRegularExpressionMatch m = declaration.match(head);
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

} // namespace

CTSResourceLoader::CTSResourceLoader(QString folder, CTSVersion moduleVersion)
    : m_folder(std::move(folder)), m_moduleVersion(moduleVersion) {}

HRESULT CTSResourceLoader::GetResourceFileContents(int id, QString& text) const {
    CLogBase log(u"TSF", u"CTSResourceLoader::GetResourceFileContents");
    if (id < 0)
        return E_INVALIDARG;
    QFile file(QStringLiteral("%1/%2.xml").arg(m_folder).arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        log.LogError(u"Cannot read resource %d from '%s': %s", id, file.fileName(),
                     file.errorString());
        return E_FAIL;
    }
    const QByteArray data = file.readAll();
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(data);
    QStringDecoder decoder;
    if (encoding) {
        decoder = QStringDecoder(*encoding);
    } else {
        const QByteArray name = declaredEncoding(data);
        decoder = QStringDecoder(name.isEmpty() ? "UTF-8" : name.constData());
    }
    if (!decoder.isValid()) {
        log.LogError(u"Resource %d names the encoding '%s', which is not known", id,
                     QString::fromLatin1(declaredEncoding(data)));
        return E_FAIL;
    }
    const QString decoded = decoder.decode(data);
    if (decoder.hasError()) {
        log.LogError(u"Resource %d is not valid in its encoding", id);
        return E_FAIL;
    }
    text = decoded;
    return S_OK;
}

HRESULT CTSResourceLoader::LoadXML(const QString& xml, QList<XMLMAP>& placeholders, int language,
                                   QString& localized) {
    CLogBase log(u"TSF", u"CTSResourceLoader::LoadXML");
    QHash<QString, QString> texts;
    for (XMLMAP& entry : placeholders) {
        entry.text = CTSBSTR::load(entry.stringId, language);
        texts.insert(entry.name, entry.text);
    }
    QString out;
    QXmlStreamReader reader(xml);
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            log.LogError(u"The document declares a DTD");
            return E_FAIL;
        case QXmlStreamReader::StartElement: {
            writer.writeStartElement(reader.qualifiedName().toString());
            for (const QXmlStreamAttribute& a : reader.attributes()) {
                const QString value = a.value().toString();
                writer.writeAttribute(a.qualifiedName().toString(), texts.value(value, value));
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                writer.writeCharacters(reader.text().toString());
            break;
        default:
            break; // the declaration, comments, processing instructions
        }
    }
    if (reader.hasError()) {
        log.LogError(u"The document is not well-formed at line %d: %s", int(reader.lineNumber()),
                     reader.errorString());
        return E_FAIL;
    }
    localized = out;
    return S_OK;
}
