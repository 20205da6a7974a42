<?xml version="1.0" encoding="UTF-8"?>
<duplaWorksheet version="1.0">
  <body>
    <Customization leaf_id="1" string_id="MRV_TRN_CUSTOMIZATION_100" selected="0" allow_selection="true">
      <Queries leaf_id="1.1" string_id="MRV_TRN_QUERIES_100" note="1" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
      <UserDefinedElementsAndFormattedSearch leaf_id="1.2" string_id="MRV_TRN_UDEFS_100" note="2" selected="0" data_area_format="N" allow_selection="true">
        <UserDefinedFields leaf_id="1.2.1" string_id="MRV_TRN_UDF_100" note="2" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>1.2.5</leaf_id>
          </dependencies>
        </UserDefinedFields>
        <FormattedSearchLinkedToUserDefinedFields leaf_id="1.2.2" string_id="MRV_TRN_FSUDF_100" note="2" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>1.1</leaf_id>
            <leaf_id>1.2.1</leaf_id>
          </dependencies>
        </FormattedSearchLinkedToUserDefinedFields>
        <FormattedSearchLinkedToStdFields leaf_id="1.2.3" string_id="MRV_TRN_FSSTDF_100" note="2" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>1.1</leaf_id>
          </dependencies>
        </FormattedSearchLinkedToStdFields>
        <UserDefinedObjects leaf_id="1.2.4" string_id="MRV_TRN_UDO_100" note="2" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>1.2.5</leaf_id>
            <leaf_id>1.2.1</leaf_id>
          </dependencies>
        </UserDefinedObjects>
        <UserDefinedTables leaf_id="1.2.5" string_id="MRV_TRN_UDT_100" note="2" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
        <UserDefinedTablesContent leaf_id="1.2.6" string_id="MRV_TRN_UDTCONT_100" note="2" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>1.2.5</leaf_id>
            <leaf_id>1.2.1</leaf_id>
          </dependencies>
        </UserDefinedTablesContent>
      </UserDefinedElementsAndFormattedSearch>
      <PrintLayouts leaf_id="1.3" string_id="MRV_TRN_PRINTLAYOUTS_100" note="3" selected="0" data_area_format="N" allow_selection="true">
        <DocumentsAndReports leaf_id="1.3.1" string_id="MRV_TRN_DOCREP_100" note="3" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
        <QueryPrintLayouts leaf_id="1.3.2" string_id="MRV_TRN_QUERYLAYOUTS_100" note="3" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>1.1</leaf_id>
          </dependencies>
        </QueryPrintLayouts>
      </PrintLayouts>
    </Customization>
    <Users leaf_id="2" string_id="MRV_TRN_USERS_100" selected="0" allow_selection="true">
      <Users leaf_id="2.1" string_id="MRV_TRN_USERSLEAF_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
      <Authorizations leaf_id="2.2" string_id="MRV_TRN_AUTHORIZATIONS_100" selected="0" allow_selection="true">
        <Authorizations leaf_id="2.2.1" string_id="MRV_TRN_AUTHORIZATIONSLEAF_100" note="9" selected="0" data_area_format="T" allow_selection="true" prohibited_copyMethods="1,3,4" substitute_copyMethod="2">
          <dependencies>
            <leaf_id>2.1</leaf_id>
          </dependencies>
        </Authorizations>
        <AdditionalAuthorizationCreator leaf_id="2.2.2" string_id="MRV_TRN_ADDITIONALAUT_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
        <Ownership leaf_id="2.2.3" string_id="MRV_TRN_OWNERSHIP_100" selected="0"/>
      </Authorizations>
      <DisplaySettings leaf_id="2.3" string_id="MRV_TRN_DISPLAYSETTINGS_100" selected="0" allow_selection="true">
        <CompanyDisplaySettings leaf_id="2.3.1" string_id="MRV_TRN_CMPDSPSETTINGS_100" note="10" selected="0" data_area_format="N" allow_selection="true" localization_transfer="true" prohibited_copyMethods="1" substitute_copyMethod="4">
          <dependencies>
            <leaf_id>3.3.2.16</leaf_id>
            <leaf_id>3.3.2.17</leaf_id>
          </dependencies>
        </CompanyDisplaySettings>
        <UserDisplaySettings leaf_id="2.3.2" string_id="MRV_TRN_USRDSPSETTINGS_100" note="12" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>2.1</leaf_id>
          </dependencies>
        </UserDisplaySettings>
      </DisplaySettings>
      <UserMenus leaf_id="2.4" string_id="MRV_TRN_USRMENUS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
        <dependencies>
          <leaf_id>2.1</leaf_id>
        </dependencies>
      </UserMenus>
    </Users>
    <InitialSettingsAndSetup leaf_id="3" string_id="MRV_TRN_INITSETTINGS_100" selected="0" allow_selection="true">
      <General leaf_id="3.1" string_id="MRV_TRN_GENERAL_100" selected="0" allow_selection="true">
        <Settings leaf_id="3.1.1" string_id="MRV_TRN_SETTINGS_100" selected="0" allow_selection="true">
          <CompanyDetails leaf_id="3.1.1.1" string_id="MRV_TRN_CMPDETAILS_100" selected="0" data_area_format="D" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>3.1.2.2</leaf_id>
              <leaf_id>3.2.1.3</leaf_id>
            </dependencies>
          </CompanyDetails>
          <GeneralSettings leaf_id="3.1.1.2" string_id="MRV_TRN_GENERALSETTINGS_100" note="13" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>3.2.2.7</leaf_id>
              <leaf_id>3.2.2.6</leaf_id>
            </dependencies>
          </GeneralSettings>
          <DocumentNumbering leaf_id="3.1.1.3" string_id="MRV_TRN_DOCNUMBERING_100" note="25" selected="0" data_area_format="T" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4"/>
          <DocumentSettings leaf_id="3.1.1.4" string_id="MRV_TRN_DOCSETTINGS_100" selected="0" data_area_format="D" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>3.2.1.1</leaf_id>
            </dependencies>
          </DocumentSettings>
          <PrintPreferencesAddButtonSettings leaf_id="3.1.1.5" string_id="MRV_TRN_PRTONADDSETTINGS_100" note="15" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4"/>
          <PostingPeriods leaf_id="3.1.1.6" string_id="MRV_TRN_POSTPER_100" selected="0" data_area_format="T" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4"/>
        </Settings>
        <Setup leaf_id="3.1.2" string_id="MRV_TRN_DEFINITIONS_100" selected="0" allow_selection="true">
          <Alerts leaf_id="3.1.2.1" string_id="MRV_TRN_ALERTS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
            <dependencies>
              <leaf_id>1.1</leaf_id>
              <leaf_id>2.1</leaf_id>
            </dependencies>
          </Alerts>
          <Countries leaf_id="3.1.2.2" string_id="MRV_TRN_COUNTRIES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
            <dependencies>
              <leaf_id>3.1.2.3</leaf_id>
            </dependencies>
          </Countries>
          <AddressFormat leaf_id="3.1.2.3" string_id="MRV_TRN_ADDRESSFORMAT_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <ApprovalProcedures leaf_id="3.1.2.4" string_id="MRV_TRN_APPROVALPROCS_100" selected="0"/>
        </Setup>
      </General>
      <Finance leaf_id="3.2" string_id="MRV_TRN_FINANCE_100" selected="0" allow_selection="true">
        <Settings leaf_id="3.2.1" string_id="MRV_TRN_FINANCESETTINGS_100" selected="0" allow_selection="true">
          <CurrencySettings leaf_id="3.2.1.1" string_id="MRV_TRN_CURRENCYSETTINGS_100" selected="0" data_area_format="T" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4"/>
          <COASettings leaf_id="3.2.1.2" string_id="MRV_TRN_COASETTINGS_100" note="16" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>3.2.1.1</leaf_id>
            </dependencies>
          </COASettings>
          <TaxDefinition leaf_id="3.2.1.3" string_id="MRV_TRN_TAXDEFINITION_100" note="29" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>4.3</leaf_id>
            </dependencies>
          </TaxDefinition>
        </Settings>
        <Setup leaf_id="3.2.2" string_id="MRV_TRN_FINANCEDEFINITIONS_100" selected="0" allow_selection="true">
          <Indexes leaf_id="3.2.2.1" string_id="MRV_TRN_INDEXES_100" selected="0" data_area_format="T" allow_selection="true"/>
          <TransactionCodes leaf_id="3.2.2.2" string_id="MRV_TRN_TRANSACTIONCODES_100" selected="0" data_area_format="T" allow_selection="true"/>
          <BanksAndBranches leaf_id="3.2.2.3" string_id="MRV_TRN_BANKSANDBRANCHES_100" selected="0" data_area_format="T" allow_selection="true">
            <dependencies>
              <leaf_id>3.1.2.2</leaf_id>
            </dependencies>
          </BanksAndBranches>
          <CreditVendors leaf_id="3.2.2.4" string_id="MRV_TRN_CREDITSUPPLIERS_100" selected="0" data_area_format="T" allow_selection="true"/>
          <PaymentMethods leaf_id="3.2.2.5" string_id="MRV_TRN_PAYMENTMETHODS_100" selected="0" data_area_format="T" allow_selection="true">
            <dependencies>
              <leaf_id>3.2.2.3</leaf_id>
              <leaf_id>4.3</leaf_id>
              <leaf_id>3.1.2.2</leaf_id>
            </dependencies>
          </PaymentMethods>
          <DunningLevels leaf_id="3.2.2.6" string_id="MRV_TRN_DUNNINGLEVELS_100" selected="0" data_area_format="T" allow_selection="true">
            <dependencies>
              <leaf_id>1.3.1</leaf_id>
            </dependencies>
          </DunningLevels>
          <PaymentTerms leaf_id="3.2.2.7" string_id="MRV_TRN_PAYMENTTERMS_100" selected="0" data_area_format="T" allow_selection="true">
            <dependencies>
              <leaf_id>3.3.1.2</leaf_id>
            </dependencies>
          </PaymentTerms>
          <PaymentBlocks leaf_id="3.2.2.8" string_id="MRV_TRN_PAYMENTBLOCKS_100" selected="0" data_area_format="T" allow_selection="true"/>
          <CreditCards leaf_id="3.2.2.9" string_id="MRV_TRN_SETUPCREDITCARDS_100" note="4" selected="0" data_area_format="N"/>
          <HouseBankAccounts leaf_id="3.2.2.10" string_id="MRV_TRN_HOUSEBANKACCOUNTS_100" selected="0" data_area_format="T" allow_selection="true">
            <dependencies>
              <leaf_id>3.2.2.3</leaf_id>
              <leaf_id>4.3</leaf_id>
              <leaf_id>1.3.1</leaf_id>
              <leaf_id>3.1.2.2</leaf_id>
            </dependencies>
          </HouseBankAccounts>
        </Setup>
      </Finance>
      <Logistics leaf_id="3.3" string_id="MRV_TRN_LOGISTICS_100" selected="0" allow_selection="true">
        <Settings leaf_id="3.3.1" string_id="MRV_TRN_LOGISTICSSETTINGS_100" selected="0" allow_selection="true">
          <InventorySettings leaf_id="3.3.1.1" string_id="MRV_TRN_INVENTORYSETTINGS_100" note="17" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>5.2.2</leaf_id>
              <leaf_id>5.2.1</leaf_id>
              <leaf_id>3.3.2.22</leaf_id>
            </dependencies>
          </InventorySettings>
          <PriceListSetup leaf_id="3.3.1.2" string_id="MRV_TRN_PRICELISTDEFS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true" prohibited_copyMethods="1" substitute_copyMethod="4">
            <dependencies>
              <leaf_id>3.2.1.1</leaf_id>
            </dependencies>
          </PriceListSetup>
        </Settings>
        <Setup leaf_id="3.3.2" string_id="MRV_TRN_LOGISTICSDEFS_100" selected="0" allow_selection="true">
          <CommissionGroups leaf_id="3.3.2.1" string_id="MRV_TRN_COMMISIONGROUPS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <SalesEmployees leaf_id="3.3.2.2" string_id="MRV_TRN_SALESEMPLOYEES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
            <dependencies>
              <leaf_id>3.3.2.1</leaf_id>
              <leaf_id>2.1</leaf_id>
              <leaf_id>3.1.2.2</leaf_id>
            </dependencies>
          </SalesEmployees>
          <Projects leaf_id="3.3.2.3" string_id="MRV_TRN_PROJECTS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <SalesOpportunities leaf_id="3.3.2.4" string_id="MRV_TRN_SALESOPPORTUNITIES_100" selected="0"/>
          <SalesStages leaf_id="3.3.2.5" string_id="MRV_TRN_SALESSTAGES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <Partners leaf_id="3.3.2.6" string_id="MRV_TRN_PARTNERS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
            <dependencies>
              <leaf_id>3.3.2.27</leaf_id>
              <leaf_id>5.1.1</leaf_id>
            </dependencies>
          </Partners>
          <Competitors leaf_id="3.3.2.7" string_id="MRV_TRN_COMPETITORS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <LandedCosts leaf_id="3.3.2.8" string_id="MRV_TRN_LANDEDCOSTS_100" selected="0" data_area_format="T" allow_selection="true">
            <dependencies>
              <leaf_id>4.3</leaf_id>
            </dependencies>
          </LandedCosts>
          <CustomerGroups leaf_id="3.3.2.9" string_id="MRV_TRN_CUSTOMERGROUPS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
            <dependencies>
              <leaf_id>3.3.1.2</leaf_id>
            </dependencies>
          </CustomerGroups>
          <VendorGroups leaf_id="3.3.2.10" string_id="MRV_TRN_SUPPLIERGROUPS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
            <dependencies>
              <leaf_id>3.3.1.2</leaf_id>
            </dependencies>
          </VendorGroups>
          <BPProperties leaf_id="3.3.2.11" string_id="MRV_TRN_BPPROPERTIES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <BPPriorities leaf_id="3.3.2.12" string_id="MRV_TRN_BPPRIORITIES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <ItemsGroups leaf_id="3.3.2.13" string_id="MRV_TRN_ITEMGROUPS1_100" note="26" selected="0" data_area_format="N"/>
          <ItemProperties leaf_id="3.3.2.14" string_id="MRV_TRN_ITEMPROPERTIES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <Warehouses leaf_id="3.3.2.15" string_id="MRV_TRN_WAREHOUSES1_100" note="27" selected="0" data_area_format="N"/>
          <LengthAndWidthUoM leaf_id="3.3.2.16" string_id="MRV_TRN_UOMLENGTHWIDTH_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <WeightUoM leaf_id="3.3.2.17" string_id="MRV_TRN_UOMWEIGHT_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <CustomGroups leaf_id="3.3.2.18" string_id="MRV_TRN_CUSTOMGROUPS_100" selected="0" data_area_format="T" allow_selection="true"/>
          <Manufacturers leaf_id="3.3.2.19" string_id="MRV_TRN_MANUFACTURERS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <ShippingTypes leaf_id="3.3.2.20" string_id="MRV_TRN_SHIPPINGTYPES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <Locations leaf_id="3.3.2.21" string_id="MRV_TRN_LOCATIONS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <InventoryCycles leaf_id="3.3.2.22" string_id="MRV_TRN_INVENTORYCYCLES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <Templates leaf_id="3.3.2.23" string_id="MRV_TRN_TEMPLATES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <PackageTypes leaf_id="3.3.2.24" string_id="MRV_TRN_PACKAGETYPES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <Territories leaf_id="3.3.2.25" string_id="MRV_TRN_TERRITORIES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <PredefinedText leaf_id="3.3.2.26" string_id="MRV_TRN_PREDEFINEDTEXT_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
          <Relationships leaf_id="3.3.2.27" string_id="MRV_TRN_RELTNSHPS_40" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true"/>
        </Setup>
      </Logistics>
    </InitialSettingsAndSetup>
    <ChartOfAccounts leaf_id="4" string_id="MRV_TRN_COA_100" note="5" selected="0" data_area_format="N" allow_selection="true">
      <COASetup leaf_id="4.1" string_id="MRV_TRN_COASETUP_100" selected="0" allow_selection="true">
        <AccountSegmentation leaf_id="4.1.1" string_id="MRV_TRN_ACCTSEGMENTATION_100" selected="0" data_area_format="T" allow_selection="true"/>
        <SegmentCodes leaf_id="4.1.2" string_id="MRV_TRN_SEGMENTCODES_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.1.1</leaf_id>
          </dependencies>
        </SegmentCodes>
      </COASetup>
      <COATitles leaf_id="4.2" string_id="MRV_TRN_COATITLES_100" note="23" selected="0" data_area_format="T" allow_selection="true"/>
      <Accounts leaf_id="4.3" string_id="MRV_TRN_ACCOUNTS_100" note="24" selected="0" data_area_format="T" allow_selection="true">
        <dependencies>
          <leaf_id>4.2</leaf_id>
          <leaf_id>3.2.1.1</leaf_id>
          <leaf_id>3.3.2.3</leaf_id>
        </dependencies>
      </Accounts>
      <DefaultGLAccountDetermination leaf_id="4.4" string_id="MRV_TRN_DEFGLACCTDTRMINATION_100" selected="0" allow_selection="true">
        <GLAccountDetermination leaf_id="4.4.1" string_id="MRV_TRN_GLACCTDETERMINATION_100" note="6" selected="0" data_area_format="T" allow_selection="true" prohibited_copyMethods="1,3,4" substitute_copyMethod="2">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.1.6</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
          </dependencies>
        </GLAccountDetermination>
        <GLSettingsForBanks leaf_id="4.4.2" string_id="MRV_TRN_GLBANKSETTINGS_100" note="18" selected="0" data_area_format="T" allow_selection="true" prohibited_copyMethods="1,3,4" substitute_copyMethod="2">
          <dependencies>
            <leaf_id>3.2.2.3</leaf_id>
            <leaf_id>3.2.2.10</leaf_id>
            <leaf_id>4.3</leaf_id>
          </dependencies>
        </GLSettingsForBanks>
        <GLSettingsForCreditCards leaf_id="4.4.3" string_id="MRV_TRN_GLCCSETTINGS_100" selected="0"/>
        <GLSettingsForInventory leaf_id="4.4.4" string_id="MRV_TRN_GLINVNTRYSETTINGS_100" note="7" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1,3,4" substitute_copyMethod="2">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.1.6</leaf_id>
          </dependencies>
        </GLSettingsForInventory>
        <GLSettingsForTaxSetup leaf_id="4.4.5" string_id="MRV_TRN_GLTAXDEFSETTINGS_100" note="9" selected="0" data_area_format="N" allow_selection="true" prohibited_copyMethods="1,3,4" substitute_copyMethod="2">
          <dependencies>
            <leaf_id>3.2.1.3</leaf_id>
            <leaf_id>4.3</leaf_id>
          </dependencies>
        </GLSettingsForTaxSetup>
      </DefaultGLAccountDetermination>
      <Budget leaf_id="4.5" string_id="MRV_TRN_BUDGET_100" selected="0" data_area_format="T" allow_selection="true">
        <dependencies>
          <leaf_id>4.3</leaf_id>
        </dependencies>
      </Budget>
      <FinancialReportTemplates leaf_id="4.6" string_id="MRV_TRN_FINANCIALREPORTTMPL_100" selected="0" data_area_format="T" allow_selection="true">
        <dependencies>
          <leaf_id>4.3</leaf_id>
        </dependencies>
      </FinancialReportTemplates>
      <CreditCardsSetup leaf_id="4.7" string_id="MRV_TRN_CREDSETUP_100" selected="0" allow_selection="true">
        <CreditCards leaf_id="4.7.1" string_id="MRV_TRN_CREDITCARDS_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.2.2</leaf_id>
          </dependencies>
        </CreditCards>
        <CreditCardPayments leaf_id="4.7.2" string_id="MRV_TRN_CCPAYMENTS_100" selected="0" data_area_format="T" allow_selection="true"/>
        <CreditCardPaymentMethods leaf_id="4.7.3" string_id="MRV_TRN_CCPAYMNTMETHODS_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.7.1</leaf_id>
            <leaf_id>4.7.2</leaf_id>
          </dependencies>
        </CreditCardPaymentMethods>
      </CreditCardsSetup>
    </ChartOfAccounts>
    <MasterData leaf_id="5" string_id="MRV_TRN_MASTERDATA_100" selected="0" allow_selection="true">
      <BusinessPartners leaf_id="5.1" string_id="MRV_TRN_BUSINESSPARTNERS_100" selected="0" allow_selection="true">
        <BPGeneralInformation leaf_id="5.1.1" string_id="MRV_TRN_BPGENERALINFO_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>3.3.2.9</leaf_id>
            <leaf_id>3.3.2.10</leaf_id>
            <leaf_id>3.2.2.7</leaf_id>
            <leaf_id>3.3.1.2</leaf_id>
            <leaf_id>3.3.2.20</leaf_id>
            <leaf_id>3.3.2.2</leaf_id>
            <leaf_id>3.3.2.25</leaf_id>
            <leaf_id>3.3.2.1</leaf_id>
            <leaf_id>4.7.1</leaf_id>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
            <leaf_id>3.3.2.12</leaf_id>
            <leaf_id>3.3.2.11</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
            <leaf_id>3.3.2.3</leaf_id>
            <leaf_id>3.2.2.6</leaf_id>
            <leaf_id>3.2.2.3</leaf_id>
            <leaf_id>3.1.2.2</leaf_id>
          </dependencies>
        </BPGeneralInformation>
        <BPAccounts leaf_id="5.1.2" string_id="MRV_TRN_BPACCOUNTS_100" selected="0"/>
        <BPAddresses leaf_id="5.1.3" string_id="MRV_TRN_BPADDRESSES_100" note="19" selected="0" data_area_format="N"/>
        <ContactPersons leaf_id="5.1.4" string_id="MRV_TRN_CONTACTPERSONS_100" note="20" selected="0" data_area_format="N"/>
        <BPBanks leaf_id="5.1.5" string_id="MRV_TRN_BPBANKS_100" selected="0"/>
      </BusinessPartners>
      <Items leaf_id="5.2" string_id="MRV_TRN_ITEMS_100" selected="0" allow_selection="true">
        <ItemsGroups leaf_id="5.2.1" string_id="MRV_TRN_ITEMGROUPS_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.3.2.22</leaf_id>
          </dependencies>
        </ItemsGroups>
        <Warehouses leaf_id="5.2.2" string_id="MRV_TRN_WAREHOUSES_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.2.2</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
            <leaf_id>3.3.2.21</leaf_id>
          </dependencies>
        </Warehouses>
        <Items leaf_id="5.2.3" string_id="MRV_TRN_ITEMSLEAF_100" note="8" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>5.2.1</leaf_id>
            <leaf_id>5.2.2</leaf_id>
            <leaf_id>3.3.1.2</leaf_id>
            <leaf_id>3.3.2.19</leaf_id>
            <leaf_id>3.3.2.20</leaf_id>
            <leaf_id>3.3.2.1</leaf_id>
            <leaf_id>3.3.2.22</leaf_id>
            <leaf_id>3.3.2.17</leaf_id>
            <leaf_id>3.3.2.16</leaf_id>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.3.2.18</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
            <leaf_id>3.3.2.14</leaf_id>
          </dependencies>
        </Items>
        <AlternativeItems leaf_id="5.2.4" string_id="MRV_TRN_ALTERNATIVEITEMS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>5.2.3</leaf_id>
          </dependencies>
        </AlternativeItems>
        <BPCatalogNumbers leaf_id="5.2.5" string_id="MRV_TRN_BPCATALOGNUMBERS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>5.2.3</leaf_id>
            <leaf_id>5.1.1</leaf_id>
          </dependencies>
        </BPCatalogNumbers>
      </Items>
      <PriceLists leaf_id="5.3" string_id="MRV_TRN_PRICELISTS_100" selected="0" allow_selection="true">
        <PriceLists leaf_id="5.3.1" string_id="MRV_TRN_PRICELISTSLEAF_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>5.2.3</leaf_id>
            <leaf_id>3.3.1.2</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
          </dependencies>
        </PriceLists>
        <SpecialPricesForBP leaf_id="5.3.2" string_id="MRV_TRN_SPECIALPRICESBP_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>5.2.3</leaf_id>
            <leaf_id>5.1.1</leaf_id>
            <leaf_id>3.3.1.2</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
          </dependencies>
        </SpecialPricesForBP>
        <DiscountGroups leaf_id="5.3.3" string_id="MRV_TRN_DISCOUNTGROUPS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>5.1.1</leaf_id>
            <leaf_id>3.3.2.14</leaf_id>
            <leaf_id>5.2.1</leaf_id>
            <leaf_id>3.3.2.19</leaf_id>
          </dependencies>
        </DiscountGroups>
        <PriceHierarchies leaf_id="5.3.4" string_id="MRV_TRN_PRICEHIERARCHIES_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
          <dependencies>
            <leaf_id>5.2.3</leaf_id>
            <leaf_id>3.3.1.2</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
          </dependencies>
        </PriceHierarchies>
      </PriceLists>
      <BillOfMaterials leaf_id="5.4" string_id="MRV_TRN_BILLOFMATERIALS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
        <dependencies>
          <leaf_id>5.2.3</leaf_id>
          <leaf_id>3.3.1.2</leaf_id>
          <leaf_id>5.2.2</leaf_id>
          <leaf_id>3.2.1.1</leaf_id>
        </dependencies>
      </BillOfMaterials>
      <Forecasts leaf_id="5.5" string_id="MRV_TRN_FORECASTS_100" selected="0" data_area_format="T" allow_selection="true" localization_transfer="true">
        <dependencies>
          <leaf_id>5.2.3</leaf_id>
          <leaf_id>5.2.2</leaf_id>
        </dependencies>
      </Forecasts>
      <UserDefaults leaf_id="5.6" string_id="MRV_TRN_USERDEFAULTS_100" selected="0" allow_selection="true">
        <Defaults leaf_id="5.6.1" string_id="MRV_TRN_DEFAULTS_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>2.1</leaf_id>
            <leaf_id>5.2.2</leaf_id>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.3.1.2</leaf_id>
            <leaf_id>3.3.2.2</leaf_id>
          </dependencies>
        </Defaults>
        <DefaultLayouts leaf_id="5.6.2" string_id="MRV_TRN_DEFAULTLAYOUTS_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>2.1</leaf_id>
            <leaf_id>1.3.1</leaf_id>
            <leaf_id>5.1.1</leaf_id>
          </dependencies>
        </DefaultLayouts>
        <DefaultSeries leaf_id="5.6.3" string_id="MRV_TRN_DEFAULTSERIES_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>2.1</leaf_id>
            <leaf_id>3.1.1.3</leaf_id>
          </dependencies>
        </DefaultSeries>
      </UserDefaults>
    </MasterData>
    <ManualTransactions leaf_id="6" string_id="MRV_TRN_MANUALTRANSACTIONS_100" selected="0" allow_selection="true">
      <Financial leaf_id="6.1" string_id="MRV_TRN_FINANCIALMT_100" selected="0" allow_selection="true">
        <ManualJournalEntries leaf_id="6.1.1" string_id="MRV_TRN_MANUALJOURNALENTRIES_100" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.1.3</leaf_id>
            <leaf_id>3.1.1.6</leaf_id>
            <leaf_id>3.3.2.3</leaf_id>
            <leaf_id>3.2.2.2</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
            <leaf_id>5.1.1</leaf_id>
          </dependencies>
        </ManualJournalEntries>
        <OpeningBalances leaf_id="6.1.2" string_id="MRV_TRN_OPENINGBALANCES_100" note="30" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.1.3</leaf_id>
            <leaf_id>3.1.1.6</leaf_id>
            <leaf_id>5.1.1</leaf_id>
            <leaf_id>3.3.2.3</leaf_id>
            <leaf_id>3.2.2.2</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
          </dependencies>
        </OpeningBalances>
      </Financial>
      <Inventory leaf_id="6.2" string_id="MRV_TRN_INVENTORYMT_100" selected="0" allow_selection="true">
        <StockPostingInvTracking leaf_id="6.2.1" string_id="MRV_TRN_STOCKPOSTINGS_100" note="28" selected="0" data_area_format="T" allow_selection="true">
          <dependencies>
            <leaf_id>4.3</leaf_id>
            <leaf_id>3.1.1.3</leaf_id>
            <leaf_id>3.1.1.6</leaf_id>
            <leaf_id>5.2.3</leaf_id>
            <leaf_id>5.2.2</leaf_id>
            <leaf_id>3.3.2.3</leaf_id>
            <leaf_id>3.2.2.2</leaf_id>
            <leaf_id>3.2.1.1</leaf_id>
            <leaf_id>3.2.1.3</leaf_id>
            <leaf_id>5.1.1</leaf_id>
          </dependencies>
        </StockPostingInvTracking>
        <InitialQuantities leaf_id="6.2.2" string_id="MRV_TRN_INITIALQUANTITIES_100" selected="0" data_area_format="N" allow_selection="true">
          <dependencies>
            <leaf_id>5.2.3</leaf_id>
            <leaf_id>5.2.2</leaf_id>
          </dependencies>
        </InitialQuantities>
      </Inventory>
    </ManualTransactions>
    <Documents leaf_id="7" string_id="MRV_TRN_DOCUMENTS_100" selected="0">
      <Sales leaf_id="7.1" string_id="MRV_TRN_SALESDOCS_100" selected="0"/>
      <Purchase leaf_id="7.2" string_id="MRV_TRN_PURCHASEDOCS_100" selected="0"/>
      <Banking leaf_id="7.3" string_id="MRV_TRN_BANKINGDOCS_100" selected="0"/>
      <Inventory leaf_id="7.4" string_id="MRV_TRN_INVENTORYDOCS_100" selected="0"/>
      <Others leaf_id="7.5" string_id="MRV_TRN_OTHERDOCS_100" selected="0"/>
    </Documents>
  </body>
</duplaWorksheet>
