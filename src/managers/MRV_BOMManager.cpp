#include "managers/MRV_BOMManager.h"

#include "managers/MRV_CostAccounting.h"

using namespace Qt::StringLiterals;

namespace {

const QString Trees = u"OITT"_s;
const QString Components = u"ITT1"_s;

const MRV_CostAccounting::Fields ProfitCentreFields{{QString(), u"ProfitCenter"_s},
                                                    {Components, u"ProfitCenter"_s}};
const MRV_CostAccounting::Fields RuleFields{{QString(), u"DistributionRule"_s},
                                            {Components, u"DistributionRule"_s}};

} // namespace

MRV_BOMManager::MRV_BOMManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TreeCode"_s};
    m_descriptionElements = {u"TreeCode"_s};
    m_listColumns = {u"TreeCode"_s, u"TreeType"_s, u"Qauntity"_s};
    m_listElements = {u"TreeCode"_s, u"TreeType"_s, u"Quantity"_s};
    m_writeFields = {u"TreeCode"_s, u"TreeCode"_s};
    m_columnFlags = {0, 1, 1};
    declareTable({
        .name = Trees,
        .objectType = 66,
        .keyColumns = {u"TreeCode"_s},
        .descriptionColumn = u"TreeCode"_s,
        .references =
            {
                MRV_Reference::byCode(u"TreeCode"_s, u"OITM"_s, u"ItemCode"_s),
                MRV_Reference::byName(u"PriceList"_s, u"OPLN"_s, u"ListNum"_s, {u"ListName"_s}),
                MRV_Reference::byCode(u"Warehouse"_s, u"OWHS"_s, u"WhsCode"_s),
                MRV_CostAccounting::distributionRule(u"DistributionRule"_s),
                MRV_CostAccounting::profitCentre(u"ProfitCenter"_s),
                MRV_Reference::byCode(u"ItemCode"_s, u"OITM"_s, u"ItemCode"_s, Components),
                MRV_Reference::byCode(u"Warehouse"_s, u"OWHS"_s, u"WhsCode"_s, Components),
                MRV_Reference::byCode(u"Currency"_s, u"OCRN"_s, u"CurrCode"_s, Components),
                MRV_Reference::byName(u"PriceList"_s, u"OPLN"_s, u"ListNum"_s, {u"ListName"_s},
                                      Components),
                MRV_CostAccounting::distributionRule(u"DistributionRule"_s, Components),
                MRV_CostAccounting::profitCentre(u"ProfitCenter"_s, Components),
            },
    });
    for (MRV_TableDeclaration& table : MRV_CostAccounting::tables())
        declareTable(std::move(table));
}

int MRV_BOMManager::initialize() {
    const int result = MRV_DIInterface::initialize();
    // The host's column is misspelt; people read the quantity.
    QList<MRV_DIDataSet::Column> columns = dataSet().columns();
    for (MRV_DIDataSet::Column& column : columns)
        if (column.name == u"Qauntity")
            column.description = u"Quantity"_s;
    dataSet().setColumns(columns);
    return result;
}

std::optional<MRV_KeyList> MRV_BOMManager::relatedRecords(const MRV_TableDeclaration& table,
                                                          const BOMTableList& read) {
    return MRV_CostAccounting::related(table, Trees, read, ProfitCentreFields, RuleFields);
}

HRESULT MRV_BOMManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    const auto [companions, trees] = MRV_CostAccounting::split(tables);
    // Profit centres and distribution rules are the target's as much as the
    // trees': the removal phase leaves them.
    if (copyMethod == RemovalPhase)
        return MRV_DIInterface::writeToTarget(trees, copyMethod);
    return MRV_DIInterface::writeToTarget(companions + trees, copyMethod);
}
