#pragma once

#include "host/objects/LLHResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace LLObjectsCOM {
class Company;
class Recordset;
} // namespace LLObjectsCOM
class CLogBase;
class MRV_ConnectionContext;

// Company utilities over the host's data interface. Results are codes:
// negative on failure, unless said otherwise.
namespace MRV_Util {

// The server's companies, one row each: database name, company name and
// version as texts. rows is replaced only when the list could be read.
HRESULT GetCompanyList(LLObjectsCOM::Company& company, QList<QStringList>& rows, bool showErrors);
// Connects a company whose login the caller set.
HRESULT Connect(LLObjectsCOM::Company& company, MRV_ConnectionContext& context);
HRESULT Disconnect(LLObjectsCOM::Company& company);
// Gives to the login of from (server, user, password, database login and
// server type), for another company of the same server.
void CopyLogin(const LLObjectsCOM::Company& from, LLObjectsCOM::Company& to);
// 0 and the flag; 1 (flag false) when the company's user cannot be loaded.
HRESULT CheckSuperUser(LLObjectsCOM::Company& company, bool& superUser);
HRESULT GetLocalization(LLObjectsCOM::Company& company, QString& code);

// Notes in the program's table MRVNOTE. GetNoteFromDB: 0 and the text, 1
// when the note does not exist. WriteNoteToDB replaces a note of the same
// id; a failed write keeps the note there was.
HRESULT GetNoteFromDB(LLObjectsCOM::Company& company, int id, QString& text);
HRESULT DeleteNoteFromDB(LLObjectsCOM::Company& company, int id);
HRESULT WriteNoteToDB(LLObjectsCOM::Company& company, int id, const QString& text);

// The folder of the local host installation: the default local server
// folder, which holds the share LL_SHR. E_FAIL when there is no local server.
HRESULT GetLocalLLFolder(QString& path);

// Same database server type, same server, same database; two absent
// companies are the same. An unconnected company that leaves its server
// type to the server (0) has the type of the server it names.
bool SameCompany(const LLObjectsCOM::Company* a, const LLObjectsCOM::Company* b);

// --- Helpers for the program's own SQL ---------------------------------

// The server type that decides the SQL form: the connected company's,
// else the one asked for at login, else (0) that of the server it names.
int DbServerType(const LLObjectsCOM::Company& company);
// DB2, Sybase and the quoted-identifier server: the types outside the
// MS-SQL family, which cannot take user-defined tables and fields.
inline bool IsOutsideMsSql(int serverType) {
    return serverType == 2 || serverType == 3 || serverType == 5;
}
// Text for a '…' or N'…' literal: every quote doubled.
QString EscapeSqlText(const QString& text);
// Runs statement on a new recordset of company, logging it at debug level
// first as "SQL: "…"". Throws ComError when the host refuses it.
std::unique_ptr<LLObjectsCOM::Recordset> RunSql(LLObjectsCOM::Company& company,
                                                const QString& statement, const CLogBase& log);
// Logs the company's last error as "Error code =  %d: %s" unless its code
// is 0; returns the code.
int LogLastError(const LLObjectsCOM::Company& company, const CLogBase& log);

// A change that must happen whole or not at all. When the company has no
// transaction open, it gets one of its own, rolled back unless committed;
// inside a caller's transaction it changes nothing about it (the caller
// decides), and own() tells the change to undo a failed step itself.
class ScopedTransaction {
public:
    // Throws ComError when the transaction cannot be started.
    explicit ScopedTransaction(LLObjectsCOM::Company& company);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction&) = delete;
    ScopedTransaction& operator=(const ScopedTransaction&) = delete;

    bool own() const { return m_own; }
    // Commits a transaction of its own; throws ComError when that fails.
    void commit();

private:
    LLObjectsCOM::Company& m_company;
    bool m_own = false;
    bool m_done = false;
};

} // namespace MRV_Util
