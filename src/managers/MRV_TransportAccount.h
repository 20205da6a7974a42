#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace LLObjectsCOM {
class Company;
}
class MRV_CompanySql;
class MRV_ConnectionContext;

// The temporary account "MVTRANSACCT" of a target company. A tax object
// cannot be added without its accounts, which may arrive only with a later
// category; until then a new tax object points at this account, and the
// G/L settings of the tax setup give it its real ones.
class MRV_TransportAccount {
public:
    static QString code();
    // The account properties of a tax object type (as record elements and
    // as columns of its table), in the order they are set.
    static QStringList accountProperties(int objectType);

    // A tax object of the target that still points at the account.
    struct User {
        QString table;
        QString code;
        QString name;
        QStringList fields;
    };

    // Adds the account to the target unless it is there. Throws ComError.
    static void ensure(MRV_CompanySql& target);
    static bool exists(MRV_CompanySql& target);
    static QList<User> users(MRV_CompanySql& target);
    // Deletes the account when no tax object points at it any more; a
    // deleted account would leave them pointing at nothing. True when the
    // target has no transport account afterwards. Throws ComError.
    static bool removeIfUnused(MRV_CompanySql& target);
    // The end of a copy run: the account goes when nothing points at it;
    // otherwise every tax object that still does gets a failed line of the
    // tax definitions in the copy log, so that the user knows what to
    // finish. Never throws: a copy run that has ended cannot fail here.
    static void settle(MRV_ConnectionContext& context);
    // After a write that brought real accounts: the account goes unless a
    // tax object still points at it, which the program log then says.
    // Never throws: the write itself is done.
    static void removeAfterWrite(LLObjectsCOM::Company& target, const QString& category);
};
