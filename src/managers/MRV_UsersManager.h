#pragma once

#include "di/MRV_DIInterface.h"

class MRV_CompanySql;

// Users: business object 12 in OUSR, with the departments (OUDP) and
// branches (OUBR) they belong to and the additional authorization tree
// (OUPT, object 214). The host numbers users, departments and branches per
// company: a user is known everywhere by its user code, a department or
// branch by its name.
//
// Every user travels, superusers too: a company needs its administrators,
// and whoever may run the copy is a superuser of the target already. Who
// is a superuser of a user the target has stays the target's decision, so
// that a copy never takes the operator's rights nor gives a target account
// new ones.
//
// A user new to the target gets a first password drawn from the system's
// secure random source, which the user must change at the first log-in,
// and no defaults group (Defaults gives the groups); the password is handed
// to the operator in the run's password file only. A user the target has
// keeps its password, its defaults group and its superuser flag.
//
// The removal phase of "Replace All" removes the target's users but its
// superusers and the users an employee is; departments, branches and the
// tree stay, since others name them. The tree is always added and updated,
// whatever the copy method.
class MRV_UsersManager : public MRV_DIInterface {
public:
    MRV_UsersManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The base's users, with the names of their departments and branches.
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    // A user being added gets its first password, must change it, and has
    // no defaults group.
    void prepareObject(int objectType, LLObjectsCOM::HostObject& object, int mode) override;

private:
    int writeUsers(MRV_CompanySql& target, const QList<MRV_BOMDocument>& documents, int copyMethod);
    // Adds a user with a new first password, kept in the run's password
    // file before the user is added; false with the outcome's error set.
    bool addUser(const QString& userCode, const QString& xml, Outcome& outcome);

    // The first password of the user being added.
    QString m_password;
};
