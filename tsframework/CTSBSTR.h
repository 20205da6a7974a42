#pragma once

#include "tsframework/TSFormat.h"

#include <QString>

// A localized text: loaded from the program's string tables by string id
// and host language, or built with a printf-style format.
class CTSBSTR {
public:
    static constexpr int English = 1033;

    CTSBSTR() = default;
    // An empty text whose LoadStringW without a language uses this one.
    explicit CTSBSTR(int language) : m_language(language) {}
    CTSBSTR(const QString& text) : m_text(text) {}
    CTSBSTR(const char16_t* text) : m_text(QString::fromUtf16(text)) {}

    // Loads the text of id in language (falling back to English); false and
    // an empty text when there is none.
    bool LoadStringW(quint32 id, int language);
    bool LoadStringW(quint32 id) { return LoadStringW(id, m_language); }

    // Replaces the text by the formatted one; see TSFormat for the rules.
    template <typename... Args> CTSBSTR& Format(QStringView format, const Args&... args) {
        m_text = TSFormatArgs(format, args...);
        return *this;
    }
    // Formats with the text of a string id as the format.
    template <typename... Args> CTSBSTR& FormatId(quint32 formatId, const Args&... args) {
        CTSBSTR format(m_language);
        format.LoadStringW(formatId);
        return Format(format.m_text, args...);
    }

    int language() const { return m_language; }
    const QString& str() const { return m_text; }
    operator const QString&() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Shorthand for a text that is needed once.
    static QString load(quint32 id, int language);

private:
    int m_language = English;
    QString m_text;
};
