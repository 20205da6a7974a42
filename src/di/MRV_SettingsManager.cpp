#include "di/MRV_SettingsManager.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_Util.h"
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

namespace {

// The row of MRVSETT.
struct Settings {
    int copyMethod = -1;
    int response = -1;
    bool ignoreMissingUdf = false;
    bool forceBackup = false;
    QString configurationFolder;
    QString worksheetFolder;
    QString logFileFolder;
};

HRESULT failureCode(const ComError& e) {
    return FAILED(e.code()) ? e.code() : E_FAIL;
}

QString flag(bool on) {
    return on ? QStringLiteral("Y") : QStringLiteral("N");
}

// False when the company has no row; throws ComError when it cannot be read.
bool readRow(LLObjectsCOM::Company& company, Settings& row, const CLogBase& log) {
    const int type = MRV_Util::DbServerType(company);
    const char16_t* sql =
        type == 2 ? u"SELECT U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, U_WSFolder, "
                    u"U_LFFolder FROM @MRVSETT"
        : type == 5
            ? u"SELECT \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", \"U_FBACKUP\", \"U_CFFolder\", "
              u"\"U_WSFolder\", \"U_LFFolder\" FROM @MRVSETT"
            : u"SELECT U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, U_WSFolder, "
              u"U_LFFolder FROM [@MRVSETT]";
    std::unique_ptr<LLObjectsCOM::Recordset> rs =
        MRV_Util::RunSql(company, QString::fromUtf16(sql), log);
    if (rs->EoF())
        return false;
    row.copyMethod = rs->Field(0).toInt();
    row.response = rs->Field(1).toInt();
    row.ignoreMissingUdf = rs->Field(2).toString() == u"Y";
    row.forceBackup = rs->Field(3).toString() == u"Y";
    row.configurationFolder = rs->Field(4).toString();
    row.worksheetFolder = rs->Field(5).toString();
    row.logFileFolder = rs->Field(6).toString();
    return true;
}

void deleteRows(LLObjectsCOM::Company& company, const CLogBase& log) {
    const int type = MRV_Util::DbServerType(company);
    MRV_Util::RunSql(company,
                     type == 2 || type == 5 ? QStringLiteral("DELETE FROM @MRVSETT")
                                            : QStringLiteral("DELETE FROM [@MRVSETT]"),
                     log);
}

HRESULT insertRow(LLObjectsCOM::Company& company, const Settings& row, const CLogBase& log) {
    const int type = MRV_Util::DbServerType(company);
    const char16_t* format =
        type == 2 ? u"INSERT INTO @MRVSETT (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, "
                    u"U_FBACKUP, U_CFFolder, U_WSFolder, U_LFFolder)    VALUES ('00000000', "
                    u"'00000000', %d, %d, N'%s', N'%s', N'%s', N'%s', N'%s')"
        : type == 5
            ? u"INSERT INTO @MRVSETT (\"Code\", \"Name\", \"U_CpyMethod\", \"U_RTCF\", "
              u"\"U_FRFMUDF\", \"U_FBACKUP\", \"U_CFFolder\", \"U_WSFolder\", \"U_LFFolder\")    "
              u"VALUES ('00000000', '00000000', %d, %d, '%s', '%s', '%s', '%s', '%s')"
            : u"INSERT INTO [@MRVSETT] (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, "
              u"U_CFFolder, U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', %d, %d, "
              u"N'%s', N'%s', N'%s', N'%s', N'%s')";
    try {
        MRV_Util::RunSql(company,
                         TSFormatArgs(format, row.copyMethod, row.response,
                                      flag(row.ignoreMissingUdf), flag(row.forceBackup),
                                      MRV_Util::EscapeSqlText(row.configurationFolder),
                                      MRV_Util::EscapeSqlText(row.worksheetFolder),
                                      MRV_Util::EscapeSqlText(row.logFileFolder)),
                         log);
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to save default settings for Mirrova!\n");
        MRV_Util::LogLastError(company, log);
        return failureCode(e);
    }
}

} // namespace

MRV_SettingsManager::MRV_SettingsManager(MRV_ConnectionContext* context) : m_context(context) {}

bool MRV_SettingsManager::isLocalServer(const QString& server) {
    return server == u"." || server.contains(QStringLiteral(".\\")) ||
           server.compare(u"(local)", Qt::CaseInsensitive) == 0 ||
           server.contains(QStringLiteral("(local)\\"), Qt::CaseInsensitive) ||
           server.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

void MRV_SettingsManager::setDefaultSettings() {
    m_copyMethod = 1;
    m_responseToFailure = 0;
    m_ignoreMissingUdf = false;
    m_forceBackup = true;
}

HRESULT MRV_SettingsManager::getSettingsFromDatabase() {
    CLogBase log(u"MRV", u"MRV_SettingsManager::getSettingsFromDatabase");
    if (!m_context || !m_context->company)
        return E_FAIL;
    LLObjectsCOM::Company& company = *m_context->company;
    try {
        Settings row;
        if (!readRow(company, row, log))
            return S_FALSE;
        m_copyMethod = row.copyMethod;
        m_responseToFailure = row.response;
        m_ignoreMissingUdf = row.ignoreMissingUdf;
        m_forceBackup = row.forceBackup;
        m_configurationFolder = row.configurationFolder;
        m_worksheetFolder = row.worksheetFolder;
        m_logFileFolder = row.logFileFolder;
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Failed to retrieve default settings from database, HRESULT = 0x%X\n",
                     failureCode(e));
        MRV_Util::LogLastError(company, log);
        return failureCode(e);
    }
}

