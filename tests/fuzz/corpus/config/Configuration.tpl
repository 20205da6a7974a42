<?xml version="1.0" encoding="UTF-8"?>
<!--
  The object list of every copy from a company database: which categories a
  configuration file can hold, and the order in which they are written, into
  the file and then into the target. The removal pass of "Replace All" runs
  the same list backwards.

  The order rule: a category comes after every category its records refer
  to, so that a reference always finds its record in the target, and the
  removal pass takes away the referring records before the ones they need.
  Where no reference decides, the categories keep the catalogue's order.

  The header stays empty: a value here would end up in every file written
  from the list (the writer fills the header from the worksheet and the base
  company, and leaves what it does not fill as read).
-->
<mirrovaConfigurationFile version="1.0">
<header>
</header>
<body>
<!-- Customization. The tables come before their fields, objects and content,
     and all of them before any other category: records of every kind may
     carry user fields, which must exist in the target, and a field linked to
     a user table takes its values from that table's content. -->
<OBJECT string_id="MRV_TRN_QUERIES_100"/>
<OBJECT string_id="MRV_TRN_UDT_100"/>
<OBJECT string_id="MRV_TRN_UDF_100"/>
<OBJECT string_id="MRV_TRN_FSUDF_100"/>
<OBJECT string_id="MRV_TRN_FSSTDF_100"/>
<OBJECT string_id="MRV_TRN_UDO_100"/>
<OBJECT string_id="MRV_TRN_UDTCONT_100"/>
<OBJECT string_id="MRV_TRN_DOCREP_100"/>
<OBJECT string_id="MRV_TRN_QUERYLAYOUTS_100"/>
<!-- Users. A user names a defaults group, and Defaults gives the groups to
     the users: the two refer to each other. Users go first, because a new
     user is added without a defaults group and Defaults, further down, sets
     it once the groups exist. -->
<OBJECT string_id="MRV_TRN_USERSLEAF_100"/>
<OBJECT string_id="MRV_TRN_AUTHORIZATIONSLEAF_100"/>
<OBJECT string_id="MRV_TRN_ADDITIONALAUT_100"/>
<!-- The company's display settings name the default length and weight
     units, so the units come first. -->
<OBJECT string_id="MRV_TRN_UOMLENGTHWIDTH_100"/>
<OBJECT string_id="MRV_TRN_UOMWEIGHT_100"/>
<OBJECT string_id="MRV_TRN_CMPDSPSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_USRDSPSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_USRMENUS_100"/>
<!-- Currencies stand under document settings, price lists, accounts,
     business partners and prices. -->
<OBJECT string_id="MRV_TRN_CURRENCYSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_DOCNUMBERING_100"/>
<OBJECT string_id="MRV_TRN_DOCSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_PRTONADDSETTINGS_100"/>
<!-- Period categories before the account determination and the journal
     entries that are matched to them. -->
<OBJECT string_id="MRV_TRN_POSTPER_100"/>
<OBJECT string_id="MRV_TRN_ALERTS_100"/>
<!-- A country names its address format. -->
<OBJECT string_id="MRV_TRN_ADDRESSFORMAT_100"/>
<OBJECT string_id="MRV_TRN_COUNTRIES_100"/>
<!-- Before account segmentation and accounts: whether the target segments
     its accounts decides how accounts are keyed when they are written. -->
<OBJECT string_id="MRV_TRN_COASETTINGS_100"/>
<OBJECT string_id="MRV_TRN_INDEXES_100"/>
<OBJECT string_id="MRV_TRN_TRANSACTIONCODES_100"/>
<!-- A bank names its default house bank account, and a house bank account
     names its bank: the two refer to each other. Banks go first, because a
     house bank account cannot exist without its bank while the default
     account is optional; G/L Settings for Banks, after both, sets it. -->
<OBJECT string_id="MRV_TRN_BANKSANDBRANCHES_100"/>
<OBJECT string_id="MRV_TRN_CCPAYMENTS_100"/>
<OBJECT string_id="MRV_TRN_CREDITSUPPLIERS_100"/>
<!-- A dunning level names its letter layout. -->
<OBJECT string_id="MRV_TRN_DUNNINGLEVELS_100"/>
<OBJECT string_id="MRV_TRN_PAYMENTBLOCKS_100"/>
<!-- Payment terms name a price list; the general settings name the default
     payment terms and dunning term. -->
