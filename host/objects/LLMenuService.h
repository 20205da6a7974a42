#pragma once

#include "host/objects/LLHostObject.h"

#include <QString>

#include <memory>

namespace LLObjectsCOM {

struct CompanyState;

// Business service 2002: a user's own menu (CUMI), as
//
//   <UserMenu><MenuItem><Position>…</Position><Father>…</Father><Type>F</Type>
//   <Name>…</Name><Link>…</Link></MenuItem>…</UserMenu>
//
// in position order (NULL values left out), or <UserMenu /> for a user
// without one. Type is M (menu entry), F (folder), R (report) or Q
// (query); Father is -1 at the top or the position of a folder of the same
// menu. Users are named by their internal key; the items are kept under
// the user's number (OUSR.USERID). A failing call sets the company's last
// error and throws ComError.
class MenuService : public HostObject {
public:
    static constexpr int TypeNumber = 2002;

    explicit MenuService(std::shared_ptr<CompanyState> company);

    QString GetUserMenu(int userKey);
    // Replaces the user's menu with the document's, all or none; <UserMenu />
    // removes it. A declaration before the root is allowed.
    void SetUserMenu(int userKey, const QString& xml);

    int ObjectType() const override { return TypeNumber; }
    int GetIDOfName(const QString& name) const override;
    QVariant Invoke(int member, const QVariantList& args) override;
    using HostObject::Invoke;

private:
    // The user's number; null when the user has none.
    QVariant userNumber(int userKey);
    // Every father is a folder of the menu and no folder is its own
    // ancestor.
    void checkTree(const QVariant& number);

    std::shared_ptr<CompanyState> m_company;
};

} // namespace LLObjectsCOM
