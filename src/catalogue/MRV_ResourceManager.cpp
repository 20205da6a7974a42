#include "catalogue/MRV_ResourceManager.h"

#include "tsframework/CTSBSTR.h"

namespace {

struct CatalogueEntry {
    const char16_t* categoryId;
    quint32 stringId;
};

// Categories and folders in tree order, then the category notes.
constexpr CatalogueEntry kCatalogue[] = {
    {u"MRV_TRN_CUSTOMIZATION_100", 700},
    {u"MRV_TRN_QUERIES_100", 701},
    {u"MRV_TRN_UDEFS_100", 702},
    {u"MRV_TRN_UDF_100", 147},
    {u"MRV_TRN_FSUDF_100", 704},
    {u"MRV_TRN_FSSTDF_100", 705},
    {u"MRV_TRN_UDO_100", 706},
    {u"MRV_TRN_PRINTLAYOUTS_100", 707},
    {u"MRV_TRN_DOCREP_100", 708},
    {u"MRV_TRN_QUERYLAYOUTS_100", 709},
    {u"MRV_TRN_USERS_100", 710},
    {u"MRV_TRN_USERSLEAF_100", 711},
    {u"MRV_TRN_AUTHORIZATIONS_100", 712},
    {u"MRV_TRN_AUTHORIZATIONSLEAF_100", 713},
    {u"MRV_TRN_ADDITIONALAUT_100", 714},
    {u"MRV_TRN_OWNERSHIP_100", 715},
    {u"MRV_TRN_DISPLAYSETTINGS_100", 716},
    {u"MRV_TRN_CMPDSPSETTINGS_100", 717},
    {u"MRV_TRN_USRDSPSETTINGS_100", 718},
    {u"MRV_TRN_USRMENUS_100", 831},
    {u"MRV_TRN_INITSETTINGS_100", 719},
    {u"MRV_TRN_GENERAL_100", 720},
    {u"MRV_TRN_SETTINGS_100", 721},
    {u"MRV_TRN_CMPDETAILS_100", 722},
    {u"MRV_TRN_GENERALSETTINGS_100", 723},
    {u"MRV_TRN_DOCNUMBERING_100", 724},
    {u"MRV_TRN_DOCSETTINGS_100", 725},
    {u"MRV_TRN_PRTONADDSETTINGS_100", 726},
    {u"MRV_TRN_DEFINITIONS_100", 727},
    {u"MRV_TRN_ALERTS_100", 728},
    {u"MRV_TRN_COUNTRIES_100", 729},
    {u"MRV_TRN_ADDRESSFORMAT_100", 730},
    {u"MRV_TRN_APPROVALPROCS_100", 731},
    {u"MRV_TRN_FINANCE_100", 732},
    {u"MRV_TRN_FINANCESETTINGS_100", 733},
    {u"MRV_TRN_CURRENCYSETTINGS_100", 734},
    {u"MRV_TRN_COASETTINGS_100", 735},
    {u"MRV_TRN_TAXDEFINITION_100", 736},
    {u"MRV_TRN_FINANCEDEFINITIONS_100", 737},
    {u"MRV_TRN_INDEXES_100", 738},
    {u"MRV_TRN_TRANSACTIONCODES_100", 739},
    {u"MRV_TRN_BANKSANDBRANCHES_100", 740},
    {u"MRV_TRN_CREDITCARDS_100", 741},
    {u"MRV_TRN_CCPAYMENTS_100", 742},
    {u"MRV_TRN_CCPAYMNTMETHODS_100", 743},
    {u"MRV_TRN_CREDITSUPPLIERS_100", 744},
    {u"MRV_TRN_PAYMENTMETHODS_100", 745},
    {u"MRV_TRN_DUNNINGLEVELS_100", 746},
    {u"MRV_TRN_PAYMENTTERMS_100", 747},
    {u"MRV_TRN_PAYMENTBLOCKS_100", 748},
    {u"MRV_TRN_LOGISTICS_100", 749},
    {u"MRV_TRN_LOGISTICSSETTINGS_100", 750},
    {u"MRV_TRN_INVENTORYSETTINGS_100", 751},
    {u"MRV_TRN_PRICELISTDEFS_100", 752},
    {u"MRV_TRN_LOGISTICSDEFS_100", 753},
    {u"MRV_TRN_COMMISIONGROUPS_100", 754},
    {u"MRV_TRN_SALESEMPLOYEES_100", 755},
    {u"MRV_TRN_PROJECTS_100", 756},
    {u"MRV_TRN_SALESOPPORTUNITIES_100", 757},
    {u"MRV_TRN_SALESSTAGES_100", 758},
    {u"MRV_TRN_PARTNERS_100", 759},
    {u"MRV_TRN_COMPETITORS_100", 760},
    {u"MRV_TRN_LANDEDCOSTS_100", 761},
    {u"MRV_TRN_CUSTOMERGROUPS_100", 762},
    {u"MRV_TRN_SUPPLIERGROUPS_100", 763},
    {u"MRV_TRN_BPPROPERTIES_100", 764},
    {u"MRV_TRN_BPPRIORITIES_100", 765},
    {u"MRV_TRN_ITEMGROUPS_100", 766},
    {u"MRV_TRN_ITEMGROUPS1_100", 220},
    {u"MRV_TRN_ITEMPROPERTIES_100", 767},
    {u"MRV_TRN_WAREHOUSES_100", 768},
    {u"MRV_TRN_WAREHOUSES1_100", 223},
    {u"MRV_TRN_UOMLENGTHWIDTH_100", 769},
    {u"MRV_TRN_UOMWEIGHT_100", 770},
    {u"MRV_TRN_CUSTOMGROUPS_100", 771},
    {u"MRV_TRN_MANUFACTURERS_100", 772},
    {u"MRV_TRN_SHIPPINGTYPES_100", 773},
    {u"MRV_TRN_LOCATIONS_100", 774},
    {u"MRV_TRN_INVENTORYCYCLES_100", 775},
    {u"MRV_TRN_TEMPLATES_100", 776},
    {u"MRV_TRN_PACKAGETYPES_100", 777},
    {u"MRV_TRN_TERRITORIES_100", 778},
    {u"MRV_TRN_PREDEFINEDTEXT_100", 779},
    {u"MRV_TRN_COA_100", 780},
    {u"MRV_TRN_COASETUP_100", 781},
    {u"MRV_TRN_ACCTSEGMENTATION_100", 782},
    {u"MRV_TRN_SEGMENTCODES_100", 783},
    {u"MRV_TRN_COATITLES_100", 784},
    {u"MRV_TRN_ACCOUNTS_100", 785},
    {u"MRV_TRN_DEFGLACCTDTRMINATION_100", 786},
    {u"MRV_TRN_GLACCTDETERMINATION_100", 787},
    {u"MRV_TRN_GLBANKSETTINGS_100", 788},
    {u"MRV_TRN_GLCCSETTINGS_100", 789},
    {u"MRV_TRN_GLINVNTRYSETTINGS_100", 790},
    {u"MRV_TRN_GLTAXDEFSETTINGS_100", 791},
    {u"MRV_TRN_BUDGET_100", 792},
    {u"MRV_TRN_FINANCIALREPORTTMPL_100", 793},
    {u"MRV_TRN_MASTERDATA_100", 794},
    {u"MRV_TRN_BUSINESSPARTNERS_100", 795},
    {u"MRV_TRN_BPGENERALINFO_100", 796},
    {u"MRV_TRN_BPACCOUNTS_100", 797},
    {u"MRV_TRN_BPADDRESSES_100", 798},
    {u"MRV_TRN_CONTACTPERSONS_100", 799},
    {u"MRV_TRN_BPBANKS_100", 800},
    {u"MRV_TRN_ITEMS_100", 801},
    {u"MRV_TRN_ITEMSLEAF_100", 802},
    {u"MRV_TRN_ALTERNATIVEITEMS_100", 803},
    {u"MRV_TRN_BPCATALOGNUMBERS_100", 804},
    {u"MRV_TRN_PRICELISTS_100", 805},
    {u"MRV_TRN_PRICELISTSLEAF_100", 806},
    {u"MRV_TRN_SPECIALPRICESBP_100", 807},
    {u"MRV_TRN_DISCOUNTGROUPS_100", 808},
    {u"MRV_TRN_PRICEHIERARCHIES_100", 809},
    {u"MRV_TRN_BILLOFMATERIALS_100", 810},
    {u"MRV_TRN_FORECASTS_100", 811},
    {u"MRV_TRN_USERDEFAULTS_100", 812},
    {u"MRV_TRN_DEFAULTS_100", 813},
    {u"MRV_TRN_DEFAULTLAYOUTS_100", 814},
    {u"MRV_TRN_DEFAULTSERIES_100", 815},
    {u"MRV_TRN_MANUALTRANSACTIONS_100", 816},
    {u"MRV_TRN_FINANCIALMT_100", 817},
    {u"MRV_TRN_MANUALJOURNALENTRIES_100", 818},
    {u"MRV_TRN_OPENINGBALANCES_100", 819},
    {u"MRV_TRN_INVENTORYMT_100", 820},
    {u"MRV_TRN_STOCKPOSTINGS_100", 821},
    {u"MRV_TRN_INITIALQUANTITIES_100", 822},
    {u"MRV_TRN_DOCUMENTS_100", 823},
    {u"MRV_TRN_SALESDOCS_100", 824},
    {u"MRV_TRN_PURCHASEDOCS_100", 825},
    {u"MRV_TRN_BANKINGDOCS_100", 826},
    {u"MRV_TRN_INVENTORYDOCS_100", 827},
    {u"MRV_TRN_OTHERDOCS_100", 828},
    {u"MRV_TRN_UDT_100", 148},
    {u"MRV_TRN_UDTCONT_100", 149},
    {u"MRV_TRN_POSTPER_100", 161},
    {u"MRV_TRN_XLREPORTS_100", 160},
    {u"MRV_TRN_CREDSETUP_100", 162},
    {u"MRV_TRN_SETUPCREDITCARDS_100", 829},
    {u"MRV_TRN_HOUSEBANKACCOUNTS_100", 830},
    {u"MRV_TRN_RELTNSHPS_40", 211},
    // Notes 11 and 22 have no entry.
    {u"MRV_LMS_NOTE1_0", 163},
    {u"MRV_LMS_NOTE2_0", 164},
    {u"MRV_LMS_NOTE3_0", 167},
    {u"MRV_LMS_NOTE4_0", 168},
    {u"MRV_LMS_NOTE5_0", 169},
    {u"MRV_LMS_NOTE6_0", 170},
    {u"MRV_LMS_NOTE7_0", 171},
    {u"MRV_LMS_NOTE8_0", 172},
    {u"MRV_LMS_NOTE9_0", 173},
    {u"MRV_LMS_NOTE10_0", 166},
    {u"MRV_LMS_NOTE12_0", 174},
    {u"MRV_LMS_NOTE13_0", 175},
    {u"MRV_LMS_NOTE14_0", 176},
    {u"MRV_LMS_NOTE15_0", 177},
    {u"MRV_LMS_NOTE16_0", 178},
    {u"MRV_LMS_NOTE17_0", 179},
    {u"MRV_LMS_NOTE18_0", 180},
    {u"MRV_LMS_NOTE19_0", 181},
    {u"MRV_LMS_NOTE20_0", 182},
    {u"MRV_LMS_NOTE21_0", 183},
    {u"MRV_LMS_NOTE23_0", 221},
    {u"MRV_LMS_NOTE24_0", 222},
    {u"MRV_LMS_NOTE25_0", 10064},
    {u"MRV_LMS_NOTE26_0", 10065},
    {u"MRV_LMS_NOTE27_0", 10066},
    {u"MRV_LMS_NOTE28_0", 10067},
    {u"MRV_LMS_NOTE29_0", 20000},
    {u"MRV_LMS_NOTE30_0", 20001},
};

} // namespace

