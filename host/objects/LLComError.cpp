#include "host/objects/LLComError.h"

namespace {
QString hex(HRESULT code) {
    return QStringLiteral("%1").arg(static_cast<quint32>(code), 8, 16, QLatin1Char('0')).toUpper();
}
} // namespace

ComError::ComError(HRESULT code, QString description)
    : m_code(code), m_description(std::move(description)), m_what(errorMessage().toUtf8()) {}

QString ComError::description() const {
    return m_description.isEmpty() ? textForCode(m_code) : m_description;
}

QString ComError::errorMessage() const {
    return QStringLiteral("0x%1: %2").arg(hex(m_code), description());
}

QString ComError::textForCode(HRESULT code) {
    switch (code) {
    case S_OK:
        return QStringLiteral("The operation completed successfully");
    case S_FALSE:
        return QStringLiteral("The operation completed with a remark");
    case E_NOTIMPL:
        return QStringLiteral("Not implemented");
    case E_POINTER:
        return QStringLiteral("Invalid pointer");
    case E_ABORT:
        return QStringLiteral("Operation aborted");
    case E_FAIL:
        return QStringLiteral("Unspecified error");
    case E_UNEXPECTED:
        return QStringLiteral("Catastrophic failure");
    case E_ACCESSDENIED:
        return QStringLiteral("Access is denied");
    case E_OUTOFMEMORY:
        return QStringLiteral("Not enough memory");
    case E_INVALIDARG:
        return QStringLiteral("The parameter is incorrect");
    default:
        return QStringLiteral("Unknown error 0x%1").arg(hex(code));
    }
}
