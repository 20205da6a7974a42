#include "config/MRV_CopyFlow.h"

#include "catalogue/MRV_CategoryKinds.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "config/MRV_Approval.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyLog.h"
#include "config/MRV_IntermediateFile.h"
#include "config/MRV_RunLock.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_InitialPasswords.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_Util.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

// The string ids of the query and print-layout categories.
constexpr quint32 kQueryAndLayoutIds[] = {701, 707, 708, 709};

QString text(quint32 id) {
    return MRV_Interaction::current().text(id);
}

} // namespace

MRV_CopyFlow::MRV_CopyFlow(MRV_ConnectionContext& context, MRV_Worksheet& worksheet,
                           MRV_ConfigurationManager& manager)
    : m_context(context), m_worksheet(worksheet), m_manager(manager) {}

bool MRV_CopyFlow::confirmed(const QString& question) const {
    return MRV_Interaction::current().question(question, false, 2) == MRV_Interaction::ButtonYes;
}

bool MRV_CopyFlow::onlyQueriesAndLayouts() const {
    bool any = false;
    for (const auto& node : m_worksheet.nodes) {
        if (!node->leaf || node->selected == MRV_WorksheetNode::NotSelected)
            continue;
        any = true;
        if (std::find(std::begin(kQueryAndLayoutIds), std::end(kQueryAndLayoutIds),
                      node->stringId) == std::end(kQueryAndLayoutIds))
            return false;
    }
    return any;
}

bool MRV_CopyFlow::accountsPartlySelected() const {
    const MRV_WorksheetNode* accounts =
        m_worksheet.findLeaf(QStringLiteral("MRV_TRN_ACCOUNTS_100"));
    return accounts && accounts->selected == MRV_WorksheetNode::PartlySelected;
}

QStringList MRV_CopyFlow::unselectedDependencies() const {
    QStringList texts;
    for (const auto& node : m_worksheet.nodes) {
        if (!node->leaf || node->selected == MRV_WorksheetNode::NotSelected)
            continue;
        for (const QString& leafId : node->dependencies) {
            const MRV_WorksheetNode* needed = m_worksheet.findNode(leafId);
            if (needed && needed->selected == MRV_WorksheetNode::NotSelected) {
                texts << node->text;
                break;
            }
        }
    }
    return texts;
}

QStringList MRV_CopyFlow::refusingCategories(int copyMethod) const {
    QStringList texts;
    for (const auto& node : m_worksheet.nodes)
        if (node->leaf && node->selected != MRV_WorksheetNode::NotSelected &&
            node->prohibits(copyMethod))
            texts << node->text;
    return texts;
}

QStringList MRV_CopyFlow::uncopyableCategories(const MRV_Worksheet& worksheet) {
    QStringList categories;
    for (const auto& node : worksheet.nodes)
        if (node->leaf && node->allowSelection &&
            node->selected != MRV_WorksheetNode::NotSelected &&
            !MRV_DataInterfaceFactory::hasManager(node->categoryId))
            categories << QStringLiteral("%1 (%2)").arg(node->text, node->categoryId);
    return categories;
}

bool MRV_CopyFlow::everyCategoryCopies() const {
    const QStringList uncopyable = uncopyableCategories(m_worksheet);
    if (uncopyable.isEmpty())
        return true;
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    message.FormatId(10204, uncopyable.join(QStringLiteral(", ")));
    CLogBase(u"MRV", u"MRV_CopyFlow::everyCategoryCopies").LogError(u"%s", message.str());
    ui.error(message);
    return false;
}

int MRV_CopyFlow::releaseOf(int version) {
    return version >= 1000 ? version / 1000 : version;
}

int MRV_CopyFlow::baseVersion() const {
    if (m_context.baseCompany)
        return m_context.baseCompany->Version();
    return m_manager.header().dbVersion.trimmed().toInt();
}

QString MRV_CopyFlow::localizationOf(LLObjectsCOM::Company& company) {
    QString code;
    if (MRV_Util::GetLocalization(company, code) == S_OK)
        return code;
    return company.Localization();
}

bool MRV_CopyFlow::releaseFits(int baseVersion, int targetVersion) {
    // Releases compare as numbers: as text "880202" would rank above
    // "1000000".
    return releaseOf(baseVersion) <= releaseOf(targetVersion);
}

