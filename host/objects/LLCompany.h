#pragma once

#include "host/objects/LLCompanyState.h"

#include <QString>

#include <functional>
#include <memory>

namespace LLObjectsCOM {

class BusinessObject;
class CompanyService;
class HostObject;
class Recordset;

// The host's company object: the connection to one company database of a
// server, with the login properties the caller sets before Connect.
class Company {
public:
    Company();
    ~Company();
    Company(const Company&) = delete;
    Company& operator=(const Company&) = delete;

    // Connection properties, set before Connect.
    QString Server;
    QString CompanyDB;
    QString UserName;
    QString Password;
    int DbServerType = 0; // 0: take the server's own type
    QString DbUserName;
    QString DbPassword;
    bool UseTrusted = false;
    // Instead of the user name and password: a login context another
    // process of the same session handed over (GetLoginContext). Connect
    // then logs in the context's user to the context's database, once.
    QString LoginContext;
    // The user's new password, for a log-in whose user must change the
    // password first (errPasswordMustChange otherwise); Connect sets it and
    // empties it.
    QString NewPassword;
    static constexpr int MinimumPasswordLength = 8;
    // Exchange switches the add-on sets; kept for the business objects.
    int XmlExportType = 0;
    bool XMLAsString = false;

    // 0, or an error code with the last error set: unknown server, wrong
    // database login, unknown database, a file that is not a company
    // database, wrong user or password, a password that must be changed
    // (only once the password was right).
    int Connect();
    void Disconnect();
    // A one-time login context for another process to connect as this
    // company's user, within a minute. Throws ComError when not connected
    // or when it cannot be kept.
    QString GetLoginContext();
    bool Connected() const { return m_state->connected(); }
    void GetLastError(int& code, QString& text) const;
    int GetLastErrorCode() const { return m_state->lastErrorCode; }
    QString GetLastErrorDescription() const { return m_state->lastErrorText; }

    // The connected company's version number (CINF), 0 when not connected.
    int Version() const { return m_version; }
    QString CompanyName() const { return m_companyName; }
    // The connected company's localization (CINF.LawsSet), empty when not
    // connected.
    QString Localization() const { return m_localization; }
    // The server type of the connected database (the server's own type).
    int ServerType() const { return m_state->serverType; }
    // The internal key of the logged-in user.
    int UserSignature() const { return m_userSignature; }

    // The server's companies: database name, company name, version (as
    // text), in database name order. Needs Server and the database login,
    // not a connection. Throws ComError when the server cannot be reached.
    std::unique_ptr<Recordset> GetCompanyList();
    // Object type 300 gives a recordset, 305 the bridge, the others a
    // business object of that type. Throws ComError for an unknown type.
    std::unique_ptr<HostObject> GetBusinessObject(int objectType);
    std::unique_ptr<Recordset> GetRecordset();
    // The company's service object (administration information, business
    // services). Throws ComError when not connected.
    std::unique_ptr<CompanyService> GetCompanyService();
    // A new business object of the document's type holding the document,
    // ready for Add. Throws ComError for a document it cannot take.
    std::unique_ptr<BusinessObject> GetBusinessObjectFromXML(const QString& xml, int index);

    bool InTransaction() const { return m_inTransaction; }
    // Throws ComError when not connected or a transaction is open already.
    void StartTransaction();
    // option 1 rolls back, anything else commits. Throws ComError when no
    // transaction is open.
    void EndTransaction(int option);

    // The clock that GETDATE() reads; tests inject a fixed time.
    void setClock(std::function<QDateTime()> clock);

    // For the host's own objects and tools.
    const std::shared_ptr<CompanyState>& state() const { return m_state; }

private:
    int fail(int code, const QString& text);
    // Finds the server and checks the database login; sets the last error.
    bool reachServer();

    std::shared_ptr<CompanyState> m_state;
    int m_version = 0;
    QString m_companyName;
    QString m_localization;
    int m_userSignature = 0;
    bool m_inTransaction = false;
};

} // namespace LLObjectsCOM
