#include "managers/MRV_DefaultsManager.h"

#include "di/MRV_CompanySql.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIReferences.h"
#include "host/objects/LLComError.h"
#include "tsframework/CLogBase.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString Users = u"OUSR"_s;
const QString Groups = u"OUDG"_s;
const QString GroupField = u"Defaults"_s;
// What of a user travels: who it is, and its group.
const QStringList UserFields{u"InternalKey"_s, u"UserCode"_s, u"UserName"_s, GroupField};

} // namespace

MRV_DefaultsManager::MRV_DefaultsManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"INTERNAL_K"_s};
    m_descriptionElements = {u"UserCode"_s};
    m_listColumns = {u"INTERNAL_K"_s, u"USER_CODE"_s, u"U_NAME"_s};
    m_listElements = {u"InternalKey"_s, u"UserCode"_s, u"UserName"_s};
    m_writeFields = {u"UserCode"_s, u"UserName"_s};
    m_columnFlags = {0, 0, 0};
    declareTable({
        .name = Users,
        .objectType = 12,
        .keyColumns = {u"INTERNAL_K"_s},
        .keyElements = {u"InternalKey"_s},
        .descriptionColumn = u"USER_CODE"_s,
        .descriptionElement = u"UserCode"_s,
        .filter = {u"DfltsGroup IS NOT NULL AND DfltsGroup <> N''"_s},
        .references = {MRV_Reference::byCode(GroupField, Groups, u"Code"_s)},
    });
    MRV_Reference salesEmployee =
        MRV_Reference::byName(u"SalesEmployee"_s, u"OSLP"_s, u"SlpCode"_s, {u"SlpName"_s});
    salesEmployee.keptValues = {u"-1"_s};
    declareTable({
        .name = Groups,
        .objectType = 93,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        .references =
            {MRV_Reference::byCode(u"Warehouse"_s, u"OWHS"_s, u"WhsCode"_s),
             MRV_Reference::account(u"CashAccount"_s), MRV_Reference::account(u"CheckAccount"_s),
             MRV_Reference::byName(u"PriceList"_s, u"OPLN"_s, u"ListNum"_s, {u"ListName"_s}),
             MRV_Reference::byName(u"Branch"_s, u"OUBR"_s, u"Code"_s, {u"Name"_s}), salesEmployee},
    });
}

void MRV_DefaultsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    m_whole = keys.isEmpty();
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
    for (MRV_BOMTable& entry : tables) {
        if (entry.name != Users)
            continue;
        for (MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(Users) : nullptr;
            if (!group)
                continue;
            for (MRV_BOMRecord::Row& row : group->rows)
                row.fields.removeIf(
                    [](const MRV_BOMRecord::Field& f) { return !UserFields.contains(f.name); });
            document.xml = record.toXml();
        }
    }
}

std::optional<MRV_KeyList> MRV_DefaultsManager::relatedRecords(const MRV_TableDeclaration& table,
                                                               const BOMTableList& read) {
    if (m_whole || table.name != Groups)
        return std::nullopt;
    QSet<QString> seen;
    MRV_KeyList keys;
    for (const MRV_BOMTable& entry : read) {
        if (entry.name != Users)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(Users) : nullptr;
            for (const MRV_BOMRecord::Row& row :
                 group ? group->rows : QList<MRV_BOMRecord::Row>()) {
                const QString code = row.value(GroupField);
                if (!code.isEmpty() && !seen.contains(code)) {
                    seen.insert(code);
                    keys << QVariantList{code};
                }
            }
        }
    }
    return keys;
}

void MRV_DefaultsManager::setGroup(MRV_CompanySql& target, const QString& user,
                                   const QString& group) {
    // Only the group: a user's other fields and its password stay as the
    // target has them.
    MRV_SQLBuilder set = target.builder(Users);
    set.addCondition(u"DfltsGroup"_s, group, MRV_SQLBuilder::Text);
    MRV_SQLBuilder where = target.builder(Users);
    where.addCondition(u"INTERNAL_K"_s, user, MRV_SQLBuilder::Number);
    if (!where.isValid())
        throw ComError(E_FAIL, where.invalidReason());
    target.execute(set.buildUpdate() + where.buildWhere());
}

