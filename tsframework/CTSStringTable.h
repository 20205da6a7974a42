#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The program's string tables: one file <LCID>.xml per language, each a list
// of <s id="…">text</s>. English (1033) is complete; any other table may
// lack a text, which then comes from English, and so does a text whose
// placeholders are not those of its English text. Tables are read once, on
// first use, and kept for the life of the process.
class CTSStringTable {
public:
    static constexpr int English = 1033;

    // The languages the program carries, by Windows language identifier.
    static const QList<int>& languages();

    // The carried language that serves a host language: the language itself,
    // else one of the same primary language (3081 English (Australia) is
    // served by 1033), else English.
    static int tableLanguage(int hostLanguage);
    // The locale ("de_DE") of the table that serves a host language, and
    // whether its texts are written right to left.
    static QString localeName(int hostLanguage);
    static bool isRightToLeft(int hostLanguage);

    // The text for id in the host language with the English fallback; an
    // empty string when neither table has one.
    static QString text(quint32 id, int hostLanguage);

    // The folder the tables are read from; ":/strings" (the compiled-in
    // resources) unless changed. Changing it drops the tables read so far.
    static QString folder();
    static void setFolder(const QString& folder);

    // The placeholders of a text in order ("%s", "%d", "%1", "%%"): a
    // translation must have those of its English text.
    static QStringList placeholders(const QString& text);

    // Reads one table file; false (and an empty table) when the file cannot
    // be read, is not a string table or holds an id twice.
    static bool readTable(const QString& path, QHash<quint32, QString>& table,
                          QString* error = nullptr);
};
