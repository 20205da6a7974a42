#include "host/objects/LLPassword.h"

#include <QByteArray>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

#include <atomic>

namespace LLObjectsCOM {

namespace {

std::atomic<int> iterations{60000};

// PBKDF2 with HMAC-SHA256, one block: the 32-byte key is all we store.
QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, int rounds) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    mac.addData(salt);
    mac.addData(QByteArray("\x00\x00\x00\x01", 4));
    QByteArray u = mac.result();
    QByteArray key = u;
    for (int i = 1; i < rounds; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (qsizetype j = 0; j < key.size(); ++j)
            key[j] = static_cast<char>(key[j] ^ u[j]);
    }
    return key;
}

// Compares without stopping at the first difference.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff = static_cast<char>(diff | (a[i] ^ b[i]));
    return diff == 0;
}

} // namespace

QString Password::hash(const QString& password) {
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), 4);
    const int rounds = iterations.load();
    const QByteArray key = pbkdf2(password.toUtf8(), salt, rounds);
    return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
        .arg(rounds)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
}

bool Password::verify(const QString& password, const QString& stored) {
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != QLatin1String("pbkdf2-sha256"))
        return false;
    bool ok = false;
    const int rounds = parts[1].toInt(&ok);
    if (!ok || rounds < 1 || rounds > 10'000'000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (salt.isEmpty() || expected.size() != 32)
        return false;
    return sameBytes(pbkdf2(password.toUtf8(), salt, rounds), expected);
}

void Password::setIterationsForTesting(int rounds) {
    iterations = rounds;
}

} // namespace LLObjectsCOM
