#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <concepts>
#include <span>
#include <variant>

// One argument of a printf-style format. Texts are QStrings; integers keep
// their signedness so "%X" of a negative status code prints 80004005.
class TSArg {
public:
    using Value = std::variant<QString, qint64, quint64, double>;

    TSArg(const QString& s) : m_value(s) {}
    TSArg(QStringView s) : m_value(s.toString()) {}
    TSArg(const char16_t* s) : m_value(QString::fromUtf16(s)) {}
    TSArg(const char* s) : m_value(QString::fromUtf8(s)) {}
    template <std::integral T> TSArg(T v) {
        if constexpr (std::is_signed_v<T> || std::is_same_v<T, bool>)
            m_value = static_cast<qint64>(v);
        else
            m_value = static_cast<quint64>(v);
    }
    template <std::floating_point T> TSArg(T v) : m_value(static_cast<double>(v)) {}

    const Value& value() const { return m_value; }

private:
    Value m_value;
};

// Formats like printf for %s %d %i %u %x %X %o %c %f %e %g with flags
// (- + space # 0), width, precision and length modifiers (h l ll I64 ...).
// Unlike printf it never reads past its arguments: a conversion with no
// argument left, an unknown conversion and %n are written out as they
// stand. A text given to a numeric conversion is inserted as text, a number
// given to %s as decimal digits.
QString TSFormat(QStringView format, std::span<const TSArg> args);

template <typename... Args> QString TSFormatArgs(QStringView format, const Args&... args) {
    if constexpr (sizeof...(Args) == 0) {
        return TSFormat(format, {});
    } else {
        const std::array<TSArg, sizeof...(Args)> list{TSArg(args)...};
        return TSFormat(format, list);
    }
}
