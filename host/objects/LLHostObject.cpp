#include "host/objects/LLHostObject.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"

namespace LLObjectsCOM {

QVariant HostObject::Invoke(const QString& name, const QVariantList& args) {
    const int member = GetIDOfName(name);
    if (member < 0)
        throw ComError(errUnknownMember, QStringLiteral("Unknown member '%1'").arg(name));
    return Invoke(member, args);
}

int HostObject::memberId(const MemberTable& members, const QString& name) {
    for (const auto& [member, id] : members)
        if (name.compare(QLatin1String(member), Qt::CaseInsensitive) == 0)
            return id;
    return -1;
}

} // namespace LLObjectsCOM
