#pragma once

#include "host/objects/LLHResult.h"

#include <QString>
#include <QStringList>

namespace LLObjectsCOM {
class Company;
}
class MRV_ConfigurationManager;
class MRV_ConnectionContext;
class MRV_CopyLog;
class MRV_RunLock;
class MRV_Worksheet;

// The two commands that carry a worksheet's selection somewhere: saving it
// as a configuration file, and copying it into the target company after
// the checks that protect the target. Windows and the command line run the
// same flow; the user is asked through the interaction.
class MRV_CopyFlow {
public:
    // manager: the configuration manager of the open worksheet (it holds a
    // base file that was read).
    MRV_CopyFlow(MRV_ConnectionContext& context, MRV_Worksheet& worksheet,
                 MRV_ConfigurationManager& manager);

    // Copy to the target company: the checks in order (queries and layouts
    // only, the copy dialog, dependencies, categories refusing the method,
    // backup), the log, the run, the completion. S_OK when the run went
    // through (records may have failed: the log says which); 1 when the
    // user stopped before anything was written; E_ABORT when the run was
    // stopped after a failed record; a failure otherwise.
    HRESULT copyToTargetCompany();
    // Save the selection as the configuration file path (after the
    // dependency question). S_OK, 1 when the user stopped, or a failure.
    HRESULT saveConfigurationFile(const QString& path);

    // The checks, one by one.
    // Every selected category is a query or print-layout category.
    bool onlyQueriesAndLayouts() const;
    // Only some accounts of the chart are selected.
    bool accountsPartlySelected() const;
    // Texts of the selected categories that depend on unselected ones.
    QStringList unselectedDependencies() const;
    // Texts of the selected categories that refuse the copy method.
    QStringList refusingCategories(int copyMethod) const;
    // The selected categories no category manager can copy yet, each as
    // "text (category id)": the run refuses them rather than leave them out.
    static QStringList uncopyableCategories(const MRV_Worksheet& worksheet);
    // What the copy dialog checks when the target is confirmed: another
    // company than the base (10031), a release of the base not above the
    // target's (10045), and, where the localizations differ, the user's
    // consent (10051), after which the categories that may not cross
    // localizations are deselected and named. S_OK to go on, S_FALSE when
    // the user declined, E_FAIL after a refusal was shown.
    HRESULT checkTarget();
    // User-defined tables, fields and what rests on them go only between
    // two databases of the MS-SQL family: with the base or the target
    // outside it and such a category selected, the user decides (10052)
    // whether the run goes on without them; they are then deselected and
    // named. S_OK to go on, S_FALSE when the user declined.
    HRESULT checkUserDefinedElements();
    // The release of a version number: the number without its last three
    // digits, the patch level (880202 is release 880, 1000000 release
    // 1000); a number of three digits or fewer is a release itself.
    static int releaseOf(int version);
    // A base of baseVersion may go into a target of targetVersion: the
    // base's release is not above the target's.
    static bool releaseFits(int baseVersion, int targetVersion);
    // A company's localization: the host's answer, else what the company
    // records.
    static QString localizationOf(LLObjectsCOM::Company& company);
    // The base's version and localization: the base company's, or those
    // the base configuration file was written with.
    int baseVersion() const;
    QString baseLocalization() const;

    // Makes the runs of this flow trial runs, into a scratch copy of the
    // target: no backup of it is asked for or made, and the log goes into
    // logFolder instead of the settings' folder.
    void setTrial(const QString& logFolder) { m_trialLogFolder = logFolder; }

    // The backup of the target made right before the last run (empty when
    // none was made).
    const QString& backupPath() const { return m_backupPath; }
    // The copy log of the last run (empty before one).
    const QString& logPath() const { return m_logPath; }
    // The file with the first passwords of the users the last run added;
    // empty when it added none.
    const QString& passwordPath() const { return m_passwordPath; }
    // The size in bytes of the last run's intermediate file, which is gone
    // when the run ends.
    qint64 intermediateFileSize() const { return m_intermediateSize; }

private:
    // The question with Yes/No, default No; true for Yes.
    bool confirmed(const QString& text) const;
    bool askQueriesAndLayouts();
    // False after telling the user which selected categories no manager
    // copies.
    bool everyCategoryCopies() const;
    // Without forced backup the user is asked to go on; with it, the target
    // is backed up through its server before anything is written, and the
    // run stops, saying why, when that fails.
    bool checkBackup();
    // With the worksheet's approval option on: an approval of a preview
    // made of this selection (its digest) and of the base and target as
    // they are now; false after telling the user what is missing or what
    // changed.
    bool approvalHolds(const QString& selection);
    // Takes the target's run lock; false after telling the user which run
    // holds it.
    bool lockTarget(MRV_RunLock& lock);
    // BACKUP DATABASE into the server's backup folder; the file the
    // server's history then names is backupPath().
    bool backUpTarget(QString& why);
    // Opens the run's log in the settings' log folder; where it cannot be
    // made, the user may change the folders and try again.
    bool openLog(MRV_CopyLog& copyLog);

    MRV_ConnectionContext& m_context;
    MRV_Worksheet& m_worksheet;
    MRV_ConfigurationManager& m_manager;
    QString m_trialLogFolder;
    QString m_backupPath;
    QString m_logPath;
    QString m_passwordPath;
    qint64 m_intermediateSize = 0;
};
