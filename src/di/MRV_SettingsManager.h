#pragma once

#include "host/objects/LLHResult.h"

#include <QString>

class MRV_ConnectionContext;

// The user's standard settings, kept in the program's table MRVSETT of the
// logged-in company: copy method, response to a copy failure, missing
// user-defined fields, forced backup and the folders for configuration
// files, worksheets and log files (under the server's share by default).
class MRV_SettingsManager {
public:
    explicit MRV_SettingsManager(MRV_ConnectionContext* context);

    // 0 with the settings read, 1 when the company has none yet (the
    // settings stay as they were), negative on failure.
    HRESULT getSettingsFromDatabase();
    // Reads the settings; unless a worksheet is open, the context takes
    // over the copy options (an open worksheet keeps those it brought).
    HRESULT updateSettingsFromDatabase();
    // Replaces the company's settings row by these settings. A failure
    // keeps the row there was.
    HRESULT saveSettingsToDatabase();
    // The program's defaults: Replace All, continue on failure, missing
    // user-defined fields not ignored, forced backup.
    void setDefaultSettings();
    // Makes "Mirrova" with its three folders in the server's share and
    // takes every folder that exists afterwards as a setting. 0 when done,
    // 1 when there is no share.
    HRESULT createDefaultFolders();
    // At start-up: a company without settings gets the defaults, the
    // default folders as far as they can be made, and a settings row.
    HRESULT checkSettings();

    const QString& configurationFolder() const { return m_configurationFolder; }
    const QString& worksheetFolder() const { return m_worksheetFolder; }
    const QString& logFileFolder() const { return m_logFileFolder; }
    int copyMethod() const { return m_copyMethod; }
    int responseToFailure() const { return m_responseToFailure; }
    bool ignoreMissingUdf() const { return m_ignoreMissingUdf; }
    bool forceBackup() const { return m_forceBackup; }

    void setConfigurationFolder(const QString& folder) { m_configurationFolder = folder; }
    void setWorksheetFolder(const QString& folder) { m_worksheetFolder = folder; }
    void setLogFileFolder(const QString& folder) { m_logFileFolder = folder; }
    void setCopyMethod(int method) { m_copyMethod = method; }
    void setResponseToFailure(int response) { m_responseToFailure = response; }
    void setIgnoreMissingUdf(bool ignore) { m_ignoreMissingUdf = ignore; }
    void setForceBackup(bool force) { m_forceBackup = force; }

    // The program's folder "Mirrova" in the share of server (the server's
    // share, or the local installation's for the local server), made when
    // missing; empty, after logging why, when there is no share.
    static QString programShareFolder(const QString& server);

    // True for the names of the local machine's server: ".", "(local)" and
    // "localhost" (any case), or a named instance of them (".\NAME").
    static bool isLocalServer(const QString& server);

private:
    MRV_ConnectionContext* m_context;
    QString m_configurationFolder;
    QString m_worksheetFolder;
    QString m_logFileFolder;
    int m_copyMethod = -1;
    int m_responseToFailure = -1;
    bool m_ignoreMissingUdf = false;
    bool m_forceBackup = false;
};
