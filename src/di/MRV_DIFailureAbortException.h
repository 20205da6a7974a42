#pragma once

#include <QString>

#include <stdexcept>

// Ends a copy run after a record failed, when the user chose to stop on a
// failure (response "Terminate copy process", or "No" to "Continue
// copying?"). The copy run catches it, ends its status with E_ABORT and
// writes nothing more.
class MRV_DIFailureAbortException : public std::runtime_error {
public:
    explicit MRV_DIFailureAbortException(const QString& reason);

    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};
