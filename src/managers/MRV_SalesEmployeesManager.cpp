#include "managers/MRV_SalesEmployeesManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLXmlText.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString SalesEmployees = u"OSLP"_s;
const QString Employees = u"OHEM"_s;
const QString EmployeeField = u"EmployeeID"_s;
constexpr int SalesEmployeeObject = 53;

// A record of another table, known by its name there.
MRV_Reference byName(QString field, QString table, QString key, QString name = u"name"_s) {
    return MRV_Reference::byName(std::move(field), std::move(table), std::move(key),
                                 {std::move(name)});
}

// An employee is known by the last and the first name.
MRV_Reference employee(QString field) {
    return MRV_Reference::byName(std::move(field), Employees, u"empID"_s,
                                 {u"lastName"_s, u"firstName"_s});
}

// One of the employees' lookup tables: numbered per company, known by the
// name; locked values come with the host and stay.
MRV_TableDeclaration lookupTable(QString name, QString key, const QString& lockColumn = {}) {
    return {.name = std::move(name),
            .keyColumns = {std::move(key)},
            .descriptionColumn = u"name"_s,
            .filter = {lockColumn.isEmpty() ? QString() : lockColumn + u" = 'N'"_s},
            .generatedKeyName = u"name"_s};
}

} // namespace

MRV_SalesEmployeesManager::MRV_SalesEmployeesManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"SlpCode"_s};
    m_descriptionElements = {u"SalesEmployeeName"_s};
    m_listColumns = {u"SlpCode"_s, u"SlpName"_s, u"Memo"_s, u"GroupCode"_s, u"Commission"_s};
    m_listElements = {u"SalesEmployeeCode"_s, u"SalesEmployeeName"_s, u"Remarks"_s,
                      u"CommissionGroup"_s, u"Commission"_s};
    m_writeFields = {u"SalesEmployeeCode"_s, u"SalesEmployeeName"_s};
    m_columnFlags = {0, 1, 1, 1, 1};
    declareTable({
        .name = SalesEmployees,
        .objectType = SalesEmployeeObject,
        .keyColumns = {u"SlpCode"_s},
        .keyElements = {u"SalesEmployeeCode"_s},
        .descriptionColumn = u"SlpName"_s,
        .descriptionElement = u"SalesEmployeeName"_s,
        .filter = {u"SlpCode <> -1"_s},
        // A sales employee that a business partner, an employee or a
        // user's defaults still name stays; it is updated by name.
        .removalFilter = {u"SlpCode NOT IN (SELECT SlpCode FROM OCRD WHERE SlpCode IS NOT NULL) "
                          u"AND SlpCode NOT IN (SELECT salesPrson FROM OHEM WHERE salesPrson "
                          u"IS NOT NULL) AND SlpCode NOT IN (SELECT SlpCode FROM OUDG WHERE "
                          u"SlpCode IS NOT NULL)"_s},
        // Commission group 0 is no group.
        .references = {byName(u"CommissionGroup"_s, u"OCOG"_s, u"GroupCode"_s, u"GroupName"_s)
                           .keeping({u"0"_s}),
                       employee(EmployeeField)},
        .generatedKeyName = u"SlpName"_s,
    });
    declareTable(lookupTable(u"OHED"_s, u"edType"_s, u"Locked"_s));
    declareTable(lookupTable(u"OHPS"_s, u"posID"_s));
    declareTable(lookupTable(u"OHTR"_s, u"reasonID"_s));
    declareTable(lookupTable(u"OHTY"_s, u"typeID"_s, u"locked"_s));
    declareTable(lookupTable(u"OHST"_s, u"statusID"_s));
    declareTable({
        .name = Employees,
        .objectType = 171,
        .keyColumns = {u"empID"_s},
        .keyElements = {EmployeeField},
        .descriptionColumn = u"lastName"_s,
        .descriptionElement = u"LastName"_s,
        // Departments, branches and users come with the users' categories;
        // until they do, an employee is written without them. A sales
        // employee of another selection may not be there either.
        .references =
            {byName(u"Position"_s, u"OHPS"_s, u"posID"_s),
             byName(u"Department"_s, u"OUDP"_s, u"Code"_s, u"Name"_s).orLeftOut(),
             byName(u"Branch"_s, u"OUBR"_s, u"Code"_s, u"Name"_s).orLeftOut(),
             employee(u"Manager"_s),
             byName(u"ApplicationUserID"_s, u"OUSR"_s, u"INTERNAL_K"_s, u"USER_CODE"_s).orLeftOut(),
             byName(u"SalesPersonCode"_s, SalesEmployees, u"SlpCode"_s, u"SlpName"_s).orLeftOut(),
             byName(u"EmployeeType"_s, u"OHTY"_s, u"typeID"_s),
             byName(u"StatusCode"_s, u"OHST"_s, u"statusID"_s),
             byName(u"TerminationReason"_s, u"OHTR"_s, u"reasonID"_s),
             byName(u"EducationType"_s, u"OHED"_s, u"edType"_s),
             byName(u"CommissionGroup"_s, u"OCOG"_s, u"GroupCode"_s, u"GroupName"_s)},
        .generatedKeyName = u"lastName"_s,
        .generatedKeyAlso = {{u"firstName"_s, u"FirstName"_s}},
        .parentColumn = u"manager"_s,
        .parentElement = u"Manager"_s,
    });
}

