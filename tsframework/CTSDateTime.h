#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// A point in time as the framework formats it: local time written with
// strftime-style formats ("%Y%m%d%H%M%S") or as ISO 8601 with the offset
// from UTC.
class CTSDateTime {
public:
    // Now, in local time.
    CTSDateTime();
    explicit CTSDateTime(const QDateTime& dateTime);
    static CTSDateTime Now() { return CTSDateTime(); }

    // Formats like strftime in the C locale for %Y %y %m %d %e %H %I %M %S %p
    // %j %a %A %b %B %F %T and %%. Any other conversion, and a lone % at the
    // end, is written as it stands.
    QString Format(QStringView format) const;
    // "2024-03-01T14:05:09+01:00" ("Z" for UTC).
    QString GetAsISO8601() const;
    // Reads what GetAsISO8601 writes, and ISO 8601 without an offset (taken
    // as local time); nothing for other text.
    static std::optional<CTSDateTime> FromISO8601(QStringView text);

    const QDateTime& dateTime() const { return m_dateTime; }

private:
    QDateTime m_dateTime;
};
