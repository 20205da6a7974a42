#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace LLObjectsCOM {

// What every object the company hands out offers: its type number and
// calls by name (a name resolves to a member id, then the member is
// invoked as a method or a property get).
class HostObject {
public:
    virtual ~HostObject() = default;
    virtual int ObjectType() const = 0;
    // The member id of name (compared without regard to case), or -1.
    virtual int GetIDOfName(const QString& name) const = 0;
    // Throws ComError when the member fails or does not exist.
    virtual QVariant Invoke(int member, const QVariantList& args) = 0;
    // Both steps at once; throws ComError for an unknown name.
    QVariant Invoke(const QString& name, const QVariantList& args = {});

protected:
    using MemberTable = QList<std::pair<const char*, int>>;
    // The id of name in a table of (member, id), without regard to case; -1.
    static int memberId(const MemberTable& members, const QString& name);
};

} // namespace LLObjectsCOM

Q_DECLARE_METATYPE(LLObjectsCOM::HostObject*)
