#pragma once

#include <QList>
#include <QString>

class QLocale;

// One language the client offers: the number the string tables use, the
// name its speakers give it, and the system locales it suits.
struct LLLanguage {
    int lcid = 0;
    QString name;
    QStringList locales; // e.g. "de_DE"; the first is the language's own
};

// The client's languages, in the order its language menu lists them.
class LLLanguages {
public:
    static constexpr int English = 1033;

    static const QList<LLLanguage>& all();
    // Null for a number the client does not offer.
    static const LLLanguage* find(int lcid);
    // The language for a system locale: the one naming it exactly, else one
    // of the same language, else English.
    static int forLocale(const QLocale& locale);
};
