#pragma once

#include "host/objects/LLHResult.h"

#include <QByteArray>
#include <QString>
#include <exception>

// The error a failing host call raises: a status code and, when the host
// gave one, its own description.
class ComError : public std::exception {
public:
    explicit ComError(HRESULT code, QString description = {});

    HRESULT code() const noexcept { return m_code; }
    // The host's description, or the framework's text for the code.
    QString description() const;
    // "0x80004005: Unspecified error" style text for logs.
    QString errorMessage() const;
    const char* what() const noexcept override { return m_what.constData(); }

    // The framework's text for a status code ("Unspecified error" ...).
    static QString textForCode(HRESULT code);

private:
    HRESULT m_code;
    QString m_description;
    QByteArray m_what;
};
