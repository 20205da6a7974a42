#include "catalogue/MRV_DataInterfaceFactory.h"

#include "di/MRV_DIInterface.h"
#include "managers/MRV_AccountSegmentationManager.h"
#include "managers/MRV_AdditionalAuthorizationManager.h"
#include "managers/MRV_AddressFormatManager.h"
#include "managers/MRV_AlertsManager.h"
#include "managers/MRV_AlternativeItemsManager.h"
#include "managers/MRV_AuthorizationsManager.h"
#include "managers/MRV_BOMManager.h"
#include "managers/MRV_BPCatalogNumbersManager.h"
#include "managers/MRV_BPGeneralManager.h"
#include "managers/MRV_BPPrioritiesManager.h"
#include "managers/MRV_BPPropertiesManager.h"
#include "managers/MRV_BanksManager.h"
#include "managers/MRV_BudgetManager.h"
#include "managers/MRV_COAAccountsManager.h"
#include "managers/MRV_COASettingsManager.h"
#include "managers/MRV_COATitlesManager.h"
#include "managers/MRV_CommissionGroupsManager.h"
#include "managers/MRV_CompanyDetailsManager.h"
#include "managers/MRV_CompanyDisplaySettingsManager.h"
#include "managers/MRV_CompetitorsManager.h"
#include "managers/MRV_CountriesManager.h"
#include "managers/MRV_CreditCardPaymentMethodsManager.h"
#include "managers/MRV_CreditCardPaymentsManager.h"
#include "managers/MRV_CreditCardsManager.h"
#include "managers/MRV_CreditVendorsManager.h"
#include "managers/MRV_CurrencySettingsManager.h"
#include "managers/MRV_CustomGroupsManager.h"
#include "managers/MRV_CustomerGroupsManager.h"
#include "managers/MRV_DefaultReportLayoutManager.h"
#include "managers/MRV_DefaultSeriesManager.h"
#include "managers/MRV_DefaultsManager.h"
#include "managers/MRV_DiscountGroupsManager.h"
#include "managers/MRV_DocumentNumberingManager.h"
#include "managers/MRV_DocumentSettingsManager.h"
#include "managers/MRV_DunningLevelsManager.h"
#include "managers/MRV_FinancialReportsTemplateManager.h"
#include "managers/MRV_ForecastsManager.h"
#include "managers/MRV_FormattedSearchManager.h"
#include "managers/MRV_GLAccountDeterminationManager.h"
#include "managers/MRV_GLSettingsForBanksManager.h"
#include "managers/MRV_GLSettingsForInventoryManager.h"
#include "managers/MRV_GLSettingsForTaxSetupManager.h"
#include "managers/MRV_GeneralSettingsManager.h"
#include "managers/MRV_HouseBanksAccountsManager.h"
#include "managers/MRV_IndexesManager.h"
#include "managers/MRV_InitialQuantitiesManager.h"
#include "managers/MRV_InventoryCyclesManager.h"
#include "managers/MRV_InventorySettingsManager.h"
#include "managers/MRV_ItemPropertiesManager.h"
#include "managers/MRV_ItemsGroupsManager.h"
#include "managers/MRV_ItemsManager.h"
#include "managers/MRV_LandedCostsManager.h"
#include "managers/MRV_LengthWidthManager.h"
#include "managers/MRV_LocationsManager.h"
#include "managers/MRV_ManualJournalEntriesManager.h"
#include "managers/MRV_ManufacturersManager.h"
#include "managers/MRV_PackageTypeManager.h"
#include "managers/MRV_PartnersManager.h"
#include "managers/MRV_PaymentBlockManager.h"
#include "managers/MRV_PaymentMethodsManager.h"
#include "managers/MRV_PaymentTermsManager.h"
#include "managers/MRV_PostingPeriodsManager.h"
#include "managers/MRV_PredefinedTextManager.h"
#include "managers/MRV_PriceHierarchiesManager.h"
#include "managers/MRV_PriceListManager.h"
#include "managers/MRV_PriceListSetupManager.h"
#include "managers/MRV_PrintLayoutsManager.h"
#include "managers/MRV_PrintOnAddSettingsManager.h"
#include "managers/MRV_ProjectManager.h"
#include "managers/MRV_QueryManager.h"
#include "managers/MRV_RelationshipsManager.h"
#include "managers/MRV_SalesEmployeesManager.h"
#include "managers/MRV_SalesStagesManager.h"
#include "managers/MRV_SegmentCodesManager.h"
#include "managers/MRV_ShippingTypesManager.h"
#include "managers/MRV_SpecialPricesManager.h"
#include "managers/MRV_TaxDefinitionManager.h"
#include "managers/MRV_TemplatesManager.h"
#include "managers/MRV_TerritoriesManager.h"
#include "managers/MRV_TransactionCodeManager.h"
#include "managers/MRV_UserDefinedFieldsManager.h"
#include "managers/MRV_UserDefinedObjectsManager.h"
#include "managers/MRV_UserDefinedTablesContentManager.h"
#include "managers/MRV_UserDefinedTablesManager.h"
#include "managers/MRV_UserDisplaySettingsManager.h"
#include "managers/MRV_UserMenusManager.h"
#include "managers/MRV_UsersManager.h"
#include "managers/MRV_VendorGroupsManager.h"
#include "managers/MRV_WarehousesManager.h"
#include "managers/MRV_WeightManager.h"

