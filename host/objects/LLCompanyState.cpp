#include "host/objects/LLCompanyState.h"

#include "host/objects/LLComError.h"

namespace LLObjectsCOM {

void CompanyState::fail(int code, const QString& text) {
    setLastError(code, text);
    throw ComError(code, text);
}

} // namespace LLObjectsCOM
