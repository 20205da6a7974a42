#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <ostream>

// Readable failure output for text in every test.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// The shared list of hostile text values every text path must carry intact.
// Qt's JSON reader drops a U+FEFF that starts a string value, so the raw
// character is turned into its escape first, which it keeps.
inline QStringList nastyStrings() {
    QFile file(QStringLiteral(MIRROVA_SHARED_TESTDATA "/nasty-strings.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray json = file.readAll().replace("\xEF\xBB\xBF", "\\ufeff");
    QStringList list;
    for (const QJsonValue& v : QJsonDocument::fromJson(json).array())
        list << v.toString();
    return list;
}
