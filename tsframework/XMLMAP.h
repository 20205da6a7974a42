#pragma once

#include <QString>

// A placeholder entry: a name (a category id, a menu placeholder), the
// string id of its text and the text itself once it has been looked up.
struct XMLMAP {
    XMLMAP() = default;
    XMLMAP(QString name, quint32 stringId, QString text = {})
        : name(std::move(name)), stringId(stringId), text(std::move(text)) {}

    QString name;
    quint32 stringId = 0;
    QString text;

    friend bool operator==(const XMLMAP&, const XMLMAP&) = default;
};
