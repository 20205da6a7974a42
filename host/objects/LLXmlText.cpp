#include "host/objects/LLXmlText.h"

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
