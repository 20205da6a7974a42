#include "tsframework/CTSDbDefinition.h"

#include <QSet>
#include <QXmlStreamReader>

namespace {

constexpr int kLargestCharSize = 254;

bool isYes(const QString& text) {
    const QString t = text.trimmed().toLower();
    return t == u"y" || t == u"yes" || t == u"1" || t == u"true" || t == u"tyes";
}

// Reads one element level after another; every problem ends the parse with
// the line it was found on.
class Reader {
public:
    Reader(const QString& xml, QString& error) : m_xml(xml), m_error(error) {}

    bool fail(const QString& why) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Line %1: %2").arg(m_xml.lineNumber()).arg(why);
        return false;
    }
    bool expect(QStringView name) {
        if (!m_xml.readNextStartElement())
            return fail(m_xml.hasError() ? m_xml.errorString()
                                         : QStringLiteral("<%1> is missing").arg(name));
        if (m_xml.name() != name)
            return fail(QStringLiteral("<%1> where <%2> belongs").arg(m_xml.name(), name));
        return true;
    }
    QString attribute(QStringView name) const {
        return m_xml.attributes().value(name.toString()).toString();
    }
    bool required(QStringView name, QString& value) {
        value = attribute(name).trimmed();
        return !value.isEmpty() ||
               fail(QStringLiteral("<%1> has no %2").arg(m_xml.name(), name.toString()));
    }

    bool document(CTSDbDefinition& definition) {
        if (!expect(u"database") || !expect(u"usertables"))
            return false;
        QSet<QString> names;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"usertable")
                return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
            CTSDbDefinition::Table table;
            if (!this->table(table))
                return false;
            if (names.contains(table.name.toUpper()))
                return fail(QStringLiteral("The table %1 is defined twice").arg(table.name));
            names.insert(table.name.toUpper());
            definition.tables << table;
        }
        return !m_xml.hasError() || fail(m_xml.errorString());
    }

private:
    bool table(CTSDbDefinition::Table& table) {
        if (!required(u"TableName", table.name))
            return false;
        table.description = attribute(u"TableDescription");
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"userfields") {
                if (!fields(table))
                    return false;
            } else if (m_xml.name() == u"userkeys") {
                if (!keys(table))
                    return false;
            } else {
                return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
            }
        }
        return !m_xml.hasError() || fail(m_xml.errorString());
    }

    bool fields(CTSDbDefinition::Table& table) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"userfield")
                return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
            CTSDbDefinition::Field field;
            if (!this->field(field))
                return false;
            for (const CTSDbDefinition::Field& f : table.fields)
                if (f.name.compare(field.name, Qt::CaseInsensitive) == 0)
                    return fail(QStringLiteral("The field %1 of %2 is defined twice")
                                    .arg(field.name, table.name));
            table.fields << field;
        }
        return !m_xml.hasError() || fail(m_xml.errorString());
    }

    bool field(CTSDbDefinition::Field& field) {
        QString type;
        if (!required(u"Name", field.name) || !required(u"Type", type))
            return false;
        field.description = attribute(u"Description");
        field.defaultValue = attribute(u"DefaultValue");
        if (!CTSDbDefinition::typeFromName(type, field.type))
            return fail(
                QStringLiteral("The field %1 has the unknown type '%2'").arg(field.name, type));
        const QString size = attribute(u"Size").trimmed();
        bool ok = true;
        field.size = size.isEmpty() ? 0 : size.toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("The field %1 has the size '%2'").arg(field.name, size));
        if (field.type == CTSDbDefinition::Type::Flag)
            field.size = 1;
        if (field.type == CTSDbDefinition::Type::Char &&
            (field.size < 1 || field.size > kLargestCharSize))
            return fail(QStringLiteral("The CHAR field %1 needs a size of 1 to %2")
                            .arg(field.name)
                            .arg(kLargestCharSize));
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"ValidValues")
                return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() != u"ValidValue")
                    return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
                CTSDbDefinition::ValidValue v{attribute(u"Value"), attribute(u"Description")};
                if (v.value.isEmpty())
                    return fail(QStringLiteral("A valid value of %1 is empty").arg(field.name));
                field.validValues << v;
                m_xml.skipCurrentElement();
            }
        }
        return !m_xml.hasError() || fail(m_xml.errorString());
    }

    bool keys(CTSDbDefinition::Table& table) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"userkey")
                return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
            CTSDbDefinition::Key key;
            if (!required(u"Name", key.name))
                return false;
            key.unique = isYes(attribute(u"Unique"));
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() != u"element")
                    return fail(QStringLiteral("Unknown element <%1>").arg(m_xml.name()));
                const QString name = m_xml.readElementText().trimmed();
                const bool known =
                    std::any_of(table.fields.begin(), table.fields.end(), [&](const auto& f) {
                        return f.name.compare(name, Qt::CaseInsensitive) == 0;
                    });
                if (!known)
                    return fail(QStringLiteral("The key %1 names '%2', which is not a field of %3")
                                    .arg(key.name, name, table.name));
                key.fields << name;
            }
            if (key.fields.isEmpty())
                return fail(QStringLiteral("The key %1 names no field").arg(key.name));
            table.keys << key;
        }
        return !m_xml.hasError() || fail(m_xml.errorString());
    }

    QXmlStreamReader m_xml;
    QString& m_error;
};

} // namespace

int CTSDbDefinition::Field::hostType() const {
    switch (type) {
    case Type::Char:
    case Type::Flag:
        return 0;
    case Type::Memo:
        return 1;
    case Type::Int:
    case Type::Id:
        return 2;
    case Type::Date:
        return 3;
    case Type::Float:
        break;
    }
    return 4;
}

int CTSDbDefinition::Field::hostSize() const {
    return hostType() == 0 ? size : 0;
}

bool CTSDbDefinition::typeFromName(const QString& name, Type& type) {
    static const QList<std::pair<const char*, Type>> names{
        {"CHAR", Type::Char}, {"INT", Type::Int},   {"ID", Type::Id},      {"FLAG", Type::Flag},
        {"MEMO", Type::Memo}, {"DATE", Type::Date}, {"FLOAT", Type::Float}};
    for (const auto& [n, t] : names) {
        if (name.trimmed().compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
            type = t;
            return true;
        }
    }
    return false;
}

bool CTSDbDefinition::parse(const QString& xml, CTSDbDefinition& definition, QString& error) {
    error.clear();
    CTSDbDefinition read;
    Reader reader(xml, error);
    if (!reader.document(read))
        return false;
    definition = read;
    return true;
}
