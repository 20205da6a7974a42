#include "host/objects/LLMenuService.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLObjectCatalog.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace LLObjectsCOM {

namespace {

enum Member { memberGet = 1, memberSet };

const QList<std::pair<const char*, int>> kMembers{{"GetUserMenu", memberGet},
                                                  {"SetUserMenu", memberSet}};

const QString kRoot = QStringLiteral("UserMenu");
const QString kElement = QStringLiteral("MenuItem");
const QString kItemTypes = QStringLiteral("MFRQ");

// Element and column, in document order.
const QList<std::pair<QString, QString>> kFields{
    {QStringLiteral("Position"), QStringLiteral("Position")},
    {QStringLiteral("Father"), QStringLiteral("Father")},
    {QStringLiteral("Type"), QStringLiteral("ItemType")},
    {QStringLiteral("Name"), QStringLiteral("Name")},
    {QStringLiteral("Link"), QStringLiteral("Link")}};

const ObjectDefinition& menuItemDefinition() {
    static const ObjectDefinition definition =
        service::definition(QStringLiteral("object 2002  MenuItem\n"
                                           "  table CUMI\n"
                                           "  key USERID USERID\n"
                                           "  key Position Position\n"
                                           "  field Father Father\n"
                                           "  field Type ItemType\n"
                                           "  field Name Name\n"
                                           "  field Link Link\n"));
    return definition;
}

} // namespace

MenuService::MenuService(std::shared_ptr<CompanyState> company) : m_company(std::move(company)) {}

QVariant MenuService::userNumber(int userKey) {
    service::requireConnected(*m_company);
    QSqlQuery q(m_company->database->connection());
    if (!Database::prepare(q, QStringLiteral("SELECT USERID FROM OUSR WHERE INTERNAL_K = ?"),
                           {userKey}) ||
        !q.exec())
        m_company->fail(errSql, q.lastError().databaseText());
    if (!q.next())
        m_company->fail(errUnknownUser,
                        QStringLiteral("There is no user with key %1").arg(userKey));
    return q.value(0);
}

QString MenuService::GetUserMenu(int userKey) {
    const QVariant number = userNumber(userKey);
    QList<service::Record> records;
    if (!number.isNull()) {
        QStringList columns;
        for (const auto& field : kFields)
            columns << field.second;
        QSqlQuery q(m_company->database->connection());
        q.setForwardOnly(true);
        if (!Database::prepare(
                q,
                QStringLiteral("SELECT %1 FROM CUMI WHERE USERID = ? ORDER BY Position")
                    .arg(columns.join(QStringLiteral(", "))),
                {number}) ||
            !q.exec())
            m_company->fail(errSql, q.lastError().databaseText());
        while (q.next()) {
            service::Record record;
            for (int i = 0; i < kFields.size(); ++i)
                if (!q.value(i).isNull())
                    record.append({kFields[i].first, service::recordText(q.value(i), false)});
            records << record;
        }
    }
    m_company->setLastError(0, QString());
    return service::writeList(kRoot, kElement, records);
}

void MenuService::checkTree(const QVariant& number) {
    QSqlQuery q(m_company->database->connection());
    q.setForwardOnly(true);
    if (!Database::prepare(
            q, QStringLiteral("SELECT Position, Father, ItemType FROM CUMI WHERE USERID = ?"),
            {number}) ||
        !q.exec())
        m_company->fail(errSql, q.lastError().databaseText());
    QMap<int, int> fathers; // position -> father, -1 at the top
    QSet<int> folders;
    while (q.next()) {
        const int position = q.value(0).toInt();
        fathers.insert(position, q.value(1).isNull() ? -1 : q.value(1).toInt());
        if (q.value(2).toString() == u"F")
            folders.insert(position);
    }
    for (auto it = fathers.begin(); it != fathers.end(); ++it)
        if (it.value() != -1 && !folders.contains(it.value()))
            m_company->fail(errReference,
                            QStringLiteral("The menu item at position %1 lies in %2, which is no "
                                           "folder of the menu")
                                .arg(it.key())
                                .arg(it.value()));
    for (auto it = fathers.begin(); it != fathers.end(); ++it) {
        int at = it.key();
        // A chain longer than the menu has items goes round in a circle.
        for (qsizetype steps = 0; at != -1; ++steps) {
            if (steps > fathers.size())
                m_company->fail(
                    errReference,
                    QStringLiteral("The menu folder at position %1 lies in itself").arg(it.key()));
            at = fathers.value(at, -1);
        }
    }
}

void MenuService::SetUserMenu(int userKey, const QString& xml) {
    const QVariant number = userNumber(userKey);
    QStringList names;
    for (const auto& field : kFields)
        names << field.first;
    const QList<QMap<QString, QString>> records =
        service::readList(*m_company, xml, kRoot, kElement, names);
    for (int i = 0; i < records.size(); ++i) {
        const QString type = records[i].value(QStringLiteral("Type"), QStringLiteral("M"));
        if (type.size() != 1 || !kItemTypes.contains(type))
            m_company->fail(errWrongType, QStringLiteral("<%1> %2: Type takes M, F, R or Q, not "
                                                         "'%3'")
                                              .arg(kElement)
                                              .arg(i + 1)
                                              .arg(type.left(40)));
    }
    if (number.isNull() && !records.isEmpty())
        m_company->fail(
            errInvalidArgument,
            QStringLiteral("The user with key %1 has no user number for a menu").arg(userKey));
    service::atomically(*m_company, [&] {
        QString why;
        if (!m_company->database->exec(QStringLiteral("DELETE FROM CUMI WHERE USERID = ?"), &why,
                                       {number}))
            m_company->fail(errSql, why);
        for (int i = 0; i < records.size(); ++i) {
            QMap<QString, QString> row = records[i];
            row.insert(QStringLiteral("USERID"), number.toString());
            service::addRow(m_company, menuItemDefinition(), row,
                            QStringLiteral("<%1> %2").arg(kElement).arg(i + 1));
        }
        checkTree(number);
    });
}

int MenuService::GetIDOfName(const QString& name) const {
    return memberId(kMembers, name);
}

QVariant MenuService::Invoke(int member, const QVariantList& args) {
    switch (member) {
    case memberGet:
        return GetUserMenu(
            service::intArgument(*m_company, args, 0, QStringLiteral("The user key")));
    case memberSet:
        SetUserMenu(service::intArgument(*m_company, args, 0, QStringLiteral("The user key")),
                    args.value(1).toString());
        return QVariant();
    default:
        throw ComError(errUnknownMember, QStringLiteral("Unknown member %1").arg(member));
    }
}

} // namespace LLObjectsCOM
