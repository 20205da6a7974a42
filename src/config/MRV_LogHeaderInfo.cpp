#include "config/MRV_LogHeaderInfo.h"

#include "config/MRV_CopyLog.h"
#include "config/MRV_LogFile.h"
#include "tsframework/CTSBSTR.h"

#include <QDateTime>

namespace {

const QString logTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

QDateTime MRV_LogHeaderInfo::readTime(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    QDateTime time = QDateTime::fromString(trimmed, logTimeFormat);
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (time.isValid())
            break;
        time = locale.toDateTime(trimmed, format);
    }
    return time;
}

bool MRV_LogHeaderInfo::isCopyMethod(int id) {
    return id == 2022 || id == 2023 || id == 2024 || id == 2025 || id == 10009;
}

bool MRV_LogHeaderInfo::isResponse(int id) {
    return id == 2027 || id == 2028 || id == 2029 || id == 10010;
}

std::optional<MRV_LogHeaderInfo> MRV_LogHeaderInfo::read(const MRV_LogFile& log,
                                                         const QLocale& locale, int language,
                                                         Failure* failure) {
    // Split where a field ends: a "|" inside a company's name is written
    // escaped and must not shift the fields after it.
    const QStringList fields = MRV_CopyLog::splitLine(log.headerText());
    if (fields.size() < 7)
        return std::nullopt;
    const auto fail = [&](int field, int line, const QString& lineText, int column,
                          quint32 titleId) -> std::optional<MRV_LogHeaderInfo> {
        if (failure) {
            failure->field = field;
            failure->message =
                CTSBSTR(language).FormatId(144, log.path(), line, lineText, column,
                                           fields[field - 1], CTSBSTR::load(titleId, language));
        }
        return std::nullopt;
    };
    // The header line as it was read, without the end time added to it.
    const QString headerLine = log.hasEndLine()
                                   ? log.headerText().left(log.headerText().lastIndexOf(u'|'))
                                   : log.headerText();

    MRV_LogHeaderInfo info;
    info.start = readTime(fields[0], locale);
    if (!info.start.isValid())
        return fail(1, 1, headerLine, 1, 151);
    info.copyMethod = MRV_LogFile::leadingNumber(fields[3]);
    if (!isCopyMethod(info.copyMethod))
        return fail(4, 1, headerLine, 4, 156);
    info.response = MRV_LogFile::leadingNumber(fields[4]);
    if (!isResponse(info.response))
        return fail(5, 1, headerLine, 5, 157);
    info.end = readTime(fields[6], locale);
    if (!info.end.isValid())
        return fail(7, log.recordLineCount(), MRV_CopyLog::endMarker() + fields[6], 1, 151);
    info.base = fields[1];
    info.target = fields[2];
    info.ignoreMissingFields = fields[5] == u"1";
    return info;
}

QString MRV_LogHeaderInfo::timeText(const QTime& time, const QLocale& locale) {
    // The locale's short form, with the seconds a log records.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(u's'))
        format.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    return locale.toString(time, format);
}

QStringList MRV_LogHeaderInfo::shownValues(const QLocale& locale, int language) const {
    return {locale.toString(start.date(), QLocale::ShortFormat),
            timeText(start.time(), locale),
            timeText(end.time(), locale),
            base,
            target,
            CTSBSTR::load(quint32(copyMethod), language),
            CTSBSTR::load(quint32(response), language),
            ignoreMissingFields ? QStringLiteral("1") : QStringLiteral("0")};
}
