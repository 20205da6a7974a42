#pragma once

#include "config/MRV_Approval.h"
#include "config/MRV_LogFile.h"
#include "config/MRV_TargetDiff.h"
#include "host/objects/LLHResult.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

class MRV_ConfigurationManager;
class MRV_ConnectionContext;
class MRV_Worksheet;

// A copy run that writes nothing into the target: the worksheet is copied
// into a scratch copy of the target (MRV_ScratchTarget), and what the run
// would do is read from its log (each record added, updated, deleted or
// failed, with why) and from the differences between the scratch copy and
// the target (each field that changes, the target's value against the
// base's). Preview runs it before a copy, verification after one.
class MRV_TrialRun {
public:
    // One thing a trial found: what ("add", "update", "delete", "fail";
    // for a verification "missing", "differs", "extra", "cannot check"),
    // where, and the values or the reason.
    struct Finding {
        QString what{};
        QString category{};
        QString table{};
        QString key{};
        QString field{};
        QString targetValue{};
        QString baseValue{};
        QString reason{};
        // The eight values as they are shown, what in the host's language.
        QStringList shown() const;
    };
    // The text of a finding's what in the host's current language.
    static QString whatText(const QString& what);
    // The titles of a finding's eight values, in the order of Finding, in
    // the host's current language.
    static QStringList columnTitles();
    struct Verification {
        int missing = 0;
        int differing = 0;
        int unchecked = 0;
        QList<Finding> findings;
        bool clean() const { return missing + differing + unchecked == 0; }
    };

    MRV_TrialRun(MRV_ConnectionContext& context, MRV_Worksheet& worksheet,
                 MRV_ConfigurationManager& manager);
    ~MRV_TrialRun();

    // Runs the copy with copyMethod (0: the worksheet's). S_OK when the run
    // went through, 1 when the user stopped it, a failure otherwise; why
    // then says what went wrong where nobody was told.
    // approvable: the state the run is made in is taken first, for
    // approve().
    HRESULT run(int copyMethod, QString& why, bool approvable = false);
    // Records the approval of what the last (approvable) run found, as
    // user, beside the worksheet; path receives the file.
    bool approve(const QString& user, QString& path, QString& why);

    // The trial log's records.
    const QList<MRV_LogFile::Row>& records() const { return m_records; }
    // The differences the run made, in category order.
    const QList<MRV_TargetDiff::Row>& changes() const { return m_changes; }
    // What the last run would do to the target: each row it adds, deletes,
    // each field it changes, each record that fails.
    QList<Finding> findings() const;
    // After a run adding and updating (copy method 4) over a target that a
    // run of log copied into: each record the trial added that the log does
    // not say failed is missing, each field it changed differs, each record
    // it could not write cannot be checked.
    Verification verify(const MRV_LogFile& log) const;

private:
    // A category's text, as the worksheet shows it.
    QString categoryText(const QString& categoryId) const;
    // The findings of one changed, added or removed row.
    void addFindings(const MRV_TargetDiff::Row& row, bool verifying, QList<Finding>& found) const;

    MRV_ConnectionContext& m_context;
    MRV_Worksheet& m_worksheet;
    MRV_ConfigurationManager& m_manager;
    QTemporaryDir m_logs;
    std::optional<MRV_Approval> m_state;
    QList<MRV_LogFile::Row> m_records;
    QList<MRV_TargetDiff::Row> m_changes;
};
