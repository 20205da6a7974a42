#include "xml/MRV_PlainXmlReader.h"

#include <QLatin1StringView>
#include <QVarLengthArray>

#include <utility>

namespace {

// Deeper documents are the full parser's to judge.
constexpr qsizetype MaxDepth = 256;

// The declarations the host and this program write; any other may name an
// encoding or standalone status the full parser must weigh.
constexpr QLatin1StringView Declarations[] = {
    QLatin1StringView(R"(<?xml version="1.0" encoding="UTF-16"?>)"),
    QLatin1StringView(R"(<?xml version="1.0" encoding="UTF-16" ?>)")};

bool nameStart(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool nameChar(char16_t c) {
    return nameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// A carriage return is left out: the parser turns line ends into line feeds.
bool blank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool xmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

int digitValue(char16_t d, bool hex) {
    if (d >= u'0' && d <= u'9')
        return d - u'0';
    if (hex && d >= u'a' && d <= u'f')
        return d - u'a' + 10;
    if (hex && d >= u'A' && d <= u'F')
        return d - u'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(QStringView xml, MRV_PlainXmlReader::Sink& sink) : m_xml(xml), m_sink(sink) {}

    bool document() {
        if (m_xml.startsWith(QChar(0xFEFF)))
            ++m_at;
        for (const QLatin1StringView declaration : Declarations)
            if (m_xml.mid(m_at).startsWith(declaration)) {
                m_at += declaration.size();
                break;
            }
        skipBlanks();
        if (!at(u'<') || !startTag())
            return false;
        while (!m_open.isEmpty()) {
            if (!at(u'<')) {
                if (!text())
                    return false;
            } else if (!(peek(1) == u'/' ? endTag() : startTag())) {
                return false;
            }
        }
        skipBlanks();
        return m_at == m_xml.size();
    }

private:
    bool at(char16_t c) const { return m_at < m_xml.size() && m_xml[m_at] == c; }
    char16_t peek(qsizetype ahead) const {
        return m_at + ahead < m_xml.size() ? m_xml[m_at + ahead].unicode() : u'\0';
    }

    void skipBlanks() {
        while (m_at < m_xml.size() && blank(m_xml[m_at].unicode()))
            ++m_at;
    }

    // The name at the reading position, empty when none stands there.
    QStringView name() {
        const qsizetype from = m_at;
        if (m_at < m_xml.size() && nameStart(m_xml[m_at].unicode()))
            while (++m_at < m_xml.size() && nameChar(m_xml[m_at].unicode())) {
            }
        return m_xml.mid(from, m_at - from);
    }

    // "<name>" or "<name/>".
    bool startTag() {
        ++m_at;
        const QStringView n = name();
        if (n.isEmpty())
            return false;
        if (at(u'>')) {
            ++m_at;
            if (m_open.size() >= MaxDepth)
                return false;
            m_open.append(n);
            m_sink.plainStart(n);
            return true;
        }
        if (!at(u'/') || peek(1) != u'>')
            return false;
        m_at += 2;
        m_sink.plainStart(n);
        m_sink.plainEnd();
        return true;
    }

    // "</name>" closing the innermost open element.
    bool endTag() {
        m_at += 2;
        if (name() != m_open.last() || !at(u'>'))
            return false;
        ++m_at;
        m_open.removeLast();
        m_sink.plainEnd();
        return true;
    }

    // Text up to the next tag: runs of characters told as they stand, each
    // reference told as the character it names.
    bool text() {
        qsizetype from = m_at;
        while (m_at < m_xml.size()) {
            const char16_t c = m_xml[m_at].unicode();
            if (c == u'<')
                break;
            if (c == u'&') {
                if (m_at > from)
                    m_sink.plainText(m_xml.mid(from, m_at - from));
                if (!reference())
                    return false;
                from = m_at;
                continue;
            }
            if (QChar::isHighSurrogate(c) && QChar::isLowSurrogate(peek(1))) {
                m_at += 2;
                continue;
            }
            // "]]>" may not stand in text.
            if (c == u'\r' || !xmlChar(c) ||
                (c == u'>' && m_at - from >= 2 && m_xml[m_at - 1] == u']' &&
                 m_xml[m_at - 2] == u']'))
                return false;
            ++m_at;
        }
        if (m_at > from)
            m_sink.plainText(m_xml.mid(from, m_at - from));
        return m_at < m_xml.size();
    }

    bool reference() {
        const qsizetype end = m_xml.indexOf(u';', m_at);
        if (end < 0 || end - m_at > 10)
            return false;
        const QStringView body = m_xml.mid(m_at + 1, end - m_at - 1);
        m_at = end + 1;
        static constexpr std::pair<QLatin1StringView, char16_t> Named[] = {
            {QLatin1StringView("amp"), u'&'},
            {QLatin1StringView("lt"), u'<'},
            {QLatin1StringView("gt"), u'>'},
            {QLatin1StringView("quot"), u'"'},
            {QLatin1StringView("apos"), u'\''}};
        for (const auto& [entity, c] : Named)
            if (body == entity) {
                m_sink.plainText(QStringView(&c, 1));
                return true;
            }
        if (!body.startsWith(u'#') || body.size() < 2)
            return false;
        const bool hex = body[1] == u'x';
        const QStringView digits = body.mid(hex ? 2 : 1);
        char32_t code = 0;
        for (const QChar d : digits) {
            const int v = digitValue(d.unicode(), hex);
            if (v < 0)
                return false;
            code = code * (hex ? 16 : 10) + char32_t(v);
        }
        if (digits.isEmpty() || !xmlChar(code))
            return false;
        char16_t units[2];
        const qsizetype n = QChar::requiresSurrogates(code) ? 2 : 1;
        if (n == 2) {
            units[0] = QChar::highSurrogate(code);
            units[1] = QChar::lowSurrogate(code);
        } else {
            units[0] = char16_t(code);
        }
        m_sink.plainText(QStringView(units, n));
        return true;
    }

    QStringView m_xml;
    MRV_PlainXmlReader::Sink& m_sink;
    qsizetype m_at = 0;
    QVarLengthArray<QStringView, 16> m_open;
};

} // namespace

bool MRV_PlainXmlReader::read(QStringView xml, Sink& sink) {
    return Reader(xml, sink).document();
}
