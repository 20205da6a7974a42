#include "host/objects/LLAdminInfo.h"

#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLSchema.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace LLObjectsCOM {

namespace {

const QString kTable = QStringLiteral("OADM");
const QString kKey = QStringLiteral("Code");

// The only column whose property is not named as the column.
QString propertyOf(const QString& column) {
    return column == u"CompnyName" ? QStringLiteral("CompanyName") : column;
}

bool isReadOnly(const QString& property) {
    return property == u"CreateDate" || property == u"UpdateDate";
}

// Enumerations stored as numbers: the time format (24-hour, 12-hour) and
// the six date formats.
struct Range {
    const char16_t* property;
    int low;
    int high;
};
constexpr Range kRanges[] = {{u"TimeTemplate", 0, 1}, {u"DateTemplate", 0, 5}};

// The OADM row as a business object: every column but the key is a
// property, so Update checks each value the way every record is checked.
const ObjectDefinition& adminDefinition() {
    static const ObjectDefinition definition = [] {
        const Schema::Table* table = Schema::standard().table(kTable);
        if (!table)
            throw ComError(errSchema, QStringLiteral("The host schema has no OADM"));
        QString text = QStringLiteral("object 1 AdminInfo\n  table OADM\n  key Code Code\n");
        for (const Schema::Column& c : table->columns) {
            if (c.name == kKey)
                continue;
            const bool required = c.notNull && c.defaultValue.isEmpty();
            text += QStringLiteral("  field %1 %2%3\n")
                        .arg(propertyOf(c.name), c.name,
                             required ? QStringLiteral(" required") : QString());
        }
        return service::definition(text);
    }();
    return definition;
}

const Schema::Column& columnOf(const ObjectDefinition::Field& field) {
    return *Schema::standard().table(kTable)->column(field.column);
}

QVariant typed(const Schema::Column& c, const QVariant& stored) {
    if (stored.isNull())
        return QVariant();
    if (c.isInteger())
        return stored.toInt();
    if (c.type == u"numeric")
        return stored.toDouble();
    if (c.type == u"datetime")
        return QDate::fromString(stored.toString().left(10), QStringLiteral("yyyy-MM-dd"));
    return stored.toString();
}

// A value as the record text the business object converts and checks.
QString textOf(const QVariant& value) {
    if (value.isNull())
        return QStringLiteral("");
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyyMMdd"));
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(QStringLiteral("yyyyMMdd"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Y") : QStringLiteral("N");
    default:
        return Recordset::valueText(value);
    }
}

// A yes/no switch: one character that defaults to Y or N.
bool isFlag(const Schema::Column& c) {
    return c.type == u"char" && c.length == 1 &&
           (c.defaultValue == u"'Y'" || c.defaultValue == u"'N'");
}

} // namespace

AdminInfo::AdminInfo(std::shared_ptr<CompanyState> company) : m_company(std::move(company)) {
    read();
}

void AdminInfo::read() {
    service::requireConnected(*m_company);
    const ObjectDefinition& def = adminDefinition();
    QSqlQuery q(m_company->database->connection());
    if (!q.exec(QStringLiteral("SELECT * FROM \"OADM\" ORDER BY \"Code\"")))
        m_company->fail(errSql, q.lastError().databaseText());
    if (!q.next())
        m_company->fail(errNotACompany,
                        QStringLiteral("The company has no administration information"));
    const QSqlRecord record = q.record();
    QMap<QString, QVariant> values;
    for (const ObjectDefinition::Field& f : def.fields)
        if (f.column != kKey)
            values.insert(f.property, typed(columnOf(f), q.value(record.indexOf(f.column))));
    m_key = q.value(record.indexOf(kKey));
    m_values = values;
}

void AdminInfo::Refresh() {
    read();
    m_changes.clear();
}

QStringList AdminInfo::PropertyNames() const {
    QStringList names;
    for (const ObjectDefinition::Field& f : adminDefinition().fields)
        if (f.column != kKey)
            names << f.property;
    return names;
}

QString AdminInfo::propertyName(const QString& name) const {
    for (auto it = m_values.begin(); it != m_values.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    return QString();
}

QVariant AdminInfo::GetProperty(const QString& name) const {
    const QString property = propertyName(name);
    if (property.isEmpty())
        m_company->fail(
            errUnknownMember,
            QStringLiteral("The administration information has no property %1").arg(name));
    return m_changes.contains(property) ? m_changes.value(property) : m_values.value(property);
}

void AdminInfo::SetProperty(const QString& name, const QVariant& value) {
    const QString property = propertyName(name);
    if (property.isEmpty())
        m_company->fail(
            errUnknownMember,
            QStringLiteral("The administration information has no property %1").arg(name));
    if (isReadOnly(property))
        m_company->fail(errInvalidArgument,
                        QStringLiteral("%1 is kept by the host and cannot be set").arg(property));
    m_changes.insert(property, value);
}

void AdminInfo::checkChanges() const {
    const ObjectDefinition& def = adminDefinition();
    for (auto it = m_changes.begin(); it != m_changes.end(); ++it) {
        const QString text = textOf(it.value());
        const Schema::Column& c = columnOf(*def.fieldByProperty(it.key()));
        if (isFlag(c) && text != u"Y" && text != u"N")
            m_company->fail(
                errWrongType,
                QStringLiteral("%1 takes Y or N, not '%2'").arg(it.key(), text.left(40)));
        for (const Range& range : kRanges) {
            bool ok = false;
            const int n = text.trimmed().toInt(&ok);
            // Text that is no number at all is the business object's to refuse.
            if (it.key() == QStringView(range.property) && ok && (n < range.low || n > range.high))
                m_company->fail(errWrongType, QStringLiteral("%1 takes %2 to %3, not %4")
                                                  .arg(it.key())
                                                  .arg(range.low)
                                                  .arg(range.high)
                                                  .arg(n));
        }
    }
}

void AdminInfo::Update() {
    service::requireConnected(*m_company);
    checkChanges();
    service::atomically(*m_company, [this] {
        BusinessObject row(m_company, adminDefinition());
        row.SetProperty(kKey, Recordset::valueText(m_key));
        for (auto it = m_changes.begin(); it != m_changes.end(); ++it)
            row.SetProperty(it.key(), textOf(it.value()));
        if (const int code = row.Update(); code != 0)
            throw ComError(code, m_company->lastErrorText);
        const QDate today = m_company->clock().date();
        QString why;
        if (!m_company->database->exec(
                QStringLiteral("UPDATE \"OADM\" SET \"UpdateDate\" = ? WHERE \"Code\" = ?"), &why,
                {today.toString(QStringLiteral("yyyy-MM-dd 00:00:00")), m_key}))
            m_company->fail(errSql, why);
    });
    m_changes.clear();
    read();
}

} // namespace LLObjectsCOM