int MRV_DefaultsManager::removeAssignments(MRV_CompanySql& target) {
    int failed = 0;
    MRV_SQLBuilder select = target.builder(Users);
    for (const QString& column : {u"INTERNAL_K"_s, u"USER_CODE"_s, u"DfltsGroup"_s})
        select.addSelectColumn(column);
    const QString statement =
        select.buildSelect() + u" WHERE "_s + target.condition(mainTable().filter);
    for (const QVariantList& row : target.query(statement).values) {
        Outcome outcome;
        outcome.operation = RemovalPhase;
        outcome.targetCode = MRV_CompanySql::text(row.value(0));
        outcome.targetDescription = MRV_CompanySql::text(row.value(1));
        outcome.targetFormerDescription = MRV_CompanySql::text(row.value(2));
        try {
            setGroup(target, outcome.targetCode, QString());
            outcome.succeeded = true;
        } catch (const ComError& e) {
            outcome.error = u"%1: %2"_s.arg(e.code()).arg(e.description());
            ++failed;
        }
        logOutcome(outcome);
    }
    return failed;
}

int MRV_DefaultsManager::writeUsers(MRV_CompanySql& target, const QList<MRV_BOMDocument>& documents,
                                    int copyMethod) {
    MRV_DIReferences references(target);
    return writeEach(documents, copyMethod, [&](MRV_BOMRecord& record, Outcome& outcome) {
        MRV_BOMRecord::Group* group = record.group(Users);
        if (!group || group->rows.isEmpty()) {
            outcome.error = u"The record is not a user's record document"_s;
            return;
        }
        const QString userCode = group->rows.first().value(u"UserCode"_s);
        outcome.baseCode = group->rows.first().value(u"InternalKey"_s);
        outcome.baseDescription = userCode;
        MRV_SQLBuilder find = target.builder(Users);
        find.addSelectColumn(u"INTERNAL_K"_s);
        find.addSelectColumn(u"DfltsGroup"_s);
        find.addCondition(u"USER_CODE"_s, userCode, MRV_SQLBuilder::Text);
        const MRV_CompanySql::Rows found = target.query(find.buildSelect());
        if (found.values.isEmpty()) {
            outcome.error =
                u"UserCode refers to OUSR USER_CODE '%1', which is not in the "
                u"target company (users are not created with their defaults)"_s.arg(userCode);
            return;
        }
        const QString current = MRV_CompanySql::text(found.values[0].value(1));
        if (copyMethod == UpdateExisting && current.isEmpty()) {
            outcome.error = u"The user has no defaults group in the target company"_s;
        } else if (copyMethod == AddNew && !current.isEmpty()) {
            outcome.error =
                u"The user has the defaults group %1 in the target company already"_s.arg(current);
        } else if (prepareForTarget(references, mainTable(), record, outcome)) {
            outcome.operation = current.isEmpty() ? AddNew : UpdateExisting;
            outcome.targetCode = MRV_CompanySql::text(found.values[0].value(0));
            outcome.targetFormerDescription = current;
            outcome.targetDescription = group->rows.first().value(GroupField);
            setGroup(target, outcome.targetCode, outcome.targetDescription);
            outcome.succeeded = true;
        }
    });
}

HRESULT MRV_DefaultsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_DefaultsManager::writeToTarget");
    const int method = effectiveMethod(copyMethod);
    BOMTableList groups;
    QList<MRV_BOMDocument> users;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name == Groups)
            groups << entry;
        else if (entry.name == Users)
            users += entry.documents;
    }
    if (groups.isEmpty() && users.isEmpty())
        return S_OK;
    int failed = 0;
    try {
        MRV_CompanySql target(targetCompany());
        // A group is removed only once no user has it.
        if (method == RemovalPhase)
            failed += removeAssignments(target);
        // Groups first: the users' groups must be there.
        const HRESULT written = MRV_DIInterface::writeToTarget(
            method == RemovalPhase ? BOMTableList{{Groups, {}}} : groups, method);
        if (written == E_FAIL)
            return E_FAIL;
        failed += failedRecords();
        if (method != RemovalPhase)
            failed += writeUsers(target, users, method);
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return failed > 0 ? S_FALSE : S_OK;
}
