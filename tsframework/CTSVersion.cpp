#include "tsframework/CTSVersion.h"

#include <QList>

#include <algorithm>

namespace {

constexpr int kLargestPart = 99999;

} // namespace

CTSVersion::CTSVersion(int major, int minor, int release, int build, int revision)
    : m_parts{major, minor, release, build, revision} {
    for (int& p : m_parts)
        p = std::clamp(p, 0, kLargestPart);
}

CTSVersion::CTSVersion(QStringView text) {
    SetVersion(text);
}

bool CTSVersion::SetVersion(QStringView text) {
    const QList<QStringView> numbers = text.trimmed().split(u'.');
    if (text.trimmed().isEmpty() || numbers.size() > Parts)
        return false;
    std::array<int, Parts> parts{};
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const QStringView n = numbers[i];
        // Digits only: toInt would take a sign or blanks as well.
        if (n.isEmpty() || n.size() > 5 ||
            !std::all_of(n.begin(), n.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return false;
        parts[static_cast<size_t>(i)] = n.toInt();
    }
    m_parts = parts;
    return true;
}

QString CTSVersion::GetVersionAsBSTR() const {
    return QStringLiteral("%1.%2.%3.%4.%5")
        .arg(m_parts[0])
        .arg(m_parts[1], 2, 10, QLatin1Char('0'))
        .arg(m_parts[2], 2, 10, QLatin1Char('0'))
        .arg(m_parts[3], 2, 10, QLatin1Char('0'))
        .arg(m_parts[4], 2, 10, QLatin1Char('0'));
}
