#include "di/MRV_DIFailureAbortException.h"

MRV_DIFailureAbortException::MRV_DIFailureAbortException(const QString& reason)
    : std::runtime_error(reason.toStdString()), m_reason(reason) {}
