#include "di/MRV_Util.h"

#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLServer.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSUtil.h"
#include "tsframework/TSFormat.h"

#include <QDir>
#include <QFileInfo>

namespace MRV_Util {

namespace {

constexpr int kUsersObject = 12;

bool isLocalServer(const QString& server) {
    return server == u"." || server.compare(u"(local)", Qt::CaseInsensitive) == 0 ||
           server.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

// The server folder a name denotes, empty when it denotes none.
QString serverFolder(const QString& name) {
    const std::optional<LLObjectsCOM::Server> server = LLObjectsCOM::Server::find(name);
    return server ? QFileInfo(server->folder()).canonicalFilePath() : QString();
}

// A message box with a string and the host's error text below it.
void showWithError(quint32 stringId, const QString& errorText) {
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    message.LoadStringW(stringId);
    ui.error(CTSBSTR().Format(u"%s\r\n'%s'", message.str(), errorText));
}

void showInStatusBar(quint32 stringId) {
    MRV_Interaction& ui = MRV_Interaction::current();
    ui.error(CTSBSTR::load(stringId, ui.language()), false);
}

// One of the three forms of a statement, by server type, formatted.
template <typename... Args>
QString formSql(int type, const char16_t* db2, const char16_t* quoted, const char16_t* others,
                const Args&... args) {
    return TSFormatArgs(type == 2 ? db2 : type == 5 ? quoted : others, args...);
}

HRESULT failureCode(const ComError& e) {
    return FAILED(e.code()) ? e.code() : E_FAIL;
}

} // namespace

int DbServerType(const LLObjectsCOM::Company& company) {
    if (company.Connected())
        return company.ServerType();
    if (company.DbServerType != 0)
        return company.DbServerType;
    const std::optional<LLObjectsCOM::Server> server = LLObjectsCOM::Server::find(company.Server);
    return server ? server->type() : 0;
}

QString EscapeSqlText(const QString& text) {
    QString escaped = text;
    return escaped.replace(u'\'', QStringLiteral("''"));
}

std::unique_ptr<LLObjectsCOM::Recordset> RunSql(LLObjectsCOM::Company& company,
                                                const QString& statement, const CLogBase& log) {
    log.LogDbg0(u"SQL: \"%s\"\n", statement);
    std::unique_ptr<LLObjectsCOM::Recordset> rs = company.GetRecordset();
    rs->DoQuery(statement);
    return rs;
}

int LogLastError(const LLObjectsCOM::Company& company, const CLogBase& log) {
    int code = 0;
    QString text;
    company.GetLastError(code, text);
    if (code != 0)
        log.LogError(u"Error code =  %d: %s", code, text);
    return code;
}

HRESULT GetCompanyList(LLObjectsCOM::Company& company, QList<QStringList>& rows, bool showErrors) {
    CLogBase log(u"MRV", u"MRV_Util::GetCompanyList");
    try {
        std::unique_ptr<LLObjectsCOM::Recordset> rs = company.GetCompanyList();
        QList<QStringList> read;
        for (; !rs->EoF(); rs->MoveNext())
            read.append(
                {rs->Field(0).toString(), rs->Field(1).toString(), rs->Field(2).toString()});
        rows = read;
        return S_OK;
    } catch (const ComError& e) {
        if (showErrors) {
            log.LogError(u"Failed to retrieve company list from Orvant Ledgerline.");
            LogLastError(company, log);
            showWithError(10025, company.GetLastErrorDescription());
        }
        return failureCode(e);
    }
}

HRESULT Connect(LLObjectsCOM::Company& company, MRV_ConnectionContext&) {
    CLogBase log(u"MRV", u"MRV_Util::Connect");
    try {
        company.XmlExportType = 3;
        company.XMLAsString = true;
        const int result = company.Connect();
        if (result == 0)
            return S_OK;
        log.LogError(u"Failed to connect to Orvant Ledgerline Company");
        LogLastError(company, log);
        showWithError(10027, company.GetLastErrorDescription());
        return FAILED(result) ? result : E_FAIL;
    } catch (...) {
        log.LogError(u"Unknown Exception during Connect.");
        showInStatusBar(10026);
        return E_FAIL;
    }
}

void CopyLogin(const LLObjectsCOM::Company& from, LLObjectsCOM::Company& to) {
    to.Server = from.Server;
    to.UserName = from.UserName;
    to.Password = from.Password;
    to.UseTrusted = from.UseTrusted;
    to.DbUserName = from.DbUserName;
    to.DbPassword = from.DbPassword;
    to.DbServerType = from.DbServerType;
}

HRESULT Disconnect(LLObjectsCOM::Company& company) {
    CLogBase log(u"MRV", u"MRV_Util::Disconnect");
    try {
        company.Disconnect();
        if (!company.Connected())
            return S_OK;
        log.LogError(u"Failed to disconnect from Orvant Ledgerline Company");
        LogLastError(company, log);
        showWithError(10030, company.GetLastErrorDescription());
        return E_FAIL;
    } catch (...) {
        log.LogError(u"Unknown Exception during Disconnect.");
        showInStatusBar(10029);
        return E_FAIL;
    }
}

HRESULT CheckSuperUser(LLObjectsCOM::Company& company, bool& superUser) {
    CLogBase log(u"MRV", u"MRV_Util::CheckSuperUser");
    superUser = false;
    const QString user = company.UserName;
    try {
        // The users object is keyed by the internal number; the user is
        // known by code.
        const int type = DbServerType(company);
        const QString literal = EscapeSqlText(user);
        std::unique_ptr<LLObjectsCOM::Recordset> rs = RunSql(
            company,
            type == 5 ? QStringLiteral("SELECT \"INTERNAL_K\" FROM OUSR WHERE \"USER_CODE\" = '%1'")
                            .arg(literal)
                      : QStringLiteral("SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = N'%1'")
                            .arg(literal),
            log);
        const QVariant key = rs->EoF() ? QVariant(-1) : rs->Field(0);
        std::unique_ptr<LLObjectsCOM::HostObject> object = company.GetBusinessObject(kUsersObject);
        auto* users = dynamic_cast<LLObjectsCOM::BusinessObject*>(object.get());
        if (!users || !users->GetByKey({key})) {
            log.LogError(u"Failed to get user '%s' (%d)", user, company.GetLastErrorCode());
            return S_FALSE;
        }
        superUser = users->GetProperty(QStringLiteral("Superuser")).toString() == u"Y";
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to check status of user '%s' (%d)", user, e.code());
        LogLastError(company, log);
        return failureCode(e);
    }
}

HRESULT GetLocalization(LLObjectsCOM::Company& company, QString& code) {
    CLogBase log(u"MRV", u"MRV_Util::GetLocalization");
    try {
        const QString sql = DbServerType(company) == 5
                                ? QStringLiteral("SELECT \"LawsSet\"DG1 FROM CINF")
                                : QStringLiteral("SELECT LawsSet FROM CINF");
        std::unique_ptr<LLObjectsCOM::Recordset> rs = RunSql(company, sql, log);
        if (rs->EoF())
            throw ComError(E_FAIL, QStringLiteral("The company has no company information"));
        code = rs->Field(0).toString();
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to retrieve localization from database, HRESULT = 0x%X\n",
                     failureCode(e));
        LogLastError(company, log);
        return failureCode(e);
    }
}

HRESULT GetNoteFromDB(LLObjectsCOM::Company& company, int id, QString& text) {
    CLogBase log(u"MRV", u"MRV_Util::GetNoteFromDB");
    try {
        const QString sql =
            formSql(DbServerType(company), u"SELECT U_String FROM @MRVNOTE WHERE U_ID = %d",
                    u"SELECT \"U_String\" FROM @MRVNOTE WHERE \"U_ID\" = %d",
                    u"SELECT U_String FROM [@MRVNOTE] WHERE U_ID = %d", id);
        std::unique_ptr<LLObjectsCOM::Recordset> rs = RunSql(company, sql, log);
        if (rs->EoF())
            return S_FALSE;
        text = rs->Field(0).toString();
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to retrieve note with ID %d from database, HRESULT = 0x%X\n", id,
                     failureCode(e));
        LogLastError(company, log);
        return failureCode(e);
    }
}