QString MRV_CopyFlow::baseLocalization() const {
    if (m_context.baseCompany)
        return localizationOf(*m_context.baseCompany);
    return m_manager.header().localization;
}

HRESULT MRV_CopyFlow::checkTarget() {
    CLogBase log(u"MRV", u"MRV_CopyFlow::checkTarget");
    MRV_Interaction& ui = MRV_Interaction::current();
    LLObjectsCOM::Company& target = *m_context.targetCompany;
    if (m_context.baseCompany && MRV_Util::SameCompany(&target, m_context.baseCompany.get())) {
        ui.error(text(10031));
        return E_FAIL;
    }
    if (!releaseFits(baseVersion(), target.Version())) {
        log.LogError(u"Base version %d is higher than target version %d", baseVersion(),
                     target.Version());
        ui.error(text(10045));
        return E_FAIL;
    }
    if (baseLocalization() == localizationOf(target))
        return S_OK;
    if (!confirmed(text(10051)))
        return S_FALSE;
    // As the tree's localization lock does: what may not cross
    // localizations is left out, and the user is told which.
    QStringList disabled;
    for (const auto& node : m_worksheet.nodes)
        if (node->leaf && !node->localizationTransfer &&
            node->selected != MRV_WorksheetNode::NotSelected) {
            disabled << node->text;
            m_worksheet.select(node->leafId, MRV_WorksheetNode::NotSelected);
        }
    if (!disabled.isEmpty()) {
        m_worksheet.modified = true;
        CTSBSTR note(ui.language());
        note.FormatId(10206, disabled.join(QStringLiteral(", ")));
        ui.warning(note);
    }
    return S_OK;
}

HRESULT MRV_CopyFlow::checkUserDefinedElements() {
    const int baseType = m_context.baseCompany ? MRV_Util::DbServerType(*m_context.baseCompany)
                                               : m_worksheet.sourceServerType;
    if (!MRV_Util::IsOutsideMsSql(baseType) &&
        !MRV_Util::IsOutsideMsSql(MRV_Util::DbServerType(*m_context.targetCompany)))
        return S_OK;
    QStringList leafIds;
    QStringList texts;
    for (const auto& node : m_worksheet.nodes)
        if (node->leaf && node->selected != MRV_WorksheetNode::NotSelected &&
            MRV_CategoryKinds::isUserDefinedElement(node->stringId)) {
            leafIds << node->leafId;
            texts << node->text;
        }
    if (leafIds.isEmpty())
        return S_OK;
    if (!confirmed(text(10052)))
        return S_FALSE;
    // Going on means going on without them: the user is told which.
    for (const QString& leafId : std::as_const(leafIds))
        m_worksheet.select(leafId, MRV_WorksheetNode::NotSelected);
    m_worksheet.modified = true;
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR note(ui.language());
    note.FormatId(10208, texts.join(QStringLiteral(", ")));
    ui.warning(note);
    return S_OK;
}

bool MRV_CopyFlow::askQueriesAndLayouts() {
    if (!onlyQueriesAndLayouts())
        return true;
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR question(ui.language());
    question.FormatId(10057, text(352));
    if (!confirmed(question))
        return true; // the method stays; the flow goes on
    m_worksheet.copyMethod = 3;
    m_worksheet.modified = true;
    m_context.copyMethod = 3;
    MRV_SettingsManager settings(&m_context);
    if (settings.getSettingsFromDatabase() < 0 ||
        (settings.setCopyMethod(3), settings.saveSettingsToDatabase() != S_OK))
        ui.error(text(10004), false);
    return true;
}

bool MRV_CopyFlow::checkBackup() {
    m_backupPath.clear();
    if (!m_trialLogFolder.isEmpty())
        return true; // the target is a copy of its own
    if (!m_context.forceBackup)
        return confirmed(text(219));
    // Only the MS-SQL family can be backed up from here; elsewhere no
    // backup is checked, as before.
    if (MRV_Util::IsOutsideMsSql(MRV_Util::DbServerType(*m_context.targetCompany)))
        return true;
    QString why;
    if (backUpTarget(why))
        return true;
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    message.FormatId(10210, why);
    CLogBase(u"MRV", u"MRV_CopyFlow::checkBackup").LogError(u"%s", message.str());
    ui.warning(text(218) + QStringLiteral("\r\n") + message.str());
    return false;
}

