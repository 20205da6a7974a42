#include "cli/MRV_CliLogCommands.h"

#include "cli/MRV_TerminalInteraction.h"
#include "config/MRV_LogFile.h"
#include "config/MRV_LogHeaderInfo.h"
#include "tsframework/CTSBSTR.h"

#include <algorithm>

int MRV_CliLogCommands::run(const QStringList& args) {
    MRV_CliArgs parsed({}, {});
    int status = Ok;
    if (!parse(parsed, args, &status))
        return status;
    const QStringList& ops = parsed.operands();
    const QString sub = ops.value(0);
    if (sub == u"show" && ops.size() == 2)
        return show(ops[1]);
    if (sub == u"export" && ops.size() == 3)
        return exportTo(ops[1], ops[2]);
    return usageError(QStringLiteral("use 'log show LOG' or 'log export LOG OUT.xls'"));
}

bool MRV_CliLogCommands::load(MRV_LogFile& log, int* status) {
    log.setCategoryLookup(MRV_LogFile::templateLookup(nullptr));
    // A bad line is reported and the lines before it are still shown.
    const bool whole = log.loadLogFile() == S_OK;
    *status = whole ? Ok : Failed;
    return whole || !log.rows().isEmpty() || !log.headerText().isEmpty();
}

int MRV_CliLogCommands::show(const QString& path) {
    MRV_LogFile log(path);
    int status = Ok;
    if (!load(log, &status))
        return status;
    const QStringList titles = log.columnTitles();
    QList<qsizetype> widths;
    for (const QString& t : titles)
        widths << t.size();
    const QList<int> order = log.shownOrder();
    // One line per row: a value's own line breaks would break the table.
    const auto cell = [](QString v) {
        return v.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    };
    for (const int r : order)
        for (qsizetype c = 0; c < titles.size(); ++c)
            widths[c] = std::max(widths[c], cell(log.rows()[r].value(c)).size());
    const auto line = [&](const QStringList& values) {
        QString text;
        for (qsizetype c = 0; c < titles.size(); ++c) {
            const QString v = cell(values.value(c));
            text += c + 1 < titles.size() ? v.leftJustified(widths[c] + 2) : v;
        }
        while (text.endsWith(u' '))
            text.chop(1);
        m_out << text << '\n';
    };
    header(log);
    line(titles);
    for (const int r : order)
        line(log.rows()[r]);
    m_out.flush();
    if (!log.hasEndLine()) {
        CTSBSTR text(m_ui.language());
        text.FormatId(10221, path);
        return failure(text);
    }
    return status;
}

void MRV_CliLogCommands::header(const MRV_LogFile& log) {
    const QStringList fields = log.headerFields();
    // An id the header may not name reads as the writer's own complaint
    // about it, never as a bare number.
    const auto idText = [this](const QString& field, bool (*known)(int), quint32 unknownId) {
        const int id = MRV_LogFile::leadingNumber(field);
        return m_ui.text(known(id) ? quint32(id) : unknownId);
    };
    const QList<std::pair<const char*, QString>> lines{
        {"Started", fields.value(0)},
        {"Ended", log.hasEndLine() ? log.endTime() : QStringLiteral("(no end line)")},
        {"Base", fields.value(1)},
        {"Target", fields.value(2)},
        {"Copy method", idText(fields.value(3), &MRV_LogHeaderInfo::isCopyMethod, 10009)},
        {"Response", idText(fields.value(4), &MRV_LogHeaderInfo::isResponse, 10010)},
        {"Ignore UDFs", fields.value(5) == u"1" ? QStringLiteral("yes") : QStringLiteral("no")},
        {"Backup", log.backupFile().isEmpty() ? QStringLiteral("(none made)") : log.backupFile()}};
    for (const auto& [name, value] : lines)
        m_out << (QLatin1String(name) + u':').leftJustified(14)
              << QString(value).replace(u'\r', u' ').replace(u'\n', u' ') << '\n';
    m_out << '\n';
}

int MRV_CliLogCommands::exportTo(const QString& path, const QString& out) {
    MRV_LogFile log(path);
    int status = Ok;
    if (!load(log, &status))
        return status;
    if (!log.writeExcel(out, log.shownOrder()))
        return failure(QStringLiteral("cannot write %1").arg(out));
    return status;
}
