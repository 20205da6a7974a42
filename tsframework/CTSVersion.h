#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <compare>

// A version of five numbers, major.minor.release.build.revision, written
// "0.00.00.00.00": the major number as it is, the others with at least two
// digits. Versions compare number by number.
class CTSVersion {
public:
    static constexpr int Parts = 5;

    CTSVersion() = default;
    CTSVersion(int major, int minor, int release = 0, int build = 0, int revision = 0);
    // Reads a version text; an invalid text gives 0.00.00.00.00 (see
    // SetVersion).
    explicit CTSVersion(QStringView text);

    // Reads "1.02.03.04.05"; fewer than five numbers count the missing ones
    // as zero ("0.1.0"). False, and the version unchanged, for an empty text,
    // more than five numbers, anything but digits and dots, or a number above
    // 99999.
    bool SetVersion(QStringView text);
    QString GetVersionAsBSTR() const;

    int part(int index) const { return m_parts.at(static_cast<size_t>(index)); }
    bool IsZero() const { return *this == CTSVersion(); }

    friend auto operator<=>(const CTSVersion&, const CTSVersion&) = default;

private:
    std::array<int, Parts> m_parts{};
};
