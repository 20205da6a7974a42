#include "config/MRV_TrialRun.h"

#include "config/MRV_CopyFlow.h"
#include "config/MRV_ScratchTarget.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

MRV_TrialRun::MRV_TrialRun(MRV_ConnectionContext& context, MRV_Worksheet& worksheet,
                           MRV_ConfigurationManager& manager)
    : m_context(context), m_worksheet(worksheet), m_manager(manager) {}

MRV_TrialRun::~MRV_TrialRun() = default;

QString MRV_TrialRun::categoryText(const QString& categoryId) const {
    for (const auto& node : m_worksheet.nodes)
        if (node->leaf && node->categoryId == categoryId)
            return node->text;
    return categoryId;
}

HRESULT MRV_TrialRun::run(int copyMethod, QString& why) {
    m_records.clear();
    m_changes.clear();
    const std::shared_ptr<LLObjectsCOM::Company> target = m_context.targetCompany;
    if (!target || !target->Connected()) {
        why = QStringLiteral("the worksheet's target company is not logged in to");
        return E_FAIL;
    }
    if (!m_logs.isValid()) {
        why = QStringLiteral("no folder for the trial's log: %1").arg(m_logs.errorString());
        return E_FAIL;
    }
    MRV_ScratchTarget scratch(*target);
    if (!scratch.open(why)) {
        why = QStringLiteral("the target %1 cannot be copied for the trial: %2")
                  .arg(target->CompanyDB, why);
        return E_FAIL;
    }
    // The run sees the scratch copy as its target, under the target's name,
    // and with the method asked for; the worksheet and the context keep
    // theirs.
    const int savedMethod = m_context.copyMethod;
    const int savedWorksheetMethod = m_worksheet.copyMethod;
    const bool modified = m_worksheet.modified;
    m_context.targetCompany = scratch.company();
    if (copyMethod)
        m_context.copyMethod = m_worksheet.copyMethod = copyMethod;
    MRV_CopyFlow flow(m_context, m_worksheet, m_manager);
    flow.setTrial(m_logs.path());
    HRESULT status = E_FAIL;
    try {
        status = flow.copyToTargetCompany();
    } catch (...) {
        m_context.targetCompany = target;
        throw;
    }
    m_context.targetCompany = target;
    m_context.copyMethod = savedMethod;
    m_worksheet.copyMethod = savedWorksheetMethod;
    m_worksheet.modified = modified;
    if (status == S_FALSE || flow.logPath().isEmpty())
        return status;
    MRV_LogFile log(flow.logPath());
    log.setCategoryLookup(MRV_LogFile::templateLookup(&m_context));
    if (log.loadLogFile() != S_OK) {
        why = QStringLiteral("the trial's log %1 cannot be read").arg(flow.logPath());
        return E_FAIL;
    }
    m_records = log.rows();
    m_changes = MRV_TargetDiff::compare(m_context, m_worksheet, *target, *scratch.company());
    return status;
}
