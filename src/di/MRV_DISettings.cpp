#include "di/MRV_DISettings.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_DIReferences.h"
#include "di/MRV_RecordScope.h"
#include "di/MRV_TableDeclaration.h"
#include "host/objects/LLAdminInfo.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLXmlText.h"
#include "tsframework/CLogBase.h"
#include "xml/MRV_DOMParser.h"
#include "xml/MRV_XmlString.h"

#include <QDate>

namespace {

const QString AdminTable = QStringLiteral("OADM");
const QString CompanyNameElement = QStringLiteral("CompanyName");
const QString RowElement = QStringLiteral("row");

// A property of the administration information as record text: whole
// numbers as "%ld", decimals as "%lf", dates as the host's YYYYMMDD, empty
// for NULL.
QString propertyText(const QVariant& value) {
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::asprintf("%lf", value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyyMMdd"));
    default:
        return value.toString();
    }
}

// Walks the element children of the cursor's node, then puts the cursor
// back on the parent.
template <typename Visit> void eachChild(MRV_DOMParser& dom, Visit visit) {
    if (!dom.step(0, true))
        return;
    do
        visit();
    while (dom.step(1, true));
    dom.step(0, false);
}

QString valueOf(const QList<std::pair<QString, QString>>& values, const QString& name,
                bool* found = nullptr) {
    for (const auto& [n, v] : values)
        if (n == name) {
            if (found)
                *found = true;
            return v;
        }
    if (found)
        *found = false;
    return QString();
}

} // namespace

MRV_DISettings::MRV_DISettings(MRV_DIInterface& owner, MRV_CompanySql& company,
                               const MRV_TableDeclaration& table)
    : m_owner(owner), m_sql(company), m_table(table) {}

QString MRV_DISettings::read() {
    CLogBase log(u"MRV", u"MRV_DISettings::read");
    QString body;
    QString unwritable; // the first setting XML cannot carry
    const auto add = [&](const QString& name, const QString& value) {
        if (unwritable.isEmpty() && !isXmlText(value))
            unwritable = name;
        body += LLXmlElement(name, value);
    };
    add(CompanyNameElement, m_sql.company().CompanyName());
    if (m_table.name == AdminTable) {
        const std::unique_ptr<LLObjectsCOM::AdminInfo> admin =
            m_sql.company().GetCompanyService()->GetAdminInfo();
        MRV_BOMRecord::Row settings;
        for (const QString& property : m_table.settings) {
            const QString text = propertyText(admin->GetProperty(property));
            if (unwritable.isEmpty() && !isXmlText(text))
                unwritable = property;
            settings.fields << MRV_BOMRecord::Field{property, text};
        }
        // A setting that names a record by its key (the default item group)
        // carries the record's name, as any reference does.
        MRV_BOMRecord record;
        record.groups() << MRV_BOMRecord::Group{MRV_BOMRecord::groupName(AdminTable), {settings}};
        MRV_DIReferences(m_sql).addDependencies(m_table, record);
        body += MRV_BOMRecord::rowXml(record.groups().first().rows.first());
    } else {
        MRV_SQLBuilder select = m_sql.builder(m_table.name);
        for (const QString& column : m_table.keyColumns + m_table.settings)
            select.addSelectColumn(column);
        QStringList order;
        for (const QString& key : m_table.keyColumns)
            order << m_sql.column(key);
        const MRV_CompanySql::Rows rows = m_sql.query(
            select.buildSelect() + QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")));
        const QStringList columns = m_table.keyColumns + m_table.settings;
        for (const QVariantList& row : rows.values) {
            body += QLatin1String("<row>");
            for (qsizetype i = 0; i < columns.size(); ++i)
                add(columns[i], MRV_CompanySql::text(row.value(i)));
            body += QLatin1String("</row>");
        }
    }
    if (!unwritable.isEmpty()) {
        m_owner.logReadFailure(
            m_table.settingsElement,
            QStringLiteral("The value of %1 holds a character that XML cannot carry")
                .arg(unwritable));
        return QString();
    }
    const QString& root = m_table.settingsElement;
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" ?><BOM><") + root + u'>' +
           body + QLatin1String("</") + root + QLatin1String("></BOM>");
}

bool MRV_DISettings::parse(const QString& xml, Record& record, QString& error) const {
    MRV_DOMParser dom;
    if (!dom.parseString(xml)) {
        error = QStringLiteral("The record is not a settings document: ") + dom.errorList();
        return false;
    }
    if (!dom.initCursor() || dom.nodeName() != u"BOM" || !dom.step(0, true) ||
        dom.nodeName() != m_table.settingsElement) {
        error = QStringLiteral("The record holds no %1").arg(m_table.settingsElement);
        return false;
    }
    if (m_table.name == AdminTable) {
        record.settings = MRV_BOMRecord::readRow(dom);
        record.companyName = record.settings.value(CompanyNameElement);
        record.settings.removeField(CompanyNameElement);
        return true;
    }
    eachChild(dom, [&] {
        const QString name = dom.nodeName();
        if (name == CompanyNameElement) {
            record.companyName = dom.nodeText();
        } else if (name == RowElement) {
            Values row;
            eachChild(dom, [&] { row << std::pair{dom.nodeName(), dom.nodeText()}; });
            record.rows << row;
        }
    });
    return true;
}

