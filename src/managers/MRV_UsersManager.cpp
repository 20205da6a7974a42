#include "managers/MRV_UsersManager.h"

#include "di/MRV_CompanySql.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIReferences.h"
#include "di/MRV_InitialPasswords.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "managers/MRV_ListedNames.h"
#include "managers/MRV_UserSettings.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString Users = u"OUSR"_s;
const QString Departments = u"OUDP"_s;
const QString Branches = u"OUBR"_s;
const QString Tree = u"OUPT"_s;
constexpr int UserObject = 12;

const QString CodeField = u"UserCode"_s;
const QString KeyField = u"InternalKey"_s;
// What a record never sets in the target: the password and whether it
// must change are the target's own, the defaults group comes with
// Defaults.
const QStringList TargetOwn{u"UserPassword"_s, u"MustChangePassword"_s, u"Defaults"_s};
const QString SuperuserField = u"Superuser"_s;

// A department or branch: numbered per company, known by its name.
MRV_TableDeclaration organization(const QString& table, int counter) {
    return {.name = table,
            .keyColumns = {u"Code"_s},
            .descriptionColumn = u"Name"_s,
            .generatedKeyName = u"Name"_s,
            .autoKeyObject = counter,
            .companion = true};
}

QString joined(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + u"; "_s + b;
}

} // namespace

MRV_UsersManager::MRV_UsersManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"INTERNAL_K"_s};
    m_descriptionElements = {u"UserName"_s};
    m_listColumns = {u"USER_CODE"_s, u"U_NAME"_s, u"SUPERUSER"_s,  u"E_Mail"_s,
                     u"PortNum"_s,   u"Fax"_s,    u"Department"_s, u"Branch"_s};
    m_listElements = {
        CodeField,      u"UserName"_s,   u"Superuser"_s, u"eMail"_s, u"MobilePhoneNumber"_s,
        u"FaxNumber"_s, u"Department"_s, u"Branch"_s};
    m_writeFields = {CodeField, u"UserName"_s};
    m_columnFlags = {0, 1, 0, 1, 1, 1, 0, 0};
    declareTable({
        .name = Users,
        .objectType = UserObject,
        .keyColumns = {u"INTERNAL_K"_s},
        .keyElements = {KeyField},
        .descriptionColumn = u"U_NAME"_s,
        .descriptionElement = u"UserName"_s,
        // The target's superusers run the company (the operator among
        // them), and a user that is an employee stays with it: they are
        // updated instead.
        .removalFilter = {u"SUPERUSER <> 'Y' AND INTERNAL_K NOT IN (SELECT userId FROM OHEM "
                          u"WHERE userId IS NOT NULL)"_s},
        .references = {MRV_Reference::byName(u"Department"_s, Departments, u"Code"_s, {u"Name"_s}),
                       MRV_Reference::byName(u"Branch"_s, Branches, u"Code"_s, {u"Name"_s})},
    });
    declareTable(organization(Departments, 119));
    declareTable(organization(Branches, 118));
    // The permission ids of the tree are the host's own: they are the same
    // in every company, and a branch names its parent by id.
    declareTable({
        .name = Tree,
        .objectType = 214,
        .keyColumns = {u"AbsId"_s},
        .keyElements = {u"PermissionID"_s},
        .descriptionColumn = u"Name"_s,
        .readAll = {u"SELECT AbsId FROM OUPT ORDER BY VisOrder"_s},
        .parentColumn = u"Father"_s,
        .parentElement = u"ParentID"_s,
    });
}

MRV_DIDataSet* MRV_UsersManager::listFromDatabase() {
    MRV_DIDataSet* set = MRV_DIInterface::listFromDatabase();
    MRV_CompanySql base(baseCompany());
    // The grid shows a department or branch by its name, as the record
    // carries it.
    for (const auto& [column, table] :
         {std::pair{u"Department"_s, Departments}, std::pair{u"Branch"_s, Branches}})
        MRV_ListedNames::show(*set, column,
                              MRV_ListedNames::inCompany(base, table, u"Code"_s, u"Name"_s));
    return set;
}