HRESULT MRV_SettingsManager::updateSettingsFromDatabase() {
    CLogBase log(u"MRV", u"MRV_SettingsManager::updateSettingsFromDatabase");
    const HRESULT hr = getSettingsFromDatabase();
    if (FAILED(hr))
        return hr;
    if (m_context->worksheetPath.isEmpty()) {
        m_context->copyMethod = m_copyMethod;
        m_context->responseToFailure = m_responseToFailure;
        m_context->ignoreMissingUdf = m_ignoreMissingUdf;
        m_context->forceBackup = m_forceBackup;
    }
    return hr;
}

HRESULT MRV_SettingsManager::saveSettingsToDatabase() {
    CLogBase log(u"MRV", u"MRV_SettingsManager::saveSettingsToDatabase");
    if (!m_context || !m_context->company)
        return E_FAIL;
    LLObjectsCOM::Company& company = *m_context->company;
    const Settings current{m_copyMethod,   m_responseToFailure,   m_ignoreMissingUdf,
                           m_forceBackup,  m_configurationFolder, m_worksheetFolder,
                           m_logFileFolder};
    try {
        // The table holds one row: it is replaced, never left empty.
        MRV_Util::ScopedTransaction transaction(company);
        Settings previous;
        // Inside a caller's transaction a failed insert cannot be rolled
        // back alone: the row there was is put back instead.
        const bool restore = !transaction.own() && readRow(company, previous, log);
        deleteRows(company, log);
        const HRESULT hr = insertRow(company, current, log);
        if (FAILED(hr)) {
            if (restore)
                insertRow(company, previous, log);
            return hr;
        }
        transaction.commit();
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Error: %s\n", ComError::textForCode(e.code()));
        MRV_Util::LogLastError(company, log);
        return failureCode(e);
    }
}

QString MRV_SettingsManager::programShareFolder(const QString& server) {
    CLogBase log(u"MRV", u"MRV_SettingsManager::programShareFolder");
    QString base;     // the folder the share lies in
    QString baseName; // and how the user knows it
    if (isLocalServer(server)) {
        if (FAILED(MRV_Util::GetLocalLLFolder(base))) {
            log.LogError(u"Failed to find installation directory of Orvant Ledgerline");
            return QString();
        }
        baseName = base;
    } else {
        // "\\server" of a server given with a port ("server,1433") is the
        // machine's share; here the server's own folder holds it.
        const QString name = server.section(u',', 0, 0);
        baseName = TSFormatArgs(u"\\\\%s", name);
        if (const std::optional<LLObjectsCOM::Server> found = LLObjectsCOM::Server::find(name))
            base = found->folder();
    }
    QString share;
    for (const QString& candidate : {QStringLiteral("LL_SHR"), QStringLiteral("OLL_SHR")}) {
        if (!base.isEmpty() && QFileInfo(QDir(base).filePath(candidate)).isDir()) {
            share = QDir(base).filePath(candidate);
            break;
        }
    }
    if (share.isEmpty()) {
        log.LogError(u"Failed to find share folder under '%s'", baseName);
        return QString();
    }
    const QString home = QDir(share).filePath(QStringLiteral("Mirrova"));
    if (!QDir(share).mkdir(QStringLiteral("Mirrova")) && !QFileInfo(home).isDir()) {
        log.LogError(u"Failed to create folder '%s'", home);
        return QString();
    }
    return home;
}

HRESULT MRV_SettingsManager::createDefaultFolders() {
    if (!m_context || !m_context->company)
        return E_FAIL;
    const QString home = programShareFolder(m_context->company->Server);
    if (home.isEmpty())
        return S_FALSE;
    CLogBase log(u"MRV", u"MRV_SettingsManager::createDefaultFolders");
    const std::pair<const char*, QString*> folders[] = {
        {"Company configuration files", &m_configurationFolder},
        {"Worksheets", &m_worksheetFolder},
        {"Log files", &m_logFileFolder}};
    for (const auto& [name, setting] : folders) {
        const QString path = QDir(home).filePath(QLatin1String(name));
        if (QDir(home).mkdir(QLatin1String(name)) || QFileInfo(path).isDir())
            *setting = path;
        else
            log.LogError(u"Failed to create folder '%s'", path);
    }
    return S_OK;
}

HRESULT MRV_SettingsManager::checkSettings() {
    CLogBase log(u"MRV", u"MRV_SettingsManager::checkSettings");
    const HRESULT hr = getSettingsFromDatabase();
    if (hr != S_FALSE)
        return hr;
    setDefaultSettings();
    if (createDefaultFolders() != S_OK) {
        log.LogError(u"Failed to create default folders.");
        MRV_Interaction& ui = MRV_Interaction::current();
        CTSUtil::SetStatusBarErrorMessage([&ui](const QString& text) { ui.hostStatusError(text); },
                                          CTSBSTR::load(10019, ui.language()));
    }
    return saveSettingsToDatabase();
}