bool MRV_DISettings::settingsOf(const Values& values, QStringList& texts, QString& error) const {
    // A setting the record lacks would keep the target's value while the
    // line says the settings were copied: the record fails instead.
    for (const QString& setting : m_table.settings) {
        bool found = false;
        texts << valueOf(values, setting, &found);
        if (!found) {
            error = QStringLiteral("The record has no value of %1").arg(setting);
            return false;
        }
    }
    return true;
}

void MRV_DISettings::write(const QList<MRV_BOMDocument>& documents) {
    CLogBase log(u"MRV", u"MRV_DISettings::write");
    for (const MRV_BOMDocument& document : documents) {
        Outcome outcome;
        outcome.operation = MRV_DIInterface::UpdateExisting;
        outcome.baseCode = m_table.settingsElement;
        outcome.targetCode = m_table.settingsElement;
        try {
            outcome.targetDescription = m_sql.company().CompanyName();
            Record record;
            if (parse(document.xml, record, outcome.error)) {
                outcome.baseDescription = record.companyName;
                outcome.succeeded = m_table.name == AdminTable ? writeAdminInfo(record, outcome)
                                                               : writeRows(record, outcome);
            }
        } catch (const ComError& e) {
            outcome.succeeded = false;
            outcome.error = MRV_DIInterface::errorText(e);
        }
        if (!outcome.succeeded)
            log.LogError(u"%s not written: %s", m_table.settingsElement, outcome.error);
        m_owner.logOutcome(outcome);
    }
}

bool MRV_DISettings::writeAdminInfo(const Record& record, Outcome& outcome) {
    for (const QString& setting : m_table.settings)
        if (!record.settings.has(setting)) {
            outcome.error = QStringLiteral("The record has no value of %1").arg(setting);
            return false;
        }
    // References become the target's keys; an optional one the target
    // cannot resolve yet is left out, and the target keeps its value.
    MRV_BOMRecord prepared;
    prepared.groups() << MRV_BOMRecord::Group{MRV_BOMRecord::groupName(AdminTable),
                                              {record.settings}};
    if (!m_owner.prepareForTarget(m_table, prepared, outcome))
        return false;
    const MRV_BOMRecord::Row& settings = prepared.groups().first().rows.first();
    const std::unique_ptr<LLObjectsCOM::AdminInfo> admin =
        m_sql.company().GetCompanyService()->GetAdminInfo();
    // The text as it stands: the host converts it to the property's type
    // and refuses, for the whole update, what does not fit.
    for (const QString& setting : m_table.settings)
        if (settings.has(setting) && !m_table.settingsNotWritten.contains(setting))
            admin->SetProperty(setting, settings.value(setting));
    admin->Update();
    return true;
}

bool MRV_DISettings::writeRows(const Record& record, Outcome& outcome) {
    MRV_RecordScope scope(m_sql.company());
    bool ok = true;
    for (const Values& row : record.rows)
        if (!(ok = writeRow(row, outcome.error)))
            break;
    scope.finish(ok);
    return ok;
}

bool MRV_DISettings::writeRow(const Values& row, QString& error) {
    QStringList keys;
    for (const QString& column : m_table.keyColumns) {
        keys << valueOf(row, column);
        if (keys.last().trimmed().isEmpty()) {
            error = QStringLiteral("A row of the record has no %1").arg(column);
            return false;
        }
    }
    QStringList texts;
    if (!settingsOf(row, texts, error))
        return false;
    MRV_SQLBuilder key = m_sql.builder(m_table.name);
    for (qsizetype i = 0; i < keys.size(); ++i)
        key.addCondition(m_table.keyColumns[i], keys[i],
                         m_sql.valueType(m_table.name, m_table.keyColumns[i]));
    MRV_SQLBuilder values = m_sql.builder(m_table.name);
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (!m_table.settingsNotWritten.contains(m_table.settings[i]))
            values.addCondition(m_table.settings[i], texts[i],
                                m_sql.valueType(m_table.name, m_table.settings[i]));
    for (const MRV_SQLBuilder* b : {&key, &values})
        if (!b->isValid()) {
            error = b->invalidReason();
            return false;
        }
    key.addSelectColumn(m_table.keyColumns.value(0));
    if (!m_sql.query(key.buildSelect()).values.isEmpty()) {
        m_sql.execute(values.buildUpdate() + key.buildWhere());
        return true;
    }
    // A document type whose preferences the target has never set gets the
    // base's.
    MRV_SQLBuilder insert = m_sql.builder(m_table.name);
    for (qsizetype i = 0; i < keys.size(); ++i)
        insert.addCondition(m_table.keyColumns[i], keys[i],
                            m_sql.valueType(m_table.name, m_table.keyColumns[i]));
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (!m_table.settingsNotWritten.contains(m_table.settings[i]))
            insert.addCondition(m_table.settings[i], texts[i],
                                m_sql.valueType(m_table.name, m_table.settings[i]));
    m_sql.execute(insert.buildInsert());
    return true;
}