HRESULT DeleteNoteFromDB(LLObjectsCOM::Company& company, int id) {
    CLogBase log(u"MRV", u"MRV_Util::DeleteNoteFromDB");
    try {
        const QString sql = formSql(DbServerType(company), u"DELETE FROM @MRVNOTE WHERE U_ID = %d",
                                    u"DELETE FROM @MRVNOTE WHERE \"U_ID\" = %d",
                                    u"DELETE FROM [@MRVNOTE] WHERE U_ID = %d", id);
        RunSql(company, sql, log);
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to delete note with ID %d from database, HRESULT = 0x%X\n", id,
                     failureCode(e));
        LogLastError(company, log);
        return failureCode(e);
    }
}

ScopedTransaction::ScopedTransaction(LLObjectsCOM::Company& company) : m_company(company) {
    if (!company.InTransaction()) {
        company.StartTransaction();
        m_own = true;
    }
}

ScopedTransaction::~ScopedTransaction() {
    if (!m_own || m_done)
        return;
    try {
        m_company.EndTransaction(1);
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_Util::ScopedTransaction")
            .LogError(u"Failed to roll back: %s", e.errorMessage());
    }
}

void ScopedTransaction::commit() {
    if (m_own && !m_done) {
        m_done = true;
        m_company.EndTransaction(0);
    }
}

