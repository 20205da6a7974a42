#pragma once

#include <QString>
#include <QStringView>

#include <xercesc/util/XercesDefs.hpp>

#include <string>
#include <type_traits>

// Xerces and Qt both hold text as UTF-16 code units, so text crosses between
// them by reinterpreting the buffer, never by transcoding.
static_assert(std::is_same_v<XMLCh, char16_t>, "Xerces must be built with XMLCh = char16_t");
static_assert(sizeof(QChar) == sizeof(XMLCh));

// The QString's own buffer, NUL-terminated; valid while the QString lives
// unchanged. Text holding a NUL ends early here: callers check with
// isXmlText() first when that matters.
inline const XMLCh* toXmlCh(const QString& text) {
    return reinterpret_cast<const XMLCh*>(text.utf16());
}

// A copy of a NUL-terminated Xerces string; a null pointer gives an empty
// string. Built from the code units directly because QString::fromUtf16 would
// take a leading U+FEFF for a byte-order mark and drop it.
inline QString fromXmlCh(const XMLCh* text) {
    if (!text)
        return {};
    const auto length = static_cast<qsizetype>(std::char_traits<char16_t>::length(text));
    return QString(reinterpret_cast<const QChar*>(text), length);
}

// True when every character of text may appear in an XML 1.0 document: no NUL,
// no C0 control other than tab, LF and CR, no lone surrogate, no U+FFFE or
// U+FFFF. Xerces' DOM takes such text without complaint and only fails later,
// when the document is written or read back.
bool isXmlText(QStringView text);
// The position of the first character isXmlText refuses; -1 when none.
qsizetype firstNonXmlChar(QStringView text);
