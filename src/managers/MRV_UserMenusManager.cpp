#include "managers/MRV_UserMenusManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLCompanyService.h"
#include "managers/MRV_UserSettings.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString Menus = u"CUMI"_s;
const QString Users = u"OUSR"_s;
const QString Code = u"USER_CODE"_s;
const QString Name = u"U_NAME"_s;
const QString EmptyMenu = u"<UserMenu />"_s;

} // namespace

MRV_UserMenusManager::MRV_UserMenusManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_UserServiceManager(context, categoryId, LLObjectsCOM::CompanyService::MenuServiceType,
                             Menus) {
    // A user is known by its code in every company; its numbers differ.
    m_keyColumns = {Code};
    m_descriptionElements = {u"User"_s};
    m_listColumns = {Code, Name};
    m_listElements = {u"User"_s, QString()};
    m_writeFields = {u"User"_s};
    m_columnFlags = {0, 0};
    declareTable({.name = Menus, .keyColumns = {Code}, .descriptionColumn = Code});
}

int MRV_UserMenusManager::initialize() {
    MRV_DIInterface::initialize();
    // A configuration's records are found by the user element.
    setKeys(m_keyColumns, {u"User"_s});
    return 1;
}

QList<QVariantList> MRV_UserMenusManager::usersWithMenus(MRV_CompanySql& company) {
    using MRV_UserSettings::qualified;
    const QString statement =
        u"SELECT %1, %2, %3 FROM %4 u WHERE %5 IN (SELECT %6 FROM %7) ORDER BY %1"_s.arg(
            qualified(company, u"u"_s, Code), qualified(company, u"u"_s, u"INTERNAL_K"_s),
            qualified(company, u"u"_s, Name), company.table(Users),
            qualified(company, u"u"_s, u"USERID"_s), company.column(u"USERID"_s),
            company.table(Menus));
    return company.query(statement).values;
}

void MRV_UserMenusManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_UserMenusManager::readFromDatabase");
    tables.clear();
    MRV_CompanySql base(baseCompany());
    QList<std::pair<QString, int>> users; // code, internal key
    if (keys.isEmpty()) {
        for (const QVariantList& row : usersWithMenus(base))
            users << std::pair{MRV_CompanySql::text(row.value(0)), row.value(1).toInt()};
    } else {
        for (const QVariantList& key : keys) {
            const QString code = key.value(0).toString();
            if (const auto user = MRV_UserSettings::findUser(base, code))
                users << std::pair{code, user->key};
            else
                log.LogDbg1(u"The base company has no user %s any more", code);
        }
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> menus = service(base);
    MRV_BOMTable entry{Menus, {}};
    for (const auto& [code, key] : users) {
        const QString menu = menus->Invoke(u"GetUserMenu"_s, {key}).toString();
        QString record, error;
        if (MRV_UserSettings::menuRecord(menu, code, record, error))
            entry.documents << MRV_BOMDocument{record, 0};
        else
            logReadFailure(code, error);
    }
    if (!entry.documents.isEmpty())
        tables << entry;
}

MRV_DIDataSet* MRV_UserMenusManager::listFromDatabase() {
    initialize();
    dataSet().clearRows();
    MRV_CompanySql base(baseCompany());
    for (const QVariantList& row : usersWithMenus(base)) {
        const QString code = MRV_CompanySql::text(row.value(0));
        dataSet().addRow({{code}, {code, MRV_CompanySql::text(row.value(2))}, code});
    }
    return &dataSet();
}

MRV_DIDataSet* MRV_UserMenusManager::listFromConfiguration(const BOMTableList& tables) {
    dataSet().clearRows();
    if (tables.isEmpty())
        return &dataSet();
    initialize();
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != Menus)
            continue;
        dataSet().clearRows(); // the last entry is the one listed
        for (const MRV_BOMDocument& document : entry.documents) {
            QString code, menu, error;
            // The name is the base's and not in the record.
            if (MRV_UserSettings::readMenuRecord(document.xml, code, menu, error))
                dataSet().addRow({{code}, {code, QString()}, code});
        }
    }
    return &dataSet();
}

void MRV_UserMenusManager::removeAll(MRV_CompanySql& target, LLObjectsCOM::HostObject& menus) {
    for (const QVariantList& row : usersWithMenus(target)) {
        Outcome outcome;
        outcome.operation = RemovalPhase;
        outcome.targetCode = MRV_CompanySql::text(row.value(0));
        outcome.targetDescription = MRV_CompanySql::text(row.value(2));
        try {
            menus.Invoke(u"SetUserMenu"_s, {row.value(1).toInt(), EmptyMenu});
            outcome.succeeded = true;
        } catch (const ComError& e) {
            outcome.error = errorText(e);
        }
        logOutcome(outcome);
    }
}

void MRV_UserMenusManager::write(MRV_CompanySql& target, LLObjectsCOM::HostObject& menus,
                                 const MRV_BOMDocument& document, int copyMethod) {
    Outcome outcome;
    outcome.operation = copyMethod == UpdateExisting ? UpdateExisting : AddNew;
    QString code, menu;
    if (!MRV_UserSettings::readMenuRecord(document.xml, code, menu, outcome.error)) {
        logOutcome(outcome);
        return;
    }
    outcome.baseCode = code;
    outcome.baseDescription = code;
    writeForUser(
        target, code, copyMethod, outcome,
        [&](const MRV_UserSettings::User& user) {
            MRV_SQLBuilder items = target.builder(Menus);
            items.addSelectColumn(u"USERID"_s);
            items.addCondition(u"USERID"_s, MRV_CompanySql::text(user.number),
                               MRV_SQLBuilder::Number);
            return !user.number.isNull() && !target.query(items.buildSelect()).values.isEmpty();
        },
        [&](const MRV_UserSettings::User& user) {
            menus.Invoke(u"SetUserMenu"_s, {user.key, MRV_UserSettings::declaration() + menu});
        });
}
