#pragma once

#include "TestData.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>

#include <functional>

namespace logtest {

inline QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A clock that hands out the given moments in turn and then keeps the last.
inline std::function<QDateTime()> clockOf(QList<QDateTime> moments) {
    return [moments, next = qsizetype(0)]() mutable {
        const QDateTime moment = moments[std::min(next, moments.size() - 1)];
        ++next;
        return moment;
    };
}

inline QByteArray utf16le(const QString& text) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace logtest
