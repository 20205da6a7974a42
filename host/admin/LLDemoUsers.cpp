// Users with their departments, branches and permissions, and the
// additional authorization tree.

#include "host/admin/LLDemoWriter.h"

#include "host/objects/LLPassword.h"

namespace LLObjectsCOM::demo {

namespace {

// A sample of the host's system permission ids, and the additional ones
// this company defines (2001 and up).
const int systemPermissions[] = {1,   2,   3,   4,   6,   7,   8,   9,   10,  12,  13,  15, 16, 17,
                                 18,  19,  20,  21,  23,  24,  25,  26,  27,  28,  29,  30, 74, 105,
                                 142, 151, 154, 158, 177, 179, 203, 241, 279, 352, 382, 500};

void writeOrganization(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QStringList departments{QStringLiteral("Sales"), QStringLiteral("Purchasing"),
                                  QStringLiteral("Finance"), QStringLiteral("Warehouse"),
                                  QStringLiteral("Management")};
    for (int d = 0; d < departments.size(); ++d) {
        w.put(QStringLiteral("OUDP"),
              {{QStringLiteral("Code"), d + 1},
               {QStringLiteral("Name"), departments[d]},
               {QStringLiteral("Remarks"), QStringLiteral("%1 department").arg(departments[d])}});
        k.departments << d + 1;
    }
    const QStringList branches{QStringLiteral("Headquarters"), QStringLiteral("East Branch"),
                               QStringLiteral("West Branch")};
    for (int b = 0; b < branches.size(); ++b) {
        w.put(QStringLiteral("OUBR"), {{QStringLiteral("Code"), b + 1},
                                       {QStringLiteral("Name"), branches[b]},
                                       {QStringLiteral("Remarks"),
                                        QStringLiteral("Opened %1").arg(w.year() - 10 + 3 * b)}});
        k.branches << b + 1;
    }
}

void writeAuthorizationTree(DemoWriter& w) {
    struct Node {
        int id, father;
        QString name;
    };
    const QList<Node> nodes{{2001, 0, QStringLiteral("Mirrova copies")},
                            {2002, 2001, QStringLiteral("Run a copy")},
                            {2003, 2001, QStringLiteral("Edit worksheets")},
                            {2004, 0, QStringLiteral("Company reports")},
                            {2005, 2004, QStringLiteral("Margin report")},
                            {2006, 2004, QStringLiteral("Stock aging report")}};
    int order = 0;
    for (const Node& n : nodes) {
        QVariantMap row{
            {QStringLiteral("AbsId"), n.id},
            {QStringLiteral("Name"), n.name},
            {QStringLiteral("Levels"), n.father == 0 ? 1 : 2},
            {QStringLiteral("IsItem"), n.father == 0 ? QStringLiteral("N") : QStringLiteral("Y")},
            {QStringLiteral("VisOrder"), ++order},
            {QStringLiteral("Options"), n.father == 0 ? 0 : 3}};
        if (n.father != 0)
            row.insert(QStringLiteral("Father"), n.father);
        w.put(QStringLiteral("OUPT"), row);
    }
}

} // namespace

void writeUsers(DemoWriter& w) {
    DemoKeys& k = w.keys();
    writeOrganization(w);
    writeAuthorizationTree(w);
    k.userKeys << 1; // lobster, made with the company
    struct User {
        QString code;
        bool superuser;
        int department, branch;
    };
    const QList<User> users{
        {QStringLiteral("manager"), true, 5, 1},     {QStringLiteral("sales1"), false, 1, 1},
        {QStringLiteral("sales2"), false, 1, 2},     {QStringLiteral("buyer"), false, 2, 1},
        {QStringLiteral("accountant"), false, 3, 1}, {QStringLiteral("stock"), false, 4, 3}};
    const QStringList permissionValues{QStringLiteral("F"), QStringLiteral("R"),
                                       QStringLiteral("N")};
    for (int u = 0; u < users.size(); ++u) {
        const User& user = users[u];
        const int key = u + 2;
        const QString first = w.firstName();
        const QString last = w.lastName();
        w.put(QStringLiteral("OUSR"),
              {{QStringLiteral("INTERNAL_K"), key},
               {QStringLiteral("USERID"), key},
               {QStringLiteral("USER_CODE"), user.code},
               {QStringLiteral("U_NAME"), QStringLiteral("%1 %2").arg(first, last)},
               {QStringLiteral("SUPERUSER"),
                user.superuser ? QStringLiteral("Y") : QStringLiteral("N")},
               {QStringLiteral("PASSWORD"), Password::hash(user.code)},
               {QStringLiteral("E_Mail"), QStringLiteral("%1@demo.example.com").arg(user.code)},
               {QStringLiteral("PortNum"), w.phone()},
               {QStringLiteral("Fax"), w.phone()},
               {QStringLiteral("Department"), user.department},
               {QStringLiteral("Branch"), user.branch},
               {QStringLiteral("Language"), 3},
               {QStringLiteral("CreateDate"), DemoWriter::dateText(w.day(1, 5))}});
        k.userKeys << key;
        if (user.superuser)
            continue;
        // What each user may do: mostly full or read-only rights.
        for (const int permission : systemPermissions)
            w.put(QStringLiteral("OPRM"),
                  {{QStringLiteral("UserSign"), key},
                   {QStringLiteral("PermId"), permission},
                   {QStringLiteral("Permission"), permissionValues[w.number(0, 5) / 2]}});
        for (int extra = 2002; extra <= 2006; extra += u % 2 + 1)
            w.put(QStringLiteral("OPRM"), {{QStringLiteral("UserSign"), key},
                                           {QStringLiteral("PermId"), extra},
                                           {QStringLiteral("Permission"), QStringLiteral("F")}});
    }
}

} // namespace LLObjectsCOM::demo
