#include "host/objects/LLXmlText.h"

#include <QXmlStreamReader>

namespace {

// The reference that stands for c in text, or empty when c stands as it is.
QLatin1String reference(char16_t c, bool quotes) {
    switch (c) {
    case u'&':
        return QLatin1String("&amp;");
    case u'<':
        return QLatin1String("&lt;");
    case u'>':
        return QLatin1String("&gt;");
    case u'\r':
        return QLatin1String("&#13;");
    case u'"':
        return quotes ? QLatin1String("&quot;") : QLatin1String();
    case u'\'':
        return quotes ? QLatin1String("&apos;") : QLatin1String();
    default:
        return QLatin1String();
    }
}

} // namespace

void LLAppendXmlText(QString& out, QStringView text, bool quotes) {
    // Runs of plain characters are copied whole.
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QLatin1String ref = reference(text[i].unicode(), quotes);
        if (ref.isEmpty())
            continue;
        out.append(text.sliced(plain, i - plain));
        out.append(ref);
        plain = i + 1;
    }
    out.append(text.sliced(plain));
}

QString LLEscapeXmlText(const QString& text, bool quotes) {
    QString out;
    out.reserve(text.size());
    LLAppendXmlText(out, text, quotes);
    return out;
}

void LLAppendXmlElement(QString& out, QStringView name, QStringView text) {
    out.append(u'<').append(name).append(u'>');
    LLAppendXmlText(out, text);
    out.append(QLatin1String("</")).append(name).append(u'>');
}

QString LLXmlElement(const QString& name, const QString& text) {
    QString out;
    out.reserve(2 * name.size() + text.size() + 5);
    LLAppendXmlElement(out, name, text);
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
