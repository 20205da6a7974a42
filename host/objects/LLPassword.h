#pragma once

#include <QString>

namespace LLObjectsCOM {

// Passwords are stored as salted, stretched hashes, never in clear:
// "pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>".
class Password {
public:
    static QString hash(const QString& password);
    // True when password matches a stored hash; false for anything that is
    // not a hash of ours (an empty or clear-text column never matches).
    static bool verify(const QString& password, const QString& stored);

    // Fewer rounds make tests and demo set-up fast; never lower in use.
    static void setIterationsForTesting(int iterations);
};

} // namespace LLObjectsCOM