<OBJECT string_id="MRV_TRN_PRICELISTDEFS_100"/>
<OBJECT string_id="MRV_TRN_PAYMENTTERMS_100"/>
<OBJECT string_id="MRV_TRN_GENERALSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_COMMISIONGROUPS_100"/>
<OBJECT string_id="MRV_TRN_SALESEMPLOYEES_100"/>
<OBJECT string_id="MRV_TRN_PROJECTS_100"/>
<OBJECT string_id="MRV_TRN_SALESSTAGES_100"/>
<OBJECT string_id="MRV_TRN_RELTNSHPS_40"/>
<OBJECT string_id="MRV_TRN_COMPETITORS_100"/>
<OBJECT string_id="MRV_TRN_CUSTOMERGROUPS_100"/>
<OBJECT string_id="MRV_TRN_SUPPLIERGROUPS_100"/>
<OBJECT string_id="MRV_TRN_BPPROPERTIES_100"/>
<OBJECT string_id="MRV_TRN_BPPRIORITIES_100"/>
<OBJECT string_id="MRV_TRN_ITEMPROPERTIES_100"/>
<OBJECT string_id="MRV_TRN_CUSTOMGROUPS_100"/>
<OBJECT string_id="MRV_TRN_MANUFACTURERS_100"/>
<OBJECT string_id="MRV_TRN_SHIPPINGTYPES_100"/>
<OBJECT string_id="MRV_TRN_LOCATIONS_100"/>
<OBJECT string_id="MRV_TRN_INVENTORYCYCLES_100"/>
<OBJECT string_id="MRV_TRN_TEMPLATES_100"/>
<OBJECT string_id="MRV_TRN_PACKAGETYPES_100"/>
<OBJECT string_id="MRV_TRN_TERRITORIES_100"/>
<OBJECT string_id="MRV_TRN_PREDEFINEDTEXT_100"/>
<!-- Chart of accounts: segments, titles, then the postable accounts, and
     after them everything that names an account. -->
<OBJECT string_id="MRV_TRN_ACCTSEGMENTATION_100"/>
<OBJECT string_id="MRV_TRN_SEGMENTCODES_100"/>
<OBJECT string_id="MRV_TRN_COATITLES_100"/>
<OBJECT string_id="MRV_TRN_ACCOUNTS_100"/>
<!-- Tax objects name accounts, and their own accounts arrive only with
     G/L Settings for Tax Setup: a new tax object is added with the transport
     account, which those settings replace and then delete. Tax definitions
     still follow the accounts, because an existing tax object is updated
     with its own account values, which must exist in the target. -->
<OBJECT string_id="MRV_TRN_TAXDEFINITION_100"/>
<!-- The company details name the country and the default tax code. -->
<OBJECT string_id="MRV_TRN_CMPDETAILS_100"/>
<OBJECT string_id="MRV_TRN_HOUSEBANKACCOUNTS_100"/>
<OBJECT string_id="MRV_TRN_PAYMENTMETHODS_100"/>
<OBJECT string_id="MRV_TRN_CREDITCARDS_100"/>
<OBJECT string_id="MRV_TRN_CCPAYMNTMETHODS_100"/>
<OBJECT string_id="MRV_TRN_LANDEDCOSTS_100"/>
<OBJECT string_id="MRV_TRN_GLACCTDETERMINATION_100"/>
<OBJECT string_id="MRV_TRN_GLBANKSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_GLINVNTRYSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_GLTAXDEFSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_BUDGET_100"/>
<OBJECT string_id="MRV_TRN_FINANCIALREPORTTMPL_100"/>
<!-- Master data. The inventory settings name the default warehouse, item
     group and cycle; a partner names its business partner. -->
<OBJECT string_id="MRV_TRN_ITEMGROUPS_100"/>
<OBJECT string_id="MRV_TRN_WAREHOUSES_100"/>
<OBJECT string_id="MRV_TRN_INVENTORYSETTINGS_100"/>
<OBJECT string_id="MRV_TRN_BPGENERALINFO_100"/>
<OBJECT string_id="MRV_TRN_PARTNERS_100"/>
<OBJECT string_id="MRV_TRN_ITEMSLEAF_100"/>
<OBJECT string_id="MRV_TRN_ALTERNATIVEITEMS_100"/>
<OBJECT string_id="MRV_TRN_BPCATALOGNUMBERS_100"/>
<OBJECT string_id="MRV_TRN_PRICELISTSLEAF_100"/>
<OBJECT string_id="MRV_TRN_SPECIALPRICESBP_100"/>
<OBJECT string_id="MRV_TRN_DISCOUNTGROUPS_100"/>
<OBJECT string_id="MRV_TRN_PRICEHIERARCHIES_100"/>
<OBJECT string_id="MRV_TRN_BILLOFMATERIALS_100"/>
<OBJECT string_id="MRV_TRN_FORECASTS_100"/>
<OBJECT string_id="MRV_TRN_DEFAULTS_100"/>
<OBJECT string_id="MRV_TRN_DEFAULTLAYOUTS_100"/>
<OBJECT string_id="MRV_TRN_DEFAULTSERIES_100"/>
<!-- Transactions last: they post to accounts, partners, projects and
     periods, and stand on the document series. -->
<OBJECT string_id="MRV_TRN_MANUALJOURNALENTRIES_100"/>
<OBJECT string_id="MRV_TRN_OPENINGBALANCES_100"/>
<OBJECT string_id="MRV_TRN_STOCKPOSTINGS_100"/>
<OBJECT string_id="MRV_TRN_INITIALQUANTITIES_100"/>
</body>
</mirrovaConfigurationFile>
