#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

// The shared list of hostile text values every text path must carry intact.
inline QStringList nastyStrings() {
    QFile file(QStringLiteral(MIRROVA_SHARED_TESTDATA "/nasty-strings.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList list;
    for (const QJsonValue& v : QJsonDocument::fromJson(file.readAll()).array())
        list << v.toString();
    return list;
}
