#include "host/objects/LLHostObject.h"

#include "host/objects/LLErrors.h"
#include "tsframework/ComError.h"

namespace LLObjectsCOM {

QVariant HostObject::Invoke(const QString& name, const QVariantList& args) {
    const int member = GetIDOfName(name);
    if (member < 0)
        throw ComError(errUnknownMember, QStringLiteral("Unknown member '%1'").arg(name));
    return Invoke(member, args);
}

} // namespace LLObjectsCOM