bool MRV_CopyFlow::approvalHolds(const QString& selection) {
    if (!m_worksheet.approval || !m_trialLogFolder.isEmpty())
        return true;
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    QString why;
    const std::optional<MRV_Approval> approved =
        MRV_Approval::load(MRV_Approval::pathFor(m_context.worksheetPath), why);
    if (approved) {
        MRV_Approval now = MRV_Approval::current(m_context, m_worksheet, m_context.copyMethod);
        now.selection = selection;
        const QStringList changed = approved->changedSince(now);
        if (changed.isEmpty())
            return true;
        message.FormatId(10215, approved->approvedAt, approved->approvedBy,
                         changed.join(QStringLiteral(", ")));
    } else {
        message.FormatId(10214, why);
    }
    CLogBase(u"MRV", u"MRV_CopyFlow::approvalHolds").LogError(u"%s", message.str());
    ui.error(message);
    return false;
}

bool MRV_CopyFlow::lockTarget(MRV_RunLock& lock) {
    LLObjectsCOM::Company& target = *m_context.targetCompany;
    QString holder;
    if (lock.acquire(target.Server, target.CompanyDB,
                     MRV_RunLock::describeRun(target.UserName, m_context.worksheetPath), holder))
        return true;
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    message.FormatId(10211, target.CompanyDB, holder);
    CLogBase(u"MRV", u"MRV_CopyFlow::lockTarget").LogError(u"%s", message.str());
    ui.error(message);
    return false;
}

bool MRV_CopyFlow::backUpTarget(QString& why) {
    LLObjectsCOM::Company& target = *m_context.targetCompany;
    // The server checks the name; it still goes in as a bracketed name and
    // the file as quoted text.
    const QString database = target.CompanyDB;
    QString file =
        QStringLiteral("%1_before_copy_%2.bak")
            .arg(database,
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz")));
    try {
        std::unique_ptr<LLObjectsCOM::Recordset> rs = target.GetRecordset();
        rs->DoQuery(QStringLiteral("BACKUP DATABASE [%1] TO DISK = N'%2'")
                        .arg(QString(database).replace(u']', QStringLiteral("]]")),
                             MRV_Util::EscapeSqlText(file)));
        rs->DoQuery(QStringLiteral("SELECT TOP 1 physical_device_name FROM msdb.dbo.backupset "
                                   "WHERE database_name = '%1' ORDER BY backup_set_id DESC")
                        .arg(MRV_Util::EscapeSqlText(database)));
        if (!rs->EoF())
            m_backupPath = rs->Field(0).toString();
    } catch (const ComError& e) {
        why = e.description();
        return false;
    }
    if (m_backupPath.isEmpty()) {
        why = QStringLiteral("the server's backup history names no backup of %1").arg(database);
        return false;
    }
    return true;
}

bool MRV_CopyFlow::openLog(MRV_CopyLog& copyLog) {
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!m_trialLogFolder.isEmpty()) {
        if (copyLog.open(m_trialLogFolder))
            return true;
        ui.error(text(10019));
        return false;
    }
    for (;;) {
        MRV_SettingsManager settings(&m_context);
        settings.getSettingsFromDatabase();
        if (copyLog.open(settings.logFileFolder()))
            return true;
        // The log folder is the one setting the user can mend here; the
        // next try needs all three folders.
        ui.error(text(10019));
        if (!ui.changeOptions(m_context))
            return false;
        settings.getSettingsFromDatabase();
        if (settings.configurationFolder().isEmpty() || settings.worksheetFolder().isEmpty() ||
            settings.logFileFolder().isEmpty())
            return false;
    }
}

