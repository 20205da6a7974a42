#include "tsframework/TSFormat.h"

namespace {

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
    bool wide64 = false; // ll, q, j, I64: the value is 64 bits wide
    QChar conversion;
};

// Parses the conversion that starts after '%' at pos; returns the position
// after it, or -1 when the text there is not a conversion.
qsizetype parseSpec(QStringView f, qsizetype pos, Spec& spec) {
    const auto at = [&](qsizetype i) { return i < f.size() ? f[i] : QChar(); };
    for (;; ++pos) {
        const QChar c = at(pos);
        if (c == u'-')
            spec.left = true;
        else if (c == u'+')
            spec.plus = true;
        else if (c == u' ')
            spec.space = true;
        else if (c == u'#')
            spec.alt = true;
        else if (c == u'0')
            spec.zero = true;
        else
            break;
    }
    while (at(pos).isDigit() && spec.width < 10000)
        spec.width = spec.width * 10 + at(pos++).digitValue();
    if (at(pos) == u'.') {
        spec.precision = 0;
        ++pos;
        while (at(pos).isDigit() && spec.precision < 10000)
            spec.precision = spec.precision * 10 + at(pos++).digitValue();
    }
    for (;;) {
        const QChar c = at(pos);
        if (c == u'l' && at(pos + 1) == u'l') {
            spec.wide64 = true;
            pos += 2;
        } else if (c == u'I' && at(pos + 1) == u'6' && at(pos + 2) == u'4') {
            spec.wide64 = true;
            pos += 3;
        } else if (c == u'q' || c == u'j') {
            spec.wide64 = true;
            ++pos;
        } else if (c == u'h' || c == u'l' || c == u'L' || c == u'z' || c == u't' || c == u'w') {
            ++pos;
        } else {
            break;
        }
    }
    spec.conversion = at(pos);
    static const QString known = QStringLiteral("sSdiuxXocCfFeEgG");
    if (spec.conversion.isNull() || !known.contains(spec.conversion))
        return -1;
    return pos + 1;
}

QString pad(QString body, const Spec& spec, bool numeric) {
    if (body.size() >= spec.width)
        return body;
    const qsizetype fill = spec.width - body.size();
    if (spec.left)
        return body + QString(fill, u' ');
    if (numeric && spec.zero) {
        // Zeros go after the sign or the 0x prefix.
        qsizetype at = 0;
        if (!body.isEmpty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' '))
            at = 1;
        if (body.mid(at, 2).compare(u"0x", Qt::CaseInsensitive) == 0)
            at += 2;
        return body.insert(at, QString(fill, u'0'));
    }
    return QString(fill, u' ') + body;
}

QString signedText(qint64 v, const Spec& spec) {
    QString digits = QString::number(v < 0 ? -static_cast<quint64>(v) : static_cast<quint64>(v));
    if (spec.precision >= 0 && digits.size() < spec.precision)
        digits.prepend(QString(spec.precision - digits.size(), u'0'));
    if (v < 0)
        return u'-' + digits;
    if (spec.plus)
        return u'+' + digits;
    if (spec.space)
        return u' ' + digits;
    return digits;
}

QString unsignedText(quint64 v, const Spec& spec) {
    const QChar c = spec.conversion;
    const int base = (c == u'x' || c == u'X') ? 16 : (c == u'o' ? 8 : 10);
    QString digits = QString::number(v, base);
    if (c == u'X')
        digits = digits.toUpper();
    if (spec.precision >= 0 && digits.size() < spec.precision)
        digits.prepend(QString(spec.precision - digits.size(), u'0'));
    if (spec.alt && base == 16 && v != 0)
        digits.prepend(c == u'X' ? QStringLiteral("0X") : QStringLiteral("0x"));
    if (spec.alt && base == 8 && !digits.startsWith(u'0'))
        digits.prepend(u'0');
    return digits;
}

QString floatText(double v, const Spec& spec) {
    const char c = static_cast<char>(spec.conversion.toLatin1());
    const char form = (c == 'F') ? 'f' : c;
    QString text = QString::number(v, form, spec.precision < 0 ? 6 : spec.precision);
    if (v >= 0 && spec.plus)
        text.prepend(u'+');
    else if (v >= 0 && spec.space)
        text.prepend(u' ');
    return text;
}