std::optional<MRV_KeyList>
MRV_SalesEmployeesManager::relatedRecords(const MRV_TableDeclaration& table,
                                          const BOMTableList& read) {
    if (table.name != Employees)
        return std::nullopt;
    QStringList pending;
    for (const MRV_BOMTable& entry : read) {
        if (entry.name != SalesEmployees)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(SalesEmployees) : nullptr;
            if (group && !group->rows.isEmpty() &&
                !group->rows.first().value(EmployeeField).isEmpty())
                pending << group->rows.first().value(EmployeeField);
        }
    }
    if (pending.isEmpty())
        return MRV_KeyList();
    // The employees and, up the line, their managers, in the order that
    // puts a manager first where the numbers allow; the write orders them
    // whatever the numbers.
    MRV_CompanySql base(baseCompany());
    const MRV_CompanySql::Rows rows =
        base.query(base.statement({u"SELECT empID, manager FROM OHEM ORDER BY manager"_s}));
    QHash<QString, QString> managerOf;
    QStringList order;
    for (const QVariantList& row : rows.values) {
        order << MRV_CompanySql::text(row.value(0));
        managerOf.insert(order.last(), MRV_CompanySql::text(row.value(1)));
    }
    QSet<QString> wanted;
    while (!pending.isEmpty()) {
        const QString id = pending.takeLast();
        if (id.isEmpty() || wanted.contains(id))
            continue;
        wanted.insert(id);
        pending << managerOf.value(id);
    }
    MRV_KeyList keys;
    for (const QString& id : order)
        if (wanted.remove(id))
            keys << QVariantList{id.toInt()};
    // An employee that a sales employee names but the base does not hold
    // is read all the same, so that its failure is logged.
    for (const QString& id : wanted)
        keys << QVariantList{id};
    return keys;
}

HRESULT MRV_SalesEmployeesManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    BOMTableList own;
    QList<Link> links;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != SalesEmployees) {
            // Employees and lookup values go with the sales employees and
            // are never removed.
            if (copyMethod != RemovalPhase)
                own << entry;
            continue;
        }
        MRV_BOMTable withoutEmployees{entry.name, {}};
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(SalesEmployees) : nullptr;
            if (!group || group->rows.isEmpty()) {
                withoutEmployees.documents << document; // the engine logs why
                continue;
            }
            // The employee is not there yet on a first copy, and a base
            // key would name another: the link is made afterwards.
            MRV_BOMRecord::Row& row = group->rows.first();
            if (const MRV_BOMRecord::Dependency* dep = row.dependency(EmployeeField))
                links << Link{row.value(u"SalesEmployeeName"_s), row.value(u"SalesEmployeeCode"_s),
                              dep->keyValues};
            row.removeField(EmployeeField);
            row.dependencies.removeIf(
                [](const MRV_BOMRecord::Dependency& d) { return d.field == EmployeeField; });
            withoutEmployees.documents << MRV_BOMDocument{record.toXml(), document.flag};
        }
        own << withoutEmployees;
    }
    // With "Add New Records" a sales employee the target has stays as it is.
    QSet<QString> existing;
    if (copyMethod == AddNew)
        for (const Link& link : links)
            if (QString key; resolveTargetKey(link.salesEmployee, SalesEmployees, key))
                existing.insert(link.salesEmployee);
    const HRESULT written = MRV_DIInterface::writeToTarget(own, copyMethod);
    if (copyMethod == RemovalPhase || written == E_FAIL)
        return written;
    links.removeIf([&](const Link& link) { return existing.contains(link.salesEmployee); });
    linkEmployees(links, copyMethod);
    return failedRecords() > 0 ? S_FALSE : S_OK;
}

void MRV_SalesEmployeesManager::linkEmployees(const QList<Link>& links, int copyMethod) {
    const MRV_TableDeclaration& salesEmployees = mainTable();
    MRV_CompanySql target(targetCompany());
    for (const Link& link : links) {
        QString code;
        // A sales employee that was not written has its line already.
        if (!resolveTargetKey(link.salesEmployee, SalesEmployees, code))
            continue;
        Outcome outcome;
        outcome.operation = copyMethod == AddNew ? AddNew : UpdateExisting;
        outcome.baseCode = link.baseCode;
        outcome.baseDescription = link.salesEmployee;
        try {
            // The employees were written just now: the engine knows their
            // keys by name.
            QString employeeKey;
            if (link.employee.size() != 2 ||
                !resolveTargetKey(generatedName(link.employee), Employees, employeeKey)) {
                outcome.error = u"The sales employee's employee '%1' is not in the target "
                                u"company"_s.arg(link.employee.join(u", "_s));
                logOutcome(outcome);
                continue;
            }
            MRV_SQLBuilder current = target.builder(SalesEmployees);
            current.addSelectColumn(u"EmpID"_s);
            current.addCondition(u"SlpCode"_s, code, MRV_SQLBuilder::Number);
            if (MRV_CompanySql::text(target.scalar(current.buildSelect())) == employeeKey)
                continue; // linked already
            const QString xml =
                u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>%1"
                u"</Object></AdmInfo><OSLP><row><SalesEmployeeCode>%2</SalesEmployeeCode>"
                u"<EmployeeID>%3</EmployeeID></row></OSLP></BO></BOM>"_s.arg(SalesEmployeeObject)
                    .arg(LLEscapeXmlText(code), LLEscapeXmlText(employeeKey));
            if (UpdateDataSetFromDI(salesEmployees, xml, {code.toInt()}, outcome))
                continue;
        } catch (const ComError& e) {
            outcome.error = u"%1: %2"_s.arg(e.code()).arg(e.description());
        }
        outcome.succeeded = false;
        outcome.error =
            u"The sales employee could not be linked to its employee: "_s + outcome.error;
        logOutcome(outcome);
    }
}