HRESULT MRV_CopyFlow::copyToTargetCompany() {
    CLogBase log(u"MRV", u"MRV_CopyFlow::copyToTargetCompany");
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!everyCategoryCopies())
        return E_FAIL;
    // The selection an approval is of: before any check changes it.
    const QString selection =
        m_worksheet.approval
            ? MRV_Approval::current(m_context, m_worksheet, m_context.copyMethod, false).selection
            : QString();
    askQueriesAndLayouts();
    // The target's chart is replaced, not merged: some accounts of the
    // base alone are copied only when the user says so.
    if (accountsPartlySelected() && !confirmed(text(10059)))
        return S_FALSE;
    // The dialog may let the user choose the target: it is checked as
    // confirmed, and a refusal is the flow's result.
    HRESULT targetCheck = S_FALSE;
    const auto check = [&]() -> HRESULT {
        if (!m_context.targetCompany || !m_context.targetCompany->Connected()) {
            log.LogError(u"No target company");
            ui.error(text(10063), false);
            return targetCheck = E_FAIL;
        }
        return targetCheck = checkTarget();
    };
    // A trial's target is no choice of the user's: it is checked as the
    // dialog would check it, without the dialog.
    const bool trial = !m_trialLogFolder.isEmpty();
    if (trial ? check() != S_OK : !ui.confirmCopy(m_context, check))
        return FAILED(targetCheck) ? targetCheck : S_FALSE;
    if (checkUserDefinedElements() != S_OK)
        return S_FALSE;
    if (!unselectedDependencies().isEmpty() && !confirmed(text(10055)))
        return S_FALSE;
    const QStringList refusing = refusingCategories(m_context.copyMethod);
    if (!refusing.isEmpty()) {
        QString list;
        for (const QString& category : refusing)
            list += QStringLiteral("\r\n %1").arg(category);
        CTSBSTR question(ui.language());
        question.FormatId(10058, text(MRV_CopyLog::copyMethodId(m_context.copyMethod)), list);
        if (!confirmed(question))
            return S_FALSE;
    }
    // From here to its end the run is the only one writing into the target.
    MRV_RunLock runLock;
    if (!lockTarget(runLock))
        return E_FAIL;
    if (!approvalHolds(selection))
        return E_FAIL;
    if (!checkBackup())
        return S_FALSE;

    // The selection goes through a file of this run's own, made before
    // anything else so that a folder that is not private stops the run
    // before the log is begun.
    const MRV_IntermediateFile intermediate;
    if (!intermediate.isValid()) {
        ui.error(intermediate.error());
        return E_FAIL;
    }
    MRV_CopyLog copyLog(m_context);
    if (!openLog(copyLog))
        return S_FALSE;
    m_logPath = copyLog.filePath();
    copyLog.writeHeader(m_backupPath);
    m_context.copyLog = &copyLog;
    MRV_InitialPasswords passwords(m_logPath);
    m_context.initialPasswords = &passwords;
    m_passwordPath.clear();

    const QString savedTarget = m_context.targetFilePath;
    m_context.targetFilePath = intermediate.path();
    HRESULT status = E_FAIL;
    try {
        status = m_manager.writeConfiguration(m_worksheet, !m_context.baseCompany);
    } catch (const std::exception& e) {
        log.LogError(u"Exception caught! %s", QString::fromLocal8Bit(e.what()));
    }
    m_intermediateSize = QFileInfo(intermediate.path()).size();
    m_context.targetFilePath = savedTarget;
    m_context.copyLog = nullptr;
    m_context.initialPasswords = nullptr;
    if (passwords.fileMade())
        m_passwordPath = passwords.path();
    try {
        copyLog.writeEnd();
    } catch (const MRV_CopyLog::WriteError& e) {
        log.LogError(u"%s", QString::fromLocal8Bit(e.what()));
    }
    if (!trial)
        ui.copyCompleted(m_logPath, status, m_passwordPath);
    return status;
}

HRESULT MRV_CopyFlow::saveConfigurationFile(const QString& path) {
    if (!everyCategoryCopies())
        return E_FAIL;
    if (!unselectedDependencies().isEmpty() && !confirmed(text(10055)))
        return S_FALSE;
    const QString savedTarget = m_context.targetFilePath;
    m_context.targetFilePath = path;
    const HRESULT status = m_manager.saveConfiguration(m_worksheet, !m_context.baseCompany);
    m_context.targetFilePath = savedTarget;
    if (status == S_OK)
        MRV_Interaction::current().success(false);
    return status;
}
