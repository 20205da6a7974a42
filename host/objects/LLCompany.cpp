#include "host/objects/LLCompany.h"

#include "host/objects/LLBridge.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLLoginContext.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <utility>

namespace LLObjectsCOM {

Company::Company() : m_state(std::make_shared<CompanyState>()) {}

Company::~Company() {
    Disconnect();
}

int Company::fail(int code, const QString& text) {
    m_state->setLastError(code, text);
    return code;
}

bool Company::reachServer() {
    QString error;
    std::optional<LLObjectsCOM::Server> server = LLObjectsCOM::Server::find(this->Server, &error);
    if (!server)
        return fail(errUnknownServer, error) == 0;
    if (DbServerType != 0 && DbServerType != server->type())
        return fail(errServerType, QStringLiteral("The server '%1' is of database type %2, not %3")
                                       .arg(this->Server)
                                       .arg(server->type())
                                       .arg(DbServerType)) == 0;
    const bool admitted = UseTrusted ? server->trusts(LLObjectsCOM::Server::currentOsUser())
                                     : server->checkLogin(DbUserName, DbPassword);
    if (!admitted)
        return fail(errDatabaseLogin,
                    UseTrusted
                        ? QStringLiteral("The server '%1' does not trust the user '%2'")
                              .arg(this->Server, LLObjectsCOM::Server::currentOsUser())
                        : QStringLiteral("Login failed for database user '%1'").arg(DbUserName)) ==
               0;
    m_state->server = std::move(server);
    return true;
}

int Company::Connect() {
    if (Connected())
        return fail(errAlreadyConnected, QStringLiteral("The company is connected already"));
    if (!reachServer())
        return m_state->lastErrorCode;
    const LLObjectsCOM::Server& server = *m_state->server;
    const bool byContext = !LoginContext.isEmpty();
    if (byContext) {
        QString database, user;
        const bool known = LoginContexts(server).redeem(std::exchange(LoginContext, QString()),
                                                        m_state->clock(), database, user);
        if (!known)
            return fail(errWrongUserOrPassword,
                        QStringLiteral("The login context is unknown, used or expired"));
        CompanyDB = database;
        UserName = user;
    }
    const QString path = server.databasePath(CompanyDB);
    if (path.isEmpty())
        return fail(
            errUnknownDatabase,
            QStringLiteral("The server '%1' has no database '%2'").arg(this->Server, CompanyDB));
    QString error;
    std::unique_ptr<Database> db = Database::open(server, path, &error);
    if (!db || !db->isCompany())
        return fail(
            errNotACompany,
            QStringLiteral("'%1' is not a company database%2")
                .arg(CompanyDB, error.isEmpty() ? QString() : QStringLiteral(": ") + error));

    QSqlQuery user(db->connection());
    user.prepare(QStringLiteral(
        "SELECT INTERNAL_K, PASSWORD, Locked, PwdChange FROM OUSR WHERE USER_CODE = ?"));
    user.addBindValue(UserName);
    if (!user.exec())
        return fail(errNotACompany, QStringLiteral("'%1' is not a company database: %2")
                                        .arg(CompanyDB, user.lastError().databaseText()));
    // One answer for an unknown user and a wrong password: the caller must
    // not learn which user codes exist.
    if (!user.next() || (!byContext && !Password::verify(Password, user.value(1).toString())) ||
        user.value(2).toString() == u"Y")
        return fail(errWrongUserOrPassword,
                    QStringLiteral("Wrong user name or password for company '%1'").arg(CompanyDB));
    const int userKey = user.value(0).toInt();
    const bool mustChange = !byContext && user.value(3).toString() == u"Y";
    user.finish();
    // A password someone else chose (a new user's first one) opens the
    // company only together with the user's own new one. A context comes
    // from a client whose log-in did that already.
    if (mustChange) {
        if (NewPassword.isEmpty())
            return fail(errPasswordMustChange,
                        QStringLiteral("The password of '%1' must be changed at this log-in")
                            .arg(UserName));
        if (NewPassword.size() < MinimumPasswordLength || NewPassword == Password)
            return fail(errPasswordMustChange,
                        QStringLiteral("A new password has at least %1 characters and differs "
                                       "from the one it replaces")
                            .arg(MinimumPasswordLength));
        QString why;
        if (!db->exec(QStringLiteral(
                          "UPDATE OUSR SET PASSWORD = ?, PwdChange = 'N' WHERE INTERNAL_K = ?"),
                      &why, {Password::hash(NewPassword), userKey}))
            return fail(errSql, why);
    }
    NewPassword.clear();
    m_userSignature = userKey;

    QSqlQuery info(db->connection());
    if (!info.exec(
            QStringLiteral("SELECT CINF.Version, OADM.CompnyName, CINF.LawsSet FROM CINF, OADM")) ||
        !info.next())
        return fail(errNotACompany,
                    QStringLiteral("'%1' has no company information").arg(CompanyDB));
    m_version = info.value(0).toInt();
    m_companyName = info.value(1).toString();
    m_localization = info.value(2).toString();
    info.finish();

    m_state->database = std::move(db);
    m_state->serverType = server.type();
    m_state->setLastError(0, QString());
    return 0;
}

QString Company::GetLoginContext() {
    if (!Connected())
        throw ComError(errNotConnected, QStringLiteral("The company is not connected"));
    QString error;
    const QString context =
        LoginContexts(*m_state->server).issue(CompanyDB, UserName, m_state->clock(), &error);
    if (context.isEmpty())
        throw ComError(E_FAIL, error);
    return context;
}

void Company::Disconnect() {
    if (m_inTransaction && m_state->database)
        m_state->database->exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
    m_state->database.reset();
    m_version = 0;
    m_companyName.clear();
    m_localization.clear();
    m_userSignature = 0;
}

void Company::GetLastError(int& code, QString& text) const {
    code = m_state->lastErrorCode;
    text = m_state->lastErrorText;
}

std::unique_ptr<Recordset> Company::GetCompanyList() {
    if (!reachServer())
        throw ComError(m_state->lastErrorCode, m_state->lastErrorText);
    const LLObjectsCOM::Server& server = *m_state->server;
    QList<QVariantList> rows;
    for (const Database::CompanyInfo& c : Database::companies(server))
        rows.append({c.database, c.name, QString::number(c.version)});
    return std::make_unique<Recordset>(
        m_state,
        QStringList{QStringLiteral("dbName"), QStringLiteral("cmpName"), QStringLiteral("versStr")},
        rows);
}

std::unique_ptr<HostObject> Company::GetBusinessObject(int objectType) {
    if (objectType == Recordset::TypeNumber)
        return GetRecordset();
    if (objectType == Bridge::TypeNumber)
        return std::make_unique<Bridge>(m_state);
    const ObjectDefinition* definition = ObjectCatalog::standard().object(objectType);
    if (!definition)
        m_state->fail(errUnknownObject, QStringLiteral("Unknown object type %1").arg(objectType));
    return std::make_unique<BusinessObject>(m_state, *definition);
}

std::unique_ptr<Recordset> Company::GetRecordset() {
    return std::make_unique<Recordset>(m_state);
}

std::unique_ptr<CompanyService> Company::GetCompanyService() {
    if (!Connected())
        m_state->fail(errNotConnected, QStringLiteral("The company is not connected"));
    return std::make_unique<CompanyService>(m_state, m_userSignature);
}

std::unique_ptr<BusinessObject> Company::GetBusinessObjectFromXML(const QString& xml, int index) {
    // The object number stands in the document's AdmInfo.
    static const QRegularExpression object(
        QStringLiteral("<AdmInfo>\\s*<Object>\\s*(-?\\d+)\\s*</Object>"));
    const QRegularExpressionMatch m = object.match(xml);
    const ObjectDefinition* definition =
        m.hasMatch() ? ObjectCatalog::standard().object(m.captured(1).toInt()) : nullptr;
    if (!definition)
        m_state->fail(errBadDocument,
                      m.hasMatch() ? QStringLiteral("Unknown object type %1").arg(m.captured(1))
                                   : QStringLiteral("The document names no object type"));
    auto bo = std::make_unique<BusinessObject>(m_state, *definition);
    if (const int code = bo->ReadXml(xml, index); code != 0)
        throw ComError(code, m_state->lastErrorText);
    return bo;
}

void Company::StartTransaction() {
    if (!Connected())
        m_state->fail(errNotConnected, QStringLiteral("The company is not connected"));
    if (m_inTransaction)
        m_state->fail(errInvalidArgument, QStringLiteral("A transaction is open already"));
    QString error;
    if (!m_state->database->exec(QStringLiteral("BEGIN IMMEDIATE"), &error))
        m_state->fail(errSql, error);
    m_inTransaction = true;
}

void Company::EndTransaction(int option) {
    if (!Connected() || !m_inTransaction)
        m_state->fail(errNoTransaction, QStringLiteral("No transaction is open"));
    QString error;
    const bool ok = m_state->database->exec(
        option == 1 ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"), &error);
    m_inTransaction = false;
    if (!ok) {
        // A commit that failed leaves the database's transaction open; as
        // on a server, it ends rolled back, so that nothing half-known
        // stays behind and the next transaction can start.
        if (option != 1)
            m_state->database->exec(QStringLiteral("ROLLBACK"), nullptr);
        m_state->fail(errSql, error);
    }
}

void Company::setClock(std::function<QDateTime()> clock) {
    m_state->clock = std::move(clock);
}

} // namespace LLObjectsCOM