HRESULT MRV_UsersManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_UsersManager::writeToTarget");
    const int method = effectiveMethod(copyMethod);
    if (tables.isEmpty())
        return S_OK;
    if (method == RemovalPhase)
        return MRV_DIInterface::writeToTarget({{Users, {}}}, RemovalPhase);
    BOMTableList organizationRows, tree;
    QList<MRV_BOMDocument> users;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name == Departments || entry.name == Branches)
            organizationRows << entry;
        else if (entry.name == Tree)
            tree << entry;
        else if (entry.name == Users)
            users += entry.documents;
    }
    int failed = 0;
    // Departments and branches first: the users name them.
    for (const auto& [entries, written] :
         {std::pair{&organizationRows, method}, std::pair{&tree, int(AddAndUpdate)}}) {
        if (entries->isEmpty())
            continue;
        if (MRV_DIInterface::writeToTarget(*entries, written) == E_FAIL)
            return E_FAIL;
        failed += failedRecords();
    }
    try {
        MRV_CompanySql target(targetCompany());
        failed += writeUsers(target, users, method);
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return failed > 0 ? S_FALSE : S_OK;
}

int MRV_UsersManager::writeUsers(MRV_CompanySql& target, const QList<MRV_BOMDocument>& documents,
                                 int copyMethod) {
    MRV_DIReferences references(target);
    return writeEach(documents, copyMethod, [&](MRV_BOMRecord& record, Outcome& outcome) {
        MRV_BOMRecord::Group* group = record.group(Users);
        const QString code =
            group && !group->rows.isEmpty() ? group->rows.first().value(CodeField) : QString();
        outcome.baseCode = code;
        outcome.baseDescription = record.firstRow(Users).value(u"UserName"_s);
        if (code.isEmpty()) {
            outcome.error = u"The record is no user with a user code"_s;
            return;
        }
        const std::optional<MRV_UserSettings::User> found =
            MRV_UserSettings::findUser(target, code);
        if (!admits(copyMethod, found.has_value(), outcome))
            return;
        MRV_BOMRecord::Row& row = group->rows.first();
        for (const QString& field : TargetOwn)
            row.removeField(field);
        if (found)
            row.removeField(SuperuserField);
        if (!prepareForTarget(references, mainTable(), record, outcome))
            return;
        MRV_BOMRecord::Row& prepared = record.group(Users)->rows.first();
        if (found) {
            // The target's user of the code: its own number.
            prepared.setValue(KeyField, QString::number(found->key));
            UpdateDataSetFromDI(mainTable(), record.toXml(), {found->key}, outcome);
        } else {
            // The host numbers the new user.
            prepared.removeField(KeyField);
            addUser(code, record.toXml(), outcome);
        }
    });
}

bool MRV_UsersManager::addUser(const QString& userCode, const QString& xml, Outcome& outcome) {
    outcome.operation = AddNew;
    MRV_InitialPasswords* passwords =
        getConnectionContext() ? getConnectionContext()->initialPasswords : nullptr;
    if (!passwords) {
        outcome.error = u"The run keeps no file for the first passwords of new users: the user "
                        u"is not added"_s;
        return false;
    }
    // The password is in the operator's file before the user can use it:
    // a user is never added with a password nobody knows.
    QString why;
    const QString password = MRV_InitialPasswords::generate();
    if (!passwords->add(userCode, password, why)) {
        outcome.error = why + u": the user is not added"_s;
        return false;
    }
    m_password = password;
    const bool added = AddDataSetFromDI(mainTable(), xml, outcome);
    m_password.clear();
    if (!added) {
        if (!passwords->withdraw(userCode, why))
            outcome.error = joined(outcome.error, why);
        return false;
    }
    outcome.note = joined(
        outcome.note, u"The first password is in %1; it must be changed at the first log-in"_s.arg(
                          passwords->path()));
    return true;
}

void MRV_UsersManager::prepareObject(int objectType, LLObjectsCOM::HostObject& object, int mode) {
    if (objectType != UserObject || mode != BeforeAdd)
        return;
    // A user is only added with a password the operator's file holds.
    if (m_password.isEmpty())
        throw ComError(E_FAIL, u"The user has no first password in the run's password file"_s);
    auto* user = dynamic_cast<LLObjectsCOM::BusinessObject*>(&object);
    const QList<std::pair<QString, QVariant>> properties{{u"UserPassword"_s, m_password},
                                                         {u"MustChangePassword"_s, u"Y"_s},
                                                         {u"Defaults"_s, QVariant()}};
    for (const auto& [property, value] : properties) {
        // Without any of them the user would be added with a password
        // nobody chose, or one that lasts, or another's group.
        if (!user || object.GetIDOfName(property) < 0)
            throw ComError(E_FAIL, u"No access to property "_s + property);
        try {
            user->SetProperty(property, value);
        } catch (const ComError&) {
            throw ComError(E_FAIL, u"No access to property "_s + property);
        }
    }
}
