#include "host/objects/LLXmlText.h"

#include <QXmlStreamReader>

QString LLXmlElement(const QString& name, const QString& text) {
    return u'<' + name + u'>' + LLEscapeXmlText(text) + QLatin1String("</") + name + u'>';
}

QString LLEscapeXmlText(const QString& text, bool quotes) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'\r':
            out += QLatin1String("&#13;");
            break;
        case u'"':
            out += quotes ? QLatin1String("&quot;") : QLatin1String("\"");
            break;
        case u'\'':
            out += quotes ? QLatin1String("&apos;") : QLatin1String("'");
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool LLReadRootElement(QXmlStreamReader& xml) {
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            xml.raiseError(QStringLiteral("document type declarations are not allowed"));
            return false;
        case QXmlStreamReader::StartElement:
            return true;
        default:
            break;
        }
    }
    return false;
}

QString LLXmlAt(const QXmlStreamReader& xml, const QString& what) {
    return QStringLiteral("%1 (line %2, column %3)")
        .arg(what)
        .arg(xml.lineNumber())
        .arg(xml.columnNumber());
}
