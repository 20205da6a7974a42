#include "host/objects/LLCompanyState.h"

#include "tsframework/ComError.h"

namespace LLObjectsCOM {

void CompanyState::fail(int code, const QString& text) {
    setLastError(code, text);
    throw ComError(code, text);
}

} // namespace LLObjectsCOM
