#include "managers/MRV_AuthorizationsManager.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_RecordScope.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLHostObject.h"
#include "managers/MRV_UserSettings.h"
#include "tsframework/CLogBase.h"
#include "xml/MRV_DOMParser.h"
#include "xml/MRV_XmlString.h"

#include <QHash>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString Users = u"OUSR"_s;
const QString Entry = u"OPRM"_s;
const QString Root = u"Authorizations"_s;
const QString CodeElement = u"USER_CODE"_s;
const QString NameElement = u"U_NAME"_s;
constexpr int BridgeObject = 305;

QString permissionElement(int id) {
    return u'A' + QString::number(id);
}

// A record's user and permissions; false with why for a document that is
// none.
bool readAuthorizations(const QString& xml, MRV_BOMRecord::Row& row, QString& error) {
    MRV_DOMParser dom;
    if (!dom.parseString(xml)) {
        error = u"The record is not an authorizations document: "_s + dom.errorList();
        return false;
    }
    if (!dom.initCursor() || dom.nodeName() != u"BOM" || !dom.step(0, true) ||
        dom.nodeName() != Root) {
        error = u"The record holds no "_s + Root;
        return false;
    }
    row = MRV_BOMRecord::readRow(dom);
    return true;
}

} // namespace

const QList<int>& MRV_AuthorizationsManager::permissionIds() {
    static const QList<int> ids{
        142, 203, 69,  177, 279, 158, 241, 105, 151, 154, 179, 160, 247, 352, 382, 275, 276, 271,
        270, 261, 195, 500, 1,   6,   3,   9,   10,  274, 12,  2,   20,  524, 525, 421, 23,  74,
        74,  370, 217, 233, 218, 219, 220, 221, 222, 223, 224, 225, 226, 227, 4,   423, 24,  28,
        517, 29,  526, 424, 282, 21,  367, 25,  144, 168, 59,  528, 369, 455, 426, 296, 498, 295,
        499, 231, 464, 527, 427, 215, 465, 466, 523, 428, 183, 71,  320, 328, 85,  86,  87,  371,
        372, 502, 26,  321, 430, 373, 459, 42,  152, 27,  44,  58,  277, 243, 364, 146, 147, 30,
        184, 185, 186, 188, 187, 356, 357, 529, 429, 403, 518, 431, 8,   432, 7,   280, 35,  327,
        383, 119, 482, 172, 180, 169, 33,  127, 171, 173, 174, 190, 332, 333, 530, 285, 286, 287,
        288, 204, 13,  15,  381, 16,  355, 140, 141, 149, 354, 145, 17,  46,  47,  384, 49,  76,
        374, 253, 197, 228, 216, 198, 199, 201, 422, 18,  19,  329, 43,  478, 479, 480, 481, 433,
        112, 121, 122, 437, 108, 109, 48,  229, 334, 368, 438, 360, 291, 292, 293, 123, 461, 298,
        124, 125, 335, 460, 456, 457, 520, 471, 492, 493, 494, 490, 495, 170, 51,  50,  52,  110,
        299, 106, 206, 189, 193, 234, 200, 235, 236, 237, 31,  255, 470, 519, 257, 258, 259, 278,
        281, 36,  53,  54,  375, 55,  56,  515, 506, 57,  462, 301, 60,  463, 484, 485, 486, 487,
        489, 178, 202, 207, 208, 209, 210, 211, 254, 62,  483, 503, 504, 454, 148, 81,  238, 240,
        157, 150, 159, 192, 191, 232, 294, 300, 153, 317, 37,  63,  378, 64,  65,  516, 507, 66,
        67,  488, 441, 182, 248, 377, 468, 213, 38,  302, 303, 304, 70,  156, 155, 239, 249, 250,
        72,  425, 176, 132, 505, 39,  439, 75,  242, 80,  194, 246, 244, 32,  78,  79,  45,  434,
        77,  73,  386, 376, 290, 245, 448, 449, 450, 451, 452, 453, 363, 366, 501, 365, 120, 82,
        83,  361, 84,  181, 40,  88,  251, 252, 491, 467, 262, 263, 264, 266, 331};
    return ids;
}

MRV_AuthorizationsManager::MRV_AuthorizationsManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    // A user is its code in every company; its number is the company's.
    m_keyColumns = {CodeElement};
    m_descriptionElements = {NameElement};
    m_listColumns = {CodeElement, NameElement};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 0};
    declareTable({
        .name = Users,
        .objectType = 12,
        .keyColumns = {CodeElement},
        .keyElements = {CodeElement},
        .descriptionColumn = NameElement,
        .descriptionElement = NameElement,
        .filter = {u"SUPERUSER = 'N'"_s},
    });
}

