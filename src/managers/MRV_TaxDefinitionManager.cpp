#include "managers/MRV_TaxDefinitionManager.h"

#include "config/MRV_CopyLog.h"
#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

QList<MRV_Reference> accountReferences(int objectType, bool optional) {
    QList<MRV_Reference> references;
    for (const QString& field : MRV_TransportAccount::accountProperties(objectType)) {
        MRV_Reference account = MRV_Reference::account(field);
        account.optional = optional;
        references << account;
    }
    return references;
}

// An authority type is numbered per company: it travels by its name.
MRV_Reference authorityType(const QString& field, const QString& group = QString()) {
    return MRV_Reference::byName(field, u"OSTT"_s, u"AbsId"_s, {u"Name"_s}, group);
}

} // namespace

MRV_TaxDefinitionManager::MRV_TaxDefinitionManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    // Accounts the target lacks yet arrive with G/L Settings for Tax Setup.
    for (MRV_TableDeclaration& t : taxObjects(true))
        declareTable(std::move(t));
}

QList<MRV_TableDeclaration> MRV_TaxDefinitionManager::taxObjects(bool optionalAccounts) {
    QList<MRV_TableDeclaration> tables{
        {
            .name = u"OSTT"_s,
            .objectType = 127,
            .keyColumns = {u"AbsId"_s},
            .keyElements = {u"TypeID"_s},
            .descriptionColumn = u"Name"_s,
            .descriptionElement = u"Name"_s,
            .references = accountReferences(127, optionalAccounts),
            // The host numbers authority types: a type is the target's type
            // of the same name.
            .generatedKeyName = u"Name"_s,
        },
        {
            .name = u"OSTA"_s,
            .objectType = 126,
            .keyColumns = {u"Code"_s},
            .descriptionColumn = u"Name"_s,
            .references = accountReferences(126, optionalAccounts) << authorityType(u"Type"_s),
        },
        {
            .name = u"OSTC"_s,
            .objectType = 128,
            .keyColumns = {u"Code"_s},
            .descriptionColumn = u"Name"_s,
            .references = accountReferences(128, optionalAccounts)
                          << authorityType(u"STAType"_s, u"STC1"_s)
                          << authorityType(u"STATaxOnTaxType"_s, u"STC1"_s),
        },
        {
            .name = u"OVTG"_s,
            .objectType = 5,
            .keyColumns = {u"Code"_s},
            .descriptionColumn = u"Name"_s,
            .references = accountReferences(5, optionalAccounts)
                          << MRV_Reference{.field = u"Indicator"_s,
                                           .table = u"OIND"_s,
                                           .keyColumn = u"Code"_s,
                                           .identifyingColumns = {u"Code"_s},
                                           .optional = optionalAccounts},
        },
        {
            .name = u"ODDG"_s,
            .objectType = 117,
            .keyColumns = {u"DdgCode"_s},
            .keyElements = {u"GroupCode"_s},
            .descriptionColumn = u"DdgName"_s,
            .descriptionElement = u"GroupName"_s,
            .references = accountReferences(117, optionalAccounts),
        },
        {
            .name = u"OWHT"_s,
            .objectType = 178,
            .keyColumns = {u"WTCode"_s},
            .descriptionColumn = u"WTName"_s,
            .references = accountReferences(178, optionalAccounts),
        },
    };
    return tables;
}

MRV_DIDataSet* MRV_TaxDefinitionManager::listFromConfiguration(const BOMTableList&) {
    return &dataSet(); // copied whole: no records to select
}

MRV_DIDataSet* MRV_TaxDefinitionManager::listFromDatabase() {
    return &dataSet();
}

const MRV_TableDeclaration* MRV_TaxDefinitionManager::tableOf(int objectType) const {
    for (const MRV_TableDeclaration& t : tables())
        if (t.objectType == objectType)
            return &t;
    return nullptr;
}

QString MRV_TaxDefinitionManager::identityField(const MRV_TableDeclaration& table) const {
    // A record the host numbers gets another key in the target.
    return table.generatedKeyName.isEmpty() ? table.keyElements.value(0) : table.descriptionElement;
}

QString MRV_TaxDefinitionManager::identity(const MRV_TableDeclaration& table,
                                           const QString& value) const {
    return QString::number(table.objectType) + u'|' + value;
}

HRESULT MRV_TaxDefinitionManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    m_baseAccounts.clear();
    m_transportReady = false;
    if (copyMethod == RemovalPhase) {
        // What refers to a tax object goes before it.
        const BOMTableList reversed(tables.crbegin(), tables.crend());
        return MRV_DIInterface::writeToTarget(reversed, copyMethod);
    }
    for (const MRV_BOMTable& entry : tables) {
        const MRV_TableDeclaration* t = table(entry.name);
        if (!t)
            continue;
        const QStringList properties = MRV_TransportAccount::accountProperties(t->objectType);
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(MRV_BOMRecord::groupName(t->name))
                                           : nullptr;
            if (!group || group->rows.isEmpty())
                continue; // the engine fails the record and says why
            const MRV_BOMRecord::Row& row = group->rows.first();
            QStringList filled;
            for (const QString& property : properties)
                if (!row.value(property).isEmpty())
                    filled << property;
            m_baseAccounts.insert(identity(*t, row.value(identityField(*t))), filled);
        }
    }
    return MRV_DIInterface::writeToTarget(tables, copyMethod);
}

void MRV_TaxDefinitionManager::prepareObject(int objectType, LLObjectsCOM::HostObject& object,
                                             int mode) {
    // An update takes the record's own accounts.
    if (mode != BeforeAdd)
        return;
    const MRV_TableDeclaration* t = tableOf(objectType);
    if (!t)
        return;
    const QStringList properties = MRV_TransportAccount::accountProperties(objectType);
    const QString field = identityField(*t);
    const QString name =
        object.GetIDOfName(field) < 0 ? QString() : MRV_CompanySql::text(object.Invoke(field));
    const QStringList inBase = m_baseAccounts.value(identity(*t, name));
    auto* business = dynamic_cast<LLObjectsCOM::BusinessObject*>(&object);
    QStringList set;
    for (const QString& property : properties) {
        const bool reachable = business && object.GetIDOfName(property) >= 0;
        const bool filled = inBase.contains(property) ||
                            (reachable && !MRV_CompanySql::text(object.Invoke(property)).isEmpty());
        if (!filled)
            continue;
        if (!reachable)
            throw ComError(E_FAIL, u"No access to property "_s + property);
        set << property;
    }
    if (set.isEmpty())
        return;
    if (!m_transportReady) {
        MRV_CompanySql target(targetCompany());
        MRV_TransportAccount::ensure(target);
        m_transportReady = true;
    }
    for (const QString& property : set) {
        try {
            business->SetProperty(property, MRV_TransportAccount::code());
        } catch (const ComError&) {
            throw ComError(E_FAIL, u"No access to property "_s + property);
        }
    }
}