// Printf reads a plain int for %u and %X: a negative int prints as its 32-bit
// two's complement, unless a 64-bit length was given.
quint64 asUnsigned(qint64 v, const Spec& spec) {
    if (spec.wide64 || v >= 0)
        return static_cast<quint64>(v);
    if (v >= INT32_MIN)
        return static_cast<quint32>(static_cast<qint32>(v));
    return static_cast<quint64>(v);
}

QString convert(const TSArg& arg, const Spec& spec) {
    const QChar c = spec.conversion;
    const auto& value = arg.value();
    if (const QString* s = std::get_if<QString>(&value)) {
        QString text = *s;
        if ((c == u's' || c == u'S') && spec.precision >= 0)
            text.truncate(spec.precision);
        if (c == u'c' || c == u'C')
            text.truncate(1);
        return pad(text, spec, false);
    }
    if (c == u's' || c == u'S') {
        Spec plain; // a number shown as text: decimal, no sign flags
        plain.conversion = u'd';
        QString text;
        if (auto* i = std::get_if<qint64>(&value))
            text = signedText(*i, plain);
        else if (auto* u = std::get_if<quint64>(&value))
            text = QString::number(*u);
        else
            text = QString::number(std::get<double>(value));
        return pad(text, spec, false);
    }
    if (c == u'c' || c == u'C') {
        const char32_t code = std::holds_alternative<double>(value)
                                  ? static_cast<char32_t>(std::get<double>(value))
                                  : static_cast<char32_t>(std::holds_alternative<qint64>(value)
                                                              ? std::get<qint64>(value)
                                                              : std::get<quint64>(value));
        return pad(QString::fromUcs4(&code, 1), spec, false);
    }
    const bool isFloat = QStringLiteral("fFeEgG").contains(c);
    if (isFloat) {
        double d = 0;
        if (auto* i = std::get_if<qint64>(&value))
            d = static_cast<double>(*i);
        else if (auto* u = std::get_if<quint64>(&value))
            d = static_cast<double>(*u);
        else
            d = std::get<double>(value);
        return pad(floatText(d, spec), spec, true);
    }
    // Integer conversions.
    if (auto* d = std::get_if<double>(&value)) {
        const qint64 i = static_cast<qint64>(*d);
        return pad(c == u'd' || c == u'i' ? signedText(i, spec)
                                          : unsignedText(asUnsigned(i, spec), spec),
                   spec, true);
    }
    if (c == u'd' || c == u'i') {
        if (auto* i = std::get_if<qint64>(&value))
            return pad(signedText(*i, spec), spec, true);
        const quint64 u = std::get<quint64>(value);
        QString text = QString::number(u);
        if (spec.plus)
            text.prepend(u'+');
        return pad(text, spec, true);
    }
    const quint64 u = std::holds_alternative<qint64>(value)
                          ? asUnsigned(std::get<qint64>(value), spec)
                          : std::get<quint64>(value);
    return pad(unsignedText(u, spec), spec, true);
}

} // namespace

QString TSFormat(QStringView format, std::span<const TSArg> args) {
    QString out;
    out.reserve(format.size() + 16 * qsizetype(args.size()));
    std::size_t next = 0;
    qsizetype pos = 0;
    while (pos < format.size()) {
        const qsizetype percent = format.indexOf(u'%', pos);
        if (percent < 0) {
            out += format.mid(pos);
            break;
        }
        out += format.mid(pos, percent - pos);
        if (percent + 1 < format.size() && format[percent + 1] == u'%') {
            out += u'%';
            pos = percent + 2;
            continue;
        }
        Spec spec;
        const qsizetype end = parseSpec(format, percent + 1, spec);
        if (end < 0 || next >= args.size()) {
            // Not a conversion we fill, or no argument for it: keep the text.
            out += u'%';
            pos = percent + 1;
            continue;
        }
        out += convert(args[next++], spec);
        pos = end;
    }
    return out;
}