void MRV_AuthorizationsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_AuthorizationsManager::readFromDatabase");
    tables.clear();
    MRV_CompanySql base(baseCompany());
    struct User {
        int key = 0;
        QString code, name;
    };
    QList<User> users;
    QHash<QString, qsizetype> byCode;
    for (const QVariantList& row :
         base.query(base.statement({u"SELECT INTERNAL_K, USER_CODE, U_NAME FROM OUSR WHERE "
                                    u"SUPERUSER = 'N' ORDER BY INTERNAL_K"_s}))
             .values) {
        users << User{row.value(0).toInt(), MRV_CompanySql::text(row.value(1)),
                      MRV_CompanySql::text(row.value(2))};
        byCode.insert(users.last().code, users.size() - 1);
    }
    QList<User> read;
    if (keys.isEmpty())
        read = users;
    for (const QVariantList& key : keys) {
        const QString code = MRV_CompanySql::text(key.value(0));
        if (const auto at = byCode.constFind(code); at != byCode.cend())
            read << users[*at];
        else
            logReadFailure(code,
                           u"The base company has no user %1 that is not a superuser"_s.arg(code));
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> bridge =
        base.company().GetBusinessObject(BridgeObject);
    MRV_BOMTable entry{Entry, {}};
    for (const User& user : std::as_const(read)) {
        if (firstNonXmlChar(user.code) >= 0 || firstNonXmlChar(user.name) >= 0) {
            logReadFailure(user.code, u"The user's code or name holds a character that XML "
                                      u"cannot carry"_s);
            continue;
        }
        MRV_BOMRecord::Row row;
        row.fields << MRV_BOMRecord::Field{CodeElement, user.code}
                   << MRV_BOMRecord::Field{NameElement, user.name};
        for (const int id : permissionIds()) {
            const QVariantList answer = bridge->Invoke(u"GetPermission"_s, {user.key, id}).toList();
            row.fields << MRV_BOMRecord::Field{permissionElement(id),
                                               MRV_CompanySql::text(answer.value(0))};
        }
        entry.documents << MRV_BOMDocument{u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?><BOM><"_s +
                                               Root + u'>' + MRV_BOMRecord::rowXml(row) + u"</"_s +
                                               Root + u"></BOM>"_s,
                                           0};
    }
    if (!entry.documents.isEmpty())
        tables << entry;
    log.LogDbg1(u"%s: %d user(s) read", getCategoryString(), int(entry.documents.size()));
}

MRV_DIDataSet* MRV_AuthorizationsManager::listFromConfiguration(const BOMTableList& tables) {
    dataSet().clearRows();
    const MRV_BOMTable* listed = nullptr;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name == Entry)
            listed = &entry;
    if (!listed)
        return &dataSet();
    initialize();
    for (const MRV_BOMDocument& document : listed->documents) {
        MRV_BOMRecord::Row record;
        QString error;
        if (!readAuthorizations(document.xml, record, error))
            continue;
        MRV_DIDataSet::Row row;
        row.keys << dataSet().keyValue(0, record.value(CodeElement));
        row.values << record.value(CodeElement) << record.value(NameElement);
        row.description = record.value(NameElement);
        dataSet().addRow(std::move(row));
    }
    return &dataSet();
}

bool MRV_AuthorizationsManager::writeUser(MRV_CompanySql& target, LLObjectsCOM::HostObject& bridge,
                                          const MRV_BOMDocument& document, Outcome& outcome) {
    MRV_BOMRecord::Row record;
    if (!readAuthorizations(document.xml, record, outcome.error))
        return false;
    const QString code = record.value(CodeElement);
    outcome.baseCode = code;
    outcome.baseDescription = record.value(NameElement);
    QList<std::pair<int, QString>> permissions;
    for (const int id : permissionIds()) {
        const QString element = permissionElement(id);
        if (!record.has(element)) {
            outcome.error = u"The record has no value of "_s + element;
            return false;
        }
        permissions.append({id, record.value(element)});
    }
    const std::optional<MRV_UserSettings::User> user =
        code.isEmpty() ? std::nullopt : MRV_UserSettings::findUser(target, code);
    if (!user) {
        outcome.error =
            u"USER_CODE refers to OUSR USER_CODE '%1', which is not in the target company"_s.arg(
                code);
        return false;
    }
    // All of a user's permissions, or none: half of them would be rights
    // nobody chose.
    MRV_RecordScope scope(target.company());
    for (const auto& [id, value] : permissions)
        bridge.Invoke(u"SetPermission"_s, {user->key, id, value});
    scope.finish(true);
    outcome.targetCode = code;
    outcome.targetDescription = user->name;
    outcome.succeeded = true;
    return true;
}

HRESULT MRV_AuthorizationsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_AuthorizationsManager::writeToTarget");
    // The target's permissions are never cleared: they are set, and only
    // in the writing pass.
    if (effectiveMethod(copyMethod) == RemovalPhase)
        return S_OK;
    const MRV_BOMTable* entry = nullptr;
    for (const MRV_BOMTable& t : tables)
        if (t.name == Entry && !entry)
            entry = &t;
    if (!entry)
        return S_OK;
    int failed = 0;
    try {
        MRV_CompanySql target(targetCompany());
        const std::unique_ptr<LLObjectsCOM::HostObject> bridge =
            target.company().GetBusinessObject(BridgeObject);
        for (const MRV_BOMDocument& document : entry->documents) {
            Outcome outcome;
            outcome.operation = UpdateExisting;
            failed +=
                logged(outcome, [&] { writeUser(target, *bridge, document, outcome); }) ? 0 : 1;
        }
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return failed > 0 ? S_FALSE : S_OK;
}
