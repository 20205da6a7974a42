#include "config/MRV_TrialRun.h"

#include "config/MRV_CopyFlow.h"
#include "config/MRV_ScratchTarget.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QDateTime>
#include <QSet>

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

HRESULT MRV_TrialRun::run(int copyMethod, QString& why, bool approvable) {
    m_records.clear();
    m_changes.clear();
    m_state.reset();
    const std::shared_ptr<LLObjectsCOM::Company> target = m_context.targetCompany;
    if (!target || !target->Connected()) {
        why = QStringLiteral("the worksheet's target company is not logged in to");
        return E_FAIL;
    }
    if (!m_logs.isValid()) {
        why = QStringLiteral("no folder for the trial's log: %1").arg(m_logs.errorString());
        return E_FAIL;
    }
    // As a later copy with this method will find it.
    if (approvable)
        m_state = MRV_Approval::current(m_context, m_worksheet,
                                        copyMethod ? copyMethod : m_context.copyMethod);
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

namespace {

QString kindText(MRV_TargetDiff::Row::Kind kind, bool verifying) {
    switch (kind) {
    case MRV_TargetDiff::Row::Added:
        return verifying ? QStringLiteral("missing") : QStringLiteral("add");
    case MRV_TargetDiff::Row::Removed:
        return verifying ? QStringLiteral("extra") : QStringLiteral("delete");
    case MRV_TargetDiff::Row::Changed:
        break;
    }
    return verifying ? QStringLiteral("differs") : QStringLiteral("update");
}

} // namespace

QString MRV_TrialRun::whatText(const QString& what) {
    static const std::pair<const char16_t*, quint32> texts[] = {
        {u"add", 10237},     {u"update", 10238}, {u"delete", 10239},  {u"fail", 10240},
        {u"missing", 10241}, {u"extra", 10242},  {u"differs", 10243}, {u"cannot check", 10244}};
    for (const auto& [code, id] : texts)
        if (what == code)
            return MRV_Interaction::current().text(id);
    return what;
}

QStringList MRV_TrialRun::Finding::shown() const {
    return {whatText(what), category, table, key, field, targetValue, baseValue, reason};
}

QStringList MRV_TrialRun::columnTitles() {
    QStringList titles;
    for (quint32 id = 10223; id <= 10230; ++id)
        titles << MRV_Interaction::current().text(id);
    return titles;
}

void MRV_TrialRun::addFindings(const MRV_TargetDiff::Row& row, bool verifying,
                               QList<Finding>& found) const {
    const Finding base{kindText(row.kind, verifying), categoryText(row.categoryId), row.table,
                       row.key};
    if (row.fields.isEmpty())
        found << base;
    for (const MRV_TargetDiff::Field& field : row.fields) {
        Finding changed = base;
        changed.field = field.column;
        changed.targetValue = field.before;
        changed.baseValue = field.after;
        found << changed;
    }
}

bool MRV_TrialRun::approve(const QString& user, QString& path, QString& why) {
    if (!m_state) {
        why = QStringLiteral("no preview to approve");
        return false;
    }
    QStringList lines;
    for (const Finding& f : findings())
        lines << QStringList{f.what,  f.category,    f.table,     f.key,
                             f.field, f.targetValue, f.baseValue, f.reason}
                     .join(u'\t');
    MRV_Approval approval = *m_state;
    approval.preview = MRV_Approval::digestOf(lines);
    approval.approvedBy = user;
    approval.approvedAt =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    path = MRV_Approval::pathFor(m_context.worksheetPath);
    return approval.save(path, why);
}

QList<MRV_TrialRun::Finding> MRV_TrialRun::findings() const {
    QList<Finding> found;
    for (const MRV_TargetDiff::Row& row : m_changes)
        addFindings(row, false, found);
    const QString succeeded = MRV_Interaction::current().text(402);
    for (const MRV_LogFile::Row& record : m_records)
        if (record[MRV_LogFile::Result] != succeeded)
            found << Finding{QStringLiteral("fail"),
                             record[MRV_LogFile::Category],
                             {},
                             record[MRV_LogFile::BaseCode],
                             {},
                             {},
                             {},
                             record[MRV_LogFile::Error]};
    return found;
}

MRV_TrialRun::Verification MRV_TrialRun::verify(const MRV_LogFile& log) const {
    MRV_Interaction& ui = MRV_Interaction::current();
    const QString succeeded = ui.text(402), added = ui.text(212);
    // What the run of the log says it copied, by category and base code.
    QSet<QString> copied, failed;
    for (const MRV_LogFile::Row& row : log.rows())
        (row[MRV_LogFile::Result] == succeeded ? copied : failed)
            .insert(row[MRV_LogFile::Category] + u'\t' + row[MRV_LogFile::BaseCode]);
    Verification result;
    for (const MRV_LogFile::Row& record : m_records) {
        const QString id = record[MRV_LogFile::Category] + u'\t' + record[MRV_LogFile::BaseCode];
        if (failed.contains(id))
            continue; // the log says it was not copied
        if (record[MRV_LogFile::Result] != succeeded) {
            ++result.unchecked;
            result.findings << Finding{QStringLiteral("cannot check"),
                                       record[MRV_LogFile::Category],
                                       {},
                                       record[MRV_LogFile::BaseCode],
                                       {},
                                       {},
                                       {},
                                       record[MRV_LogFile::Error]};
        } else if (record[MRV_LogFile::TransType] == added) {
            ++result.missing;
            result.findings << Finding{QStringLiteral("missing"),
                                       record[MRV_LogFile::Category],
                                       {},
                                       record[MRV_LogFile::BaseCode],
                                       {},
                                       {},
                                       {},
                                       copied.contains(id)
                                           ? QStringLiteral("the log says it was copied")
                                           : QStringLiteral("the log does not name it")};
        }
    }
    for (const MRV_TargetDiff::Row& row : m_changes) {
        if (row.kind == MRV_TargetDiff::Row::Added)
            continue; // missing already, by the trial's log
        ++result.differing;
        addFindings(row, true, result.findings);
    }
    return result;
}