namespace {

HRESULT insertNote(LLObjectsCOM::Company& company, int id, const QString& text,
                   const CLogBase& log) {
    const QString code = CTSUtil::GetNextCodeValue(company, QStringLiteral("@MRVNOTE"));
    if (code.isEmpty()) {
        log.LogError(u"Failed to retrieve new ID for table @MRVNOTE");
        return E_FAIL;
    }
    try {
        const QString sql = formSql(
            DbServerType(company),
            u"INSERT INTO @MRVNOTE (Code, Name, U_ID, U_String) VALUES('%s', '%s', %d, '%s')",
            u"INSERT INTO @MRVNOTE (\"Code\", \"Name\", \"U_ID\", \"U_String\") VALUES('%s', "
            u"'%s', %d, '%s')",
            u"INSERT INTO [@MRVNOTE] (Code, Name, U_ID, U_String) VALUES('%s', '%s', %d, '%s')",
            EscapeSqlText(code), EscapeSqlText(code), id, EscapeSqlText(text));
        RunSql(company, sql, log);
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to write note with ID %d to database, HRESULT = 0x%X\n", id,
                     failureCode(e));
        LogLastError(company, log);
        return failureCode(e);
    }
}

} // namespace

HRESULT WriteNoteToDB(LLObjectsCOM::Company& company, int id, const QString& text) {
    CLogBase log(u"MRV", u"MRV_Util::WriteNoteToDB");
    QString previous;
    const HRESULT found = GetNoteFromDB(company, id, previous);
    if (FAILED(found))
        return found;
    try {
        ScopedTransaction transaction(company);
        if (found == S_OK) {
            if (const HRESULT hr = DeleteNoteFromDB(company, id); FAILED(hr))
                return hr;
        }
        const HRESULT hr = insertNote(company, id, text, log);
        if (FAILED(hr) && found == S_OK && !transaction.own())
            insertNote(company, id, previous, log);
        if (SUCCEEDED(hr))
            transaction.commit();
        return hr;
    } catch (const ComError& e) {
        log.LogError(u"Failed to write note with ID %d to database, HRESULT = 0x%X\n", id,
                     failureCode(e));
        LogLastError(company, log);
        return failureCode(e);
    }
}

HRESULT GetLocalLLFolder(QString& path) {
    CLogBase log(u"MRV", u"MRV_Util::GetLocalLLFolder");
    // The local installation is the default local server: the folder that
    // holds the server's settings, its companies and its share.
    const QString folder = LLObjectsCOM::Server::defaultLocalFolder();
    QString why;
    if (!LLObjectsCOM::Server::open(folder, &why)) {
        log.LogDbg0(u"No local Orvant Ledgerline server: %s", why);
        return E_FAIL;
    }
    path = QDir::cleanPath(folder);
    return S_OK;
}

bool SameCompany(const LLObjectsCOM::Company* a, const LLObjectsCOM::Company* b) {
    if (!a || !b)
        return !a && !b;
    if (a == b)
        return true;
    try {
        const int type = DbServerType(*a);
        if (type != DbServerType(*b))
            return false;
        bool sameServer = (isLocalServer(a->Server) && isLocalServer(b->Server)) ||
                          a->Server.compare(b->Server, Qt::CaseInsensitive) == 0;
        if (!sameServer) {
            // Two names may denote one server: a registered name and its
            // folder, this machine's name and "(local)".
            const QString folder = serverFolder(a->Server);
            sameServer = !folder.isEmpty() && folder == serverFolder(b->Server);
        }
        if (!sameServer)
            return false;
        const bool exact = IsOutsideMsSql(type);
        return a->CompanyDB.compare(b->CompanyDB,
                                    exact ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
    } catch (...) {
        return false;
    }
}

} // namespace MRV_Util
