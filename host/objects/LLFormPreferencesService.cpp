#include "host/objects/LLFormPreferencesService.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLSchema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace LLObjectsCOM {

namespace {

enum Member { memberGet = 1, memberSet };

const QList<std::pair<const char*, int>> kMembers{{"GetColumnsPreferences", memberGet},
                                                  {"SetColumnsPreferences", memberSet}};

const QString kRoot = QStringLiteral("ColumnsPreferences");
const QString kElement = QStringLiteral("ColumnPreference");

// Element and column, in document order.
const QList<std::pair<QString, QString>> kFields{
    {QStringLiteral("ItemID"), QStringLiteral("ItemID")},
    {QStringLiteral("ColumnID"), QStringLiteral("ColumnID")},
    {QStringLiteral("Position"), QStringLiteral("Position")},
    {QStringLiteral("Width"), QStringLiteral("Width")},
    {QStringLiteral("Visible"), QStringLiteral("Visible")},
    {QStringLiteral("Editable"), QStringLiteral("Editable")},
    {QStringLiteral("Description"), QStringLiteral("Descr")},
    {QStringLiteral("FontSize"), QStringLiteral("FontSize")}};

const ObjectDefinition& preferenceDefinition() {
    static const ObjectDefinition definition =
        service::definition(QStringLiteral("object 41  ColumnPreference\n"
                                           "  table CPRF\n"
                                           "  key FormID FormID\n"
                                           "  key UserSign UserSign\n"
                                           "  key ItemID ItemID\n"
                                           "  key ColumnID ColumnID\n"
                                           "  field Position Position\n"
                                           "  field Width Width\n"
                                           "  field Visible Visible\n"
                                           "  field Editable Editable\n"
                                           "  field Description Descr\n"
                                           "  field FontSize FontSize\n"
                                           "  ref UserSign OUSR INTERNAL_K\n"));
    return definition;
}

QStringList elementNames() {
    QStringList names;
    for (const auto& field : kFields)
        names << field.first;
    return names;
}

} // namespace

FormPreferencesService::FormPreferencesService(std::shared_ptr<CompanyState> company)
    : m_company(std::move(company)) {}

QString FormPreferencesService::GetColumnsPreferences(int userKey, const QString& formId) {
    service::requireUser(*m_company, userKey);
    QStringList columns;
    for (const auto& field : kFields)
        columns << field.second;
    QSqlQuery q(m_company->database->connection());
    q.setForwardOnly(true);
    if (!Database::prepare(q,
                           QStringLiteral("SELECT %1 FROM CPRF WHERE FormID = ? AND UserSign = ? "
                                          "ORDER BY Position, ItemID, ColumnID")
                               .arg(columns.join(QStringLiteral(", "))),
                           {formId, userKey}) ||
        !q.exec())
        m_company->fail(errSql, q.lastError().databaseText());
    QList<service::Record> records;
    while (q.next()) {
        service::Record record;
        for (int i = 0; i < kFields.size(); ++i)
            if (!q.value(i).isNull())
                record.append({kFields[i].first, service::recordText(q.value(i), false)});
        records << record;
    }
    m_company->setLastError(0, QString());
    return service::writeList(kRoot, kElement, records);
}

void FormPreferencesService::SetColumnsPreferences(int userKey, const QString& formId,
                                                   const QString& xml) {
    service::requireUser(*m_company, userKey);
    const int formIdLength =
        Schema::standard().table(QStringLiteral("CPRF"))->column(QStringLiteral("FormID"))->length;
    if (formId.isEmpty())
        m_company->fail(errInvalidArgument, QStringLiteral("The form id is missing"));
    if (formId.size() > formIdLength)
        m_company->fail(errTooLong, QStringLiteral("A form id takes at most %1 characters, not %2")
                                        .arg(formIdLength)
                                        .arg(formId.size()));
    const QList<QMap<QString, QString>> records =
        service::readList(*m_company, xml, kRoot, kElement, elementNames());
    for (int i = 0; i < records.size(); ++i)
        for (const QString& flag : {QStringLiteral("Visible"), QStringLiteral("Editable")})
            if (records[i].contains(flag) && records[i][flag] != u"Y" && records[i][flag] != u"N")
                m_company->fail(errWrongType, QStringLiteral("<%1> %2: %3 takes Y or N, not '%4'")
                                                  .arg(kElement)
                                                  .arg(i + 1)
                                                  .arg(flag, records[i][flag].left(40)));
    service::atomically(*m_company, [&] {
        QString why;
        if (!m_company->database->exec(
                QStringLiteral("DELETE FROM CPRF WHERE FormID = ? AND UserSign = ?"), &why,
                {formId, userKey}))
            m_company->fail(errSql, why);
        for (int i = 0; i < records.size(); ++i) {
            QMap<QString, QString> row = records[i];
            row.insert(QStringLiteral("FormID"), formId);
            row.insert(QStringLiteral("UserSign"), QString::number(userKey));
            service::addRow(m_company, preferenceDefinition(), row,
                            QStringLiteral("<%1> %2").arg(kElement).arg(i + 1));
        }
    });
}

int FormPreferencesService::GetIDOfName(const QString& name) const {
    return memberId(kMembers, name);
}

QVariant FormPreferencesService::Invoke(int member, const QVariantList& args) {
    switch (member) {
    case memberGet:
        return GetColumnsPreferences(
            service::intArgument(*m_company, args, 0, QStringLiteral("The user key")),
            args.value(1).toString());
    case memberSet:
        SetColumnsPreferences(
            service::intArgument(*m_company, args, 0, QStringLiteral("The user key")),
            args.value(1).toString(), args.value(2).toString());
        return QVariant();
    default:
        throw ComError(errUnknownMember, QStringLiteral("Unknown member %1").arg(member));
    }
}

} // namespace LLObjectsCOM
