#include "tsframework/CTSDateTime.h"

#include <cstdlib>

namespace {

// Names as the C locale writes them, whatever the user's locale.
const char* const kDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                             "Friday", "Saturday", "Sunday"};
const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

QString two(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString shortName(const char* name) {
    return QString::fromLatin1(name, 3);
}

} // namespace

CTSDateTime::CTSDateTime() : m_dateTime(QDateTime::currentDateTime()) {}

CTSDateTime::CTSDateTime(const QDateTime& dateTime) : m_dateTime(dateTime) {}

QString CTSDateTime::Format(QStringView format) const {
    const QDate d = m_dateTime.date();
    const QTime t = m_dateTime.time();
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != u'%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        const QChar c = format[++i];
        switch (c.unicode()) {
        case 'Y':
            out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            break;
        case 'y':
            out += two(d.year() % 100);
            break;
        case 'm':
            out += two(d.month());
            break;
        case 'd':
            out += two(d.day());
            break;
        case 'e':
            out += QStringLiteral("%1").arg(d.day(), 2);
            break;
        case 'H':
            out += two(t.hour());
            break;
        case 'I':
            out += two(t.hour() % 12 == 0 ? 12 : t.hour() % 12);
            break;
        case 'M':
            out += two(t.minute());
            break;
        case 'S':
            out += two(t.second());
            break;
        case 'p':
            out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            break;
        case 'j':
            out += QStringLiteral("%1").arg(d.dayOfYear(), 3, 10, QLatin1Char('0'));
            break;
        case 'a':
            out += shortName(kDays[d.dayOfWeek() - 1]);
            break;
        case 'A':
            out += QLatin1String(kDays[d.dayOfWeek() - 1]);
            break;
        case 'b':
            out += shortName(kMonths[d.month() - 1]);
            break;
        case 'B':
            out += QLatin1String(kMonths[d.month() - 1]);
            break;
        case 'F':
            out += Format(u"%Y-%m-%d");
            break;
        case 'T':
            out += Format(u"%H:%M:%S");
            break;
        case '%':
            out += u'%';
            break;
        default:
            out += u'%';
            out += c;
            break;
        }
    }
    return out;
}

QString CTSDateTime::GetAsISO8601() const {
    const int offset = m_dateTime.offsetFromUtc();
    const QString text =
        m_dateTime.toOffsetFromUtc(offset).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (offset == 0)
        return text + u'Z';
    const int minutes = std::abs(offset) / 60;
    return text + (offset < 0 ? u'-' : u'+') + two(minutes / 60) + u':' + two(minutes % 60);
}

std::optional<CTSDateTime> CTSDateTime::FromISO8601(QStringView text) {
    QDateTime parsed = QDateTime::fromString(text.toString(), Qt::ISODate);
    if (!parsed.isValid())
        return std::nullopt;
    return CTSDateTime(parsed);
}
