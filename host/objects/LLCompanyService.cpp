#include "host/objects/LLCompanyService.h"

#include "host/objects/LLAdminInfo.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLFormPreferencesService.h"
#include "host/objects/LLLayoutService.h"
#include "host/objects/LLMenuService.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLSchema.h"
#include "host/objects/LLXmlText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QXmlStreamReader>

namespace LLObjectsCOM {

CompanyService::CompanyService(std::shared_ptr<CompanyState> company, int userSignature)
    : m_company(std::move(company)), m_userSignature(userSignature) {}

std::unique_ptr<AdminInfo> CompanyService::GetAdminInfo() {
    return std::make_unique<AdminInfo>(m_company);
}

std::unique_ptr<HostObject> CompanyService::GetBusinessService(int type) {
    service::requireConnected(*m_company);
    switch (type) {
    case LayoutServiceType:
        return std::make_unique<LayoutService>(m_company, m_userSignature);
    case FormPreferencesServiceType:
        return std::make_unique<FormPreferencesService>(m_company);
    case MenuServiceType:
        return std::make_unique<MenuService>(m_company);
    default:
        m_company->fail(errUnknownObject,
                        QStringLiteral("Unknown business service type %1").arg(type));
    }
}

namespace service {

void requireConnected(CompanyState& company) {
    if (!company.connected())
        company.fail(errNotConnected, QStringLiteral("The company is not connected"));
}

void requireUser(CompanyState& company, int userKey) {
    requireConnected(company);
    QSqlQuery q(company.database->connection());
    if (!Database::prepare(q, QStringLiteral("SELECT 1 FROM OUSR WHERE INTERNAL_K = ?"),
                           {userKey}) ||
        !q.exec())
        company.fail(errSql, q.lastError().databaseText());
    if (!q.next())
        company.fail(errUnknownUser, QStringLiteral("There is no user with key %1").arg(userKey));
}

void atomically(CompanyState& company, const std::function<void()>& work) {
    requireConnected(company);
    QString why;
    if (!company.database->exec(QStringLiteral("SAVEPOINT llservice"), &why))
        company.fail(errSql, QStringLiteral("Cannot start the write: %1").arg(why));
    try {
        work();
    } catch (...) {
        // The error that got us here is what the caller must see, not a
        // failing rollback's.
        company.database->exec(QStringLiteral("ROLLBACK TO llservice"));
        company.database->exec(QStringLiteral("RELEASE llservice"));
        throw;
    }
    if (!company.database->exec(QStringLiteral("RELEASE llservice"), &why)) {
        company.database->exec(QStringLiteral("ROLLBACK TO llservice"));
        company.database->exec(QStringLiteral("RELEASE llservice"));
        company.fail(errSql, QStringLiteral("Cannot finish the write: %1").arg(why));
    }
    company.setLastError(0, QString());
}

ObjectDefinition definition(const QString& text) {
    ObjectCatalog catalog;
    QString error;
    if (!catalog.addText(text, QStringLiteral("service"), Schema::standard(), &error) ||
        catalog.objects().size() != 1)
        throw ComError(errSchema, QStringLiteral("A service's record is broken: %1").arg(error));
    return catalog.objects().first();
}

void addRow(const std::shared_ptr<CompanyState>& company, const ObjectDefinition& definition,
            const QMap<QString, QString>& properties, const QString& what) {
    BusinessObject row(company, definition);
    for (auto it = properties.begin(); it != properties.end(); ++it)
        row.SetProperty(it.key(), it.value());
    if (const int code = row.Add(); code != 0)
        company->fail(code, QStringLiteral("%1: %2").arg(what, company->lastErrorText));
}

QString recordText(const QVariant& value, bool isDate) {
    return isDate ? Recordset::dateText(value) : Recordset::valueText(value);
}

QString writeList(const QString& root, const QString& element, const QList<Record>& records) {
    if (records.isEmpty())
        return u'<' + root + QStringLiteral(" />");
    QString xml = u'<' + root + u'>';
    for (const Record& record : records) {
        xml += u'<' + element + u'>';
        for (const auto& [name, text] : record)
            xml += u'<' + name + u'>' + LLEscapeXmlText(text) + QStringLiteral("</") + name + u'>';
        xml += QStringLiteral("</") + element + u'>';
    }
    return xml + QStringLiteral("</") + root + u'>';
}

QList<QMap<QString, QString>> readList(CompanyState& company, const QString& text,
                                       const QString& root, const QString& element,
                                       const QStringList& names) {
    QXmlStreamReader xml(text);
    const auto bad = [&company, &xml](const QString& why) {
        company.fail(errBadDocument,
                     QStringLiteral("Not a well-formed document: ") + LLXmlAt(xml, why));
    };
    if (!LLReadRootElement(xml))
        bad(xml.hasError() ? xml.errorString() : QStringLiteral("no root element"));
    if (xml.name() != root)
        company.fail(
            errBadDocument,
            QStringLiteral("The document's root must be <%1>, not <%2>").arg(root, xml.name()));
    QList<QMap<QString, QString>> records;
    while (xml.readNextStartElement()) {
        if (xml.name() != element)
            company.fail(errUnknownElement,
                         QStringLiteral("Unknown element <%1> in <%2>").arg(xml.name(), root));
        QMap<QString, QString> record;
        while (xml.readNextStartElement()) {
            const QString name = xml.name().toString();
            if (!names.contains(name))
                company.fail(errUnknownElement, QStringLiteral("<%1> %2 has no element <%3>")
                                                    .arg(element)
                                                    .arg(records.size() + 1)
                                                    .arg(name));
            if (record.contains(name))
                company.fail(errBadDocument, QStringLiteral("<%1> %2 gives <%3> twice")
                                                 .arg(element)
                                                 .arg(records.size() + 1)
                                                 .arg(name));
            const QString value = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (xml.hasError())
                bad(xml.errorString());
            record.insert(name, value);
        }
        if (xml.hasError())
            bad(xml.errorString());
        records << record;
    }
    // Whatever follows the root must be nothing but comments and blanks.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        bad(xml.errorString());
    return records;
}

int intArgument(CompanyState& company, const QVariantList& args, int index, const QString& what) {
    bool ok = false;
    const int value = index < args.size() ? args[index].toString().trimmed().toInt(&ok) : 0;
    if (!ok)
        company.fail(errInvalidArgument, QStringLiteral("%1 must be a whole number, not '%2'")
                                             .arg(what, args.value(index).toString().left(40)));
    return value;
}

} // namespace service

} // namespace LLObjectsCOM
