#include "managers/MRV_GLSettingsForTaxSetupManager.h"
#include "managers/MRV_TransportAccount.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "managers/MRV_TaxDefinitionManager.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString Indicators = u"OIND"_s;

HRESULT worst(HRESULT a, HRESULT b) {
    if (a == E_FAIL || b == E_FAIL)
        return E_FAIL;
    return a == S_FALSE || b == S_FALSE ? S_FALSE : S_OK;
}

} // namespace

MRV_GLSettingsForTaxSetupManager::MRV_GLSettingsForTaxSetupManager(MRV_ConnectionContext* context,
                                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    // VAT groups name their indicator: indicators are written first.
    declareTable({
        .name = Indicators,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
    });
    // An account the target lacks fails its object: the object keeps the
    // transport account, and the end of the run names it.
    for (MRV_TableDeclaration& t : MRV_TaxDefinitionManager::taxObjects(false))
        declareTable(std::move(t));
}

MRV_DIDataSet* MRV_GLSettingsForTaxSetupManager::listFromConfiguration(const BOMTableList&) {
    return &dataSet(); // copied whole: no records to select
}

MRV_DIDataSet* MRV_GLSettingsForTaxSetupManager::listFromDatabase() {
    return &dataSet();
}

HRESULT MRV_GLSettingsForTaxSetupManager::writeToTarget(const BOMTableList& tables,
                                                        int copyMethod) {
    CLogBase log(u"MRV", u"MRV_GLSettingsForTaxSetupManager::writeToTarget");
    // Settings of objects another category owns: nothing is removed.
    if (copyMethod == RemovalPhase)
        return S_OK;
    BOMTableList indicators, objects;
    for (const MRV_BOMTable& entry : tables)
        (entry.name == Indicators ? indicators : objects) << entry;
    // Nothing else brings the indicators: missing ones are added, the
    // others updated. The tax objects are updated only.
    HRESULT result = S_OK;
    int failed = 0;
    if (!indicators.isEmpty()) {
        result = MRV_DIInterface::writeToTarget(indicators, AddAndUpdate);
        failed = failedRecords();
    }
    result = worst(result, MRV_DIInterface::writeToTarget(objects, UpdateExisting));
    failed += failedRecords();
    MRV_TransportAccount::removeAfterWrite(targetCompany(), getCategoryString());
    return failed > 0 ? worst(result, S_FALSE) : result;
}

void MRV_GLSettingsForTaxSetupManager::prepareRecord(int objectType, QString& xml) {
    const MRV_TableDeclaration* t = nullptr;
    for (const MRV_TableDeclaration& d : tables())
        if (d.objectType == objectType)
            t = &d;
    MRV_BOMRecord record;
    MRV_BOMRecord::Group* group =
        t && record.parse(xml) ? record.group(MRV_BOMRecord::groupName(t->name)) : nullptr;
    if (!group || group->rows.isEmpty())
        return;
    // Only the G/L side of the object is this category's: its key and
    // name, its accounts, and what they are reckoned by (an authority's
    // type, a VAT group's indicator, a tax code's authorities). The rest
    // of the object stays as Tax definition left it.
    QStringList kept = t->keyElements + MRV_TransportAccount::accountProperties(objectType);
    kept << t->descriptionElement << u"Type"_s << u"Indicator"_s;
    MRV_BOMRecord::Row& row = group->rows.first();
    QList<MRV_BOMRecord::Field> fields;
    for (const MRV_BOMRecord::Field& f : row.fields)
        if (kept.contains(f.name))
            fields << f;
    row.fields = fields;
    xml = record.toXml();
}
