#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The arguments of one mirrova-cli command: options with a value ("--name
// value" or "--name=value", repeatable), flags ("--name"), and operands.
// Each command declares what it takes; anything else is a usage error.
class MRV_CliArgs {
public:
    MRV_CliArgs(QStringList valueOptions, QStringList flags)
        : m_valueOptions(std::move(valueOptions)), m_flags(std::move(flags)) {}

    // False with a message for an unknown option or a missing value.
    bool parse(const QStringList& args, QString* error);

    const QStringList& operands() const { return m_operands; }
    bool flag(const QString& name) const { return m_set.contains(name); }
    bool has(const QString& name) const { return m_values.contains(name); }
    // The last value given for name, or fallback.
    QString value(const QString& name, const QString& fallback = QString()) const;
    QStringList values(const QString& name) const { return m_values.value(name); }
    // The value as a whole number; false with a message when it is none.
    bool number(const QString& name, int& out, QString* error) const;

private:
    QStringList m_valueOptions;
    QStringList m_flags;
    QStringList m_operands;
    QStringList m_set;
    QHash<QString, QStringList> m_values;
};
