#pragma once

#include "TestData.h"
#include "config/MRV_CopyLog.h"

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

// UTF-16LE bytes as text, a leading byte-order mark left out.
inline QString utf16Text(const QByteArray& bytes) {
    const qsizetype mark = bytes.startsWith("\xff\xfe") ? 2 : 0;
    QString text((bytes.size() - mark) / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData() + mark, text.size(), text.data());
    return text;
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes one record of the nine fields of a log line: category, type,
// result, base code and description, target code, description and former
// description, error.
inline void writeRecord(MRV_CopyLog& log, const QStringList& fields) {
    log.resetRecord();
    log.setCategoryId(fields[0]);
    log.setTransactionType(fields[1]);
    log.setResult(fields[2]);
    log.setBaseCode(fields[3]);
    log.setBaseDescription(fields[4]);
    log.setTargetCode(fields[5]);
    log.setTargetDescription(fields[6]);
    log.setTargetFormerDescription(fields[7]);
    log.setError(fields[8]);
    log.writeRecord(true);
}

} // namespace logtest