#include <algorithm>
#include <vector>

namespace {

using Creator = std::unique_ptr<MRV_DIInterface> (*)(MRV_ConnectionContext*, const QString&);

// Managers shared by several categories take the variant as a third
// constructor argument: create<MRV_PrintLayoutsManager, 2>.
template <class Manager, auto... variant>
std::unique_ptr<MRV_DIInterface> create(MRV_ConnectionContext* context, const QString& id) {
    return std::make_unique<Manager>(context, id, variant...);
}

struct ManagerEntry {
    const char16_t* categoryId;
    Creator create;
};

// One line per category that has a manager, in catalogue order, e.g.
//     {u"MRV_TRN_QUERIES_100", create<MRV_QueryManager>},
//     {u"MRV_TRN_FSUDF_100", create<MRV_FormattedSearchManager, true>},
// Folders and categories without records of their own have no line.
const std::vector<ManagerEntry>& managers() {
    static const std::vector<ManagerEntry> table = {
        {u"MRV_TRN_QUERIES_100", create<MRV_QueryManager>},
        {u"MRV_TRN_UDF_100", create<MRV_UserDefinedFieldsManager>},
        {u"MRV_TRN_FSUDF_100", create<MRV_FormattedSearchManager, true>},
        {u"MRV_TRN_FSSTDF_100", create<MRV_FormattedSearchManager, false>},
        {u"MRV_TRN_UDO_100", create<MRV_UserDefinedObjectsManager>},
        {u"MRV_TRN_DOCREP_100", create<MRV_PrintLayoutsManager, 1>},
        {u"MRV_TRN_QUERYLAYOUTS_100", create<MRV_PrintLayoutsManager, 2>},
        {u"MRV_TRN_USERSLEAF_100", create<MRV_UsersManager>},
        {u"MRV_TRN_AUTHORIZATIONSLEAF_100", create<MRV_AuthorizationsManager>},
        {u"MRV_TRN_ADDITIONALAUT_100", create<MRV_AdditionalAuthorizationManager>},
        {u"MRV_TRN_CMPDSPSETTINGS_100", create<MRV_CompanyDisplaySettingsManager>},
        {u"MRV_TRN_USRDSPSETTINGS_100", create<MRV_UserDisplaySettingsManager>},
        {u"MRV_TRN_USRMENUS_100", create<MRV_UserMenusManager>},
        {u"MRV_TRN_CMPDETAILS_100", create<MRV_CompanyDetailsManager>},
        {u"MRV_TRN_GENERALSETTINGS_100", create<MRV_GeneralSettingsManager>},
        {u"MRV_TRN_DOCNUMBERING_100", create<MRV_DocumentNumberingManager>},
        {u"MRV_TRN_DOCSETTINGS_100", create<MRV_DocumentSettingsManager>},
        {u"MRV_TRN_PRTONADDSETTINGS_100", create<MRV_PrintOnAddSettingsManager>},
        {u"MRV_TRN_ALERTS_100", create<MRV_AlertsManager>},
        {u"MRV_TRN_COUNTRIES_100", create<MRV_CountriesManager>},
        {u"MRV_TRN_ADDRESSFORMAT_100", create<MRV_AddressFormatManager>},
        {u"MRV_TRN_CURRENCYSETTINGS_100", create<MRV_CurrencySettingsManager>},
        {u"MRV_TRN_COASETTINGS_100", create<MRV_COASettingsManager>},
        {u"MRV_TRN_INDEXES_100", create<MRV_IndexesManager>},
        {u"MRV_TRN_TRANSACTIONCODES_100", create<MRV_TransactionCodeManager>},
        {u"MRV_TRN_BANKSANDBRANCHES_100", create<MRV_BanksManager>},
        {u"MRV_TRN_CREDITCARDS_100", create<MRV_CreditCardsManager>},
        {u"MRV_TRN_CCPAYMENTS_100", create<MRV_CreditCardPaymentsManager>},
        {u"MRV_TRN_CCPAYMNTMETHODS_100", create<MRV_CreditCardPaymentMethodsManager>},
        {u"MRV_TRN_CREDITSUPPLIERS_100", create<MRV_CreditVendorsManager>},
        {u"MRV_TRN_PAYMENTMETHODS_100", create<MRV_PaymentMethodsManager>},
        {u"MRV_TRN_DUNNINGLEVELS_100", create<MRV_DunningLevelsManager>},
        {u"MRV_TRN_PAYMENTTERMS_100", create<MRV_PaymentTermsManager>},
        {u"MRV_TRN_PAYMENTBLOCKS_100", create<MRV_PaymentBlockManager>},
        {u"MRV_TRN_INVENTORYSETTINGS_100", create<MRV_InventorySettingsManager>},
        {u"MRV_TRN_PRICELISTDEFS_100", create<MRV_PriceListSetupManager>},
        {u"MRV_TRN_PRICELISTSLEAF_100", create<MRV_PriceListManager>},
        {u"MRV_TRN_COMMISIONGROUPS_100", create<MRV_CommissionGroupsManager>},
        {u"MRV_TRN_SALESEMPLOYEES_100", create<MRV_SalesEmployeesManager>},
        {u"MRV_TRN_PROJECTS_100", create<MRV_ProjectManager>},
        {u"MRV_TRN_SALESSTAGES_100", create<MRV_SalesStagesManager>},
        {u"MRV_TRN_PARTNERS_100", create<MRV_PartnersManager>},
        {u"MRV_TRN_COMPETITORS_100", create<MRV_CompetitorsManager>},
        {u"MRV_TRN_LANDEDCOSTS_100", create<MRV_LandedCostsManager>},
        {u"MRV_TRN_CUSTOMERGROUPS_100", create<MRV_CustomerGroupsManager>},
        {u"MRV_TRN_SUPPLIERGROUPS_100", create<MRV_VendorGroupsManager>},
        {u"MRV_TRN_BPPROPERTIES_100", create<MRV_BPPropertiesManager>},
        {u"MRV_TRN_BPPRIORITIES_100", create<MRV_BPPrioritiesManager>},
        {u"MRV_TRN_ITEMPROPERTIES_100", create<MRV_ItemPropertiesManager>},
        {u"MRV_TRN_UOMLENGTHWIDTH_100", create<MRV_LengthWidthManager>},
        {u"MRV_TRN_UOMWEIGHT_100", create<MRV_WeightManager>},
        {u"MRV_TRN_CUSTOMGROUPS_100", create<MRV_CustomGroupsManager>},
        {u"MRV_TRN_MANUFACTURERS_100", create<MRV_ManufacturersManager>},
        {u"MRV_TRN_SHIPPINGTYPES_100", create<MRV_ShippingTypesManager>},
        {u"MRV_TRN_LOCATIONS_100", create<MRV_LocationsManager>},
        {u"MRV_TRN_INVENTORYCYCLES_100", create<MRV_InventoryCyclesManager>},
        {u"MRV_TRN_TEMPLATES_100", create<MRV_TemplatesManager>},
        {u"MRV_TRN_PACKAGETYPES_100", create<MRV_PackageTypeManager>},
        {u"MRV_TRN_TERRITORIES_100", create<MRV_TerritoriesManager>},
        {u"MRV_TRN_PREDEFINEDTEXT_100", create<MRV_PredefinedTextManager>},
        {u"MRV_TRN_RELTNSHPS_40", create<MRV_RelationshipsManager>},
        {u"MRV_TRN_TAXDEFINITION_100", create<MRV_TaxDefinitionManager>},
        {u"MRV_TRN_HOUSEBANKACCOUNTS_100", create<MRV_HouseBanksAccountsManager>},
        {u"MRV_TRN_GLBANKSETTINGS_100", create<MRV_GLSettingsForBanksManager>},
        {u"MRV_TRN_GLTAXDEFSETTINGS_100", create<MRV_GLSettingsForTaxSetupManager>},
        {u"MRV_TRN_UDT_100", create<MRV_UserDefinedTablesManager>},
        {u"MRV_TRN_UDTCONT_100", create<MRV_UserDefinedTablesContentManager>},
        {u"MRV_TRN_POSTPER_100", create<MRV_PostingPeriodsManager>},
        {u"MRV_TRN_ACCTSEGMENTATION_100", create<MRV_AccountSegmentationManager>},
        {u"MRV_TRN_SEGMENTCODES_100", create<MRV_SegmentCodesManager>},
        {u"MRV_TRN_COATITLES_100", create<MRV_COATitlesManager>},
        {u"MRV_TRN_ACCOUNTS_100", create<MRV_COAAccountsManager>},
        {u"MRV_TRN_GLACCTDETERMINATION_100", create<MRV_GLAccountDeterminationManager>},
        {u"MRV_TRN_GLINVNTRYSETTINGS_100", create<MRV_GLSettingsForInventoryManager>},
        {u"MRV_TRN_BUDGET_100", create<MRV_BudgetManager>},
        {u"MRV_TRN_FINANCIALREPORTTMPL_100", create<MRV_FinancialReportsTemplateManager>},
        {u"MRV_TRN_ITEMGROUPS_100", create<MRV_ItemsGroupsManager>},
        {u"MRV_TRN_WAREHOUSES_100", create<MRV_WarehousesManager>},
        {u"MRV_TRN_BILLOFMATERIALS_100", create<MRV_BOMManager>},
        {u"MRV_TRN_FORECASTS_100", create<MRV_ForecastsManager>},
        {u"MRV_TRN_DEFAULTS_100", create<MRV_DefaultsManager>},
        {u"MRV_TRN_DEFAULTLAYOUTS_100", create<MRV_DefaultReportLayoutManager>},
        {u"MRV_TRN_DEFAULTSERIES_100", create<MRV_DefaultSeriesManager>},
        {u"MRV_TRN_MANUALJOURNALENTRIES_100", create<MRV_ManualJournalEntriesManager, 0>},
        {u"MRV_TRN_OPENINGBALANCES_100", create<MRV_ManualJournalEntriesManager, 1>},
        {u"MRV_TRN_STOCKPOSTINGS_100", create<MRV_ManualJournalEntriesManager, 2>},
        {u"MRV_TRN_INITIALQUANTITIES_100", create<MRV_InitialQuantitiesManager>},
        {u"MRV_TRN_ITEMSLEAF_100", create<MRV_ItemsManager>},
        {u"MRV_TRN_ALTERNATIVEITEMS_100", create<MRV_AlternativeItemsManager>},
        {u"MRV_TRN_SPECIALPRICESBP_100", create<MRV_SpecialPricesManager>},
        {u"MRV_TRN_DISCOUNTGROUPS_100", create<MRV_DiscountGroupsManager>},
        {u"MRV_TRN_PRICEHIERARCHIES_100", create<MRV_PriceHierarchiesManager>},
        {u"MRV_TRN_BPGENERALINFO_100", create<MRV_BPGeneralManager>},
        {u"MRV_TRN_BPCATALOGNUMBERS_100", create<MRV_BPCatalogNumbersManager>},
    };
    return table;
}

const ManagerEntry* findManager(const QString& categoryId) {
    const auto& table = managers();
    const auto it = std::find_if(table.begin(), table.end(), [&](const ManagerEntry& e) {
        return categoryId == QStringView(e.categoryId);
    });
    return it == table.end() ? nullptr : &*it;
}

} // namespace

std::unique_ptr<MRV_DIInterface>
MRV_DataInterfaceFactory::createDataInterface(const QString& categoryId) const {
    const ManagerEntry* entry = findManager(categoryId);
    return entry ? entry->create(m_context, categoryId) : nullptr;
}

bool MRV_DataInterfaceFactory::hasManager(const QString& categoryId) {
    return findManager(categoryId) != nullptr;
}
