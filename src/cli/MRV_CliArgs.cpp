#include "cli/MRV_CliArgs.h"

bool MRV_CliArgs::parse(const QStringList& args, QString* error) {
    bool optionsEnd = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnd || !arg.startsWith(QLatin1String("--"))) {
            m_operands << arg;
            continue;
        }
        if (arg == u"--") {
            optionsEnd = true;
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
        if (m_flags.contains(name)) {
            if (equals >= 0) {
                *error = QStringLiteral("option '--%1' takes no value").arg(name);
                return false;
            }
            m_set << name;
            continue;
        }
        if (!m_valueOptions.contains(name)) {
            *error = QStringLiteral("unknown option '--%1'").arg(name);
            return false;
        }
        if (equals >= 0) {
            m_values[name] << arg.mid(equals + 1);
        } else if (i + 1 < args.size()) {
            m_values[name] << args[++i];
        } else {
            *error = QStringLiteral("option '--%1' needs a value").arg(name);
            return false;
        }
    }
    return true;
}

QString MRV_CliArgs::value(const QString& name, const QString& fallback) const {
    const QStringList given = m_values.value(name);
    return given.isEmpty() ? fallback : given.last();
}

bool MRV_CliArgs::number(const QString& name, int& out, QString* error) const {
    bool ok = false;
    const int n = value(name).toInt(&ok);
    if (!ok) {
        *error = QStringLiteral("'%1' is not a number for '--%2'").arg(value(name), name);
        return false;
    }
    out = n;
    return true;
}