MRV_ResourceManager::MRV_ResourceManager() {
    fillEntries(m_entries);
    m_lookup.reserve(m_entries.size());
    for (const XMLMAP& entry : std::as_const(m_entries))
        m_lookup.insert(entry.name, entry);
}

const MRV_ResourceManager* MRV_ResourceManager::instance() {
    static const MRV_ResourceManager catalogue;
    return &catalogue;
}

void MRV_ResourceManager::fillEntries(QList<XMLMAP>& entries) {
    entries.clear();
    entries.reserve(std::size(kCatalogue) + 1);
    for (const CatalogueEntry& e : kCatalogue)
        entries.append(XMLMAP(QString::fromUtf16(e.categoryId), e.stringId));
    entries.append(XMLMAP(QString(), SentinelStringId));
}

quint32 MRV_ResourceManager::getStringId(const QString& categoryId) const {
    const auto it = m_lookup.constFind(categoryId);
    return it == m_lookup.cend() ? 0 : it->stringId;
}

int MRV_ResourceManager::getText(quint32 stringId, int language, QString& text) const {
    text.clear();
    if (static_cast<qint32>(stringId) <= 0)
        return 1;
    CTSBSTR loaded(CTSBSTR::English);
    if (!loaded.LoadStringW(stringId, language))
        return 1;
    text = loaded.str();
    return 0;
}

QString MRV_ResourceManager::textOf(const QString& categoryId, int language) const {
    QString text;
    getText(getStringId(categoryId), language, text);
    return text;
}
