#include "managers/MRV_UserDisplaySettingsManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLCompanyService.h"
#include "managers/MRV_UserSettings.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString Preferences = u"CPRF"_s;
const QString Form = u"FormID"_s;
const QString Code = u"USER_CODE"_s;
const QString Name = u"U_NAME"_s;
const QString NoPreferences = u"<ColumnsPreferences />"_s;

QString recordCode(const QString& form, const QString& user) {
    return form + u", "_s + user;
}

} // namespace

MRV_UserDisplaySettingsManager::MRV_UserDisplaySettingsManager(MRV_ConnectionContext* context,
                                                               const QString& categoryId)
    : MRV_UserServiceManager(context, categoryId,
                             LLObjectsCOM::CompanyService::FormPreferencesServiceType,
                             Preferences) {
    // A user is known by its code in every company; its numbers differ.
    m_keyColumns = {Form, Code};
    m_descriptionElements = {u"User"_s};
    m_listColumns = {Code, Name, Form};
    m_listElements = {u"User"_s, QString(), Form};
    m_writeFields = {Form, u"User"_s};
    m_columnFlags = {0, 0, 0};
    declareTable({.name = Preferences, .keyColumns = {Form, Code}, .descriptionColumn = Code});
}

int MRV_UserDisplaySettingsManager::initialize() {
    MRV_DIInterface::initialize();
    // A configuration's records are found by their form and user elements.
    setKeys(m_keyColumns, {Form, u"User"_s});
    return 1;
}

QList<QVariantList> MRV_UserDisplaySettingsManager::preferences(MRV_CompanySql& company) {
    using MRV_UserSettings::qualified;
    const QString form = qualified(company, u"p"_s, Form);
    const QString code = qualified(company, u"u"_s, Code);
    const QString key = qualified(company, u"u"_s, u"INTERNAL_K"_s);
    const QString name = qualified(company, u"u"_s, Name);
    const QString statement =
        u"SELECT %1, %2, %3, %4 FROM %5 p INNER JOIN %6 u ON %7 = %3 GROUP BY %1, %2, %3, %4 "
        u"ORDER BY %2, %1"_s.arg(form, code, key, name, company.table(Preferences),
                                 company.table(u"OUSR"_s),
                                 qualified(company, u"p"_s, u"UserSign"_s));
    return company.query(statement).values;
}

void MRV_UserDisplaySettingsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_UserDisplaySettingsManager::readFromDatabase");
    tables.clear();
    MRV_CompanySql base(baseCompany());
    struct Wanted {
        QString form;
        QString code;
        int key;
    };
    QList<Wanted> wanted;
    if (keys.isEmpty()) {
        for (const QVariantList& row : preferences(base))
            wanted << Wanted{MRV_CompanySql::text(row.value(0)), MRV_CompanySql::text(row.value(1)),
                             row.value(2).toInt()};
    } else {
        // A form a user has no preferences for is read too: its record
        // takes the target's away.
        for (const QVariantList& key : keys) {
            const QString code = key.value(1).toString();
            if (const auto user = MRV_UserSettings::findUser(base, code))
                wanted << Wanted{key.value(0).toString(), code, user->key};
            else
                log.LogDbg1(u"The base company has no user %s any more", code);
        }
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> host = service(base);
    MRV_BOMTable entry{Preferences, {}};
    for (const Wanted& w : wanted) {
        const QString xml = host->Invoke(u"GetColumnsPreferences"_s, {w.key, w.form}).toString();
        QString record, error;
        if (MRV_UserSettings::preferencesRecord(xml, w.code, w.form, record, error))
            entry.documents << MRV_BOMDocument{record, 0};
        else
            logReadFailure(recordCode(w.form, w.code), error);
    }
    if (!entry.documents.isEmpty())
        tables << entry;
}

MRV_DIDataSet* MRV_UserDisplaySettingsManager::listFromDatabase() {
    initialize();
    dataSet().clearRows();
    MRV_CompanySql base(baseCompany());
    for (const QVariantList& row : preferences(base)) {
        const QString form = MRV_CompanySql::text(row.value(0));
        const QString code = MRV_CompanySql::text(row.value(1));
        dataSet().addRow({{form, code}, {code, MRV_CompanySql::text(row.value(3)), form}, code});
    }
    return &dataSet();
}

MRV_DIDataSet* MRV_UserDisplaySettingsManager::listFromConfiguration(const BOMTableList& tables) {
    dataSet().clearRows();
    if (tables.isEmpty())
        return &dataSet();
    initialize();
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != Preferences)
            continue;
        dataSet().clearRows(); // the last entry is the one listed
        for (const MRV_BOMDocument& document : entry.documents) {
            QString code, form, xml, error;
            // The name is the base's and not in the record.
            if (MRV_UserSettings::readPreferencesRecord(document.xml, code, form, xml, error))
                dataSet().addRow({{form, code}, {code, QString(), form}, code});
        }
    }
    return &dataSet();
}

void MRV_UserDisplaySettingsManager::removeAll(MRV_CompanySql& target,
                                               LLObjectsCOM::HostObject& service) {
    for (const QVariantList& row : preferences(target)) {
        Outcome outcome;
        outcome.operation = RemovalPhase;
        const QString form = MRV_CompanySql::text(row.value(0));
        outcome.targetCode = recordCode(form, MRV_CompanySql::text(row.value(1)));
        outcome.targetDescription = MRV_CompanySql::text(row.value(3));
        try {
            service.Invoke(u"SetColumnsPreferences"_s, {row.value(2).toInt(), form, NoPreferences});
            outcome.succeeded = true;
        } catch (const ComError& e) {
            outcome.error = errorText(e);
        }
        logOutcome(outcome);
    }
}

void MRV_UserDisplaySettingsManager::write(MRV_CompanySql& target,
                                           LLObjectsCOM::HostObject& service,
                                           const MRV_BOMDocument& document, int copyMethod) {
    Outcome outcome;
    outcome.operation = copyMethod == UpdateExisting ? UpdateExisting : AddNew;
    QString code, form, xml;
    if (!MRV_UserSettings::readPreferencesRecord(document.xml, code, form, xml, outcome.error)) {
        logOutcome(outcome);
        return;
    }
    outcome.baseCode = recordCode(form, code);
    outcome.baseDescription = code;
    writeForUser(
        target, code, copyMethod, outcome,
        [&](const MRV_UserSettings::User& user) {
            // The forms the target's user has preferences for.
            MRV_SQLBuilder forms = target.builder(Preferences);
            forms.addSelectColumn(Form);
            forms.addCondition(u"UserSign"_s, QString::number(user.key), MRV_SQLBuilder::Number);
            forms.addCondition(Form, form, MRV_SQLBuilder::Text);
            if (!forms.isValid())
                throw ComError(E_INVALIDARG, forms.invalidReason());
            return !target.query(forms.buildSelect()).values.isEmpty();
        },
        [&](const MRV_UserSettings::User& user) {
            service.Invoke(u"SetColumnsPreferences"_s,
                           {user.key, form, MRV_UserSettings::declaration() + xml});
        });
}
