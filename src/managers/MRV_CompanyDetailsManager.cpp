#include "managers/MRV_CompanyDetailsManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString Admin = u"OADM"_s;
const QString Holidays = u"OHLD"_s;

} // namespace

MRV_CompanyDetailsManager::MRV_CompanyDetailsManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    declareTable({
        .name = Admin,
        .objectType = MRV_TableDeclaration::Settings,
        // The holidays come with the category; countries and tax codes are
        // known by their codes everywhere, and one the target lacks yet is
        // left out (the target keeps its own).
        .references =
            {MRV_Reference::byCode(u"HolidaysName"_s, Holidays, u"HldCode"_s).orLeftOut(),
             MRV_Reference::byCode(u"Country"_s, u"OCRY"_s, u"Code"_s).orLeftOut(),
             MRV_Reference::byCode(u"DefaultTaxCode"_s, u"OSTC"_s, u"Code"_s).orLeftOut()},
        .settingsElement = u"AdminInfo"_s,
        .settings = {u"Address"_s,
                     u"Country"_s,
                     u"PrintingHeader"_s,
                     u"ManagingDirector"_s,
                     u"PhoneNumber1"_s,
                     u"PhoneNumber2"_s,
                     u"FaxNumber"_s,
                     u"eMail"_s,
                     u"AddressinForeignLanguage"_s,
                     u"LetterHeaderinForeignLangu"_s,
                     u"ManagingDirectorForeignLan"_s,
                     u"PhoneNumber1ForeignLang"_s,
                     u"PhoneNumber2ForeignLang"_s,
                     u"FaxNumberForeignLang"_s,
                     u"UseTax"_s,
                     u"DefaultTaxCode"_s,
                     u"TaxOffice"_s,
                     u"FederalTaxID"_s,
                     u"FederalTaxID2"_s,
                     u"FederalTaxID3"_s,
                     u"AdditionalIdNumber"_s,
                     u"FileNumberinIncomeTax"_s,
                     u"WithholdingTaxDdctOffice"_s,
                     u"HolidaysName"_s,
                     u"UniqueTaxPayerRef"_s,
                     u"EmployerReference"_s,
                     u"State"_s,
                     u"OrganizationNumber"_s,
                     u"BPTypeCode"_s,
                     u"PBSGroupNumber"_s,
                     u"PBSNumber"_s,
                     u"MinimumAmountfor347Report"_s,
                     u"CustomerIdNumber"_s,
                     u"ISRBillerID"_s,
                     u"ISRType"_s,
                     u"WithTax"_s,
                     u"TaxPercentage"_s,
                     u"TaxCollection"_s,
                     u"AdvancesonCorpIncomeTax"_s,
                     u"CurrPeriod"_s},
        // The address is the address lines' to write; the current period
        // names one of the company's own periods and is shown only.
        .settingsNotWritten = {u"Address"_s, u"AddressinForeignLanguage"_s, u"CurrPeriod"_s},
    });
    declareTable({
        .name = Holidays,
        .keyColumns = {u"HldCode"_s},
        .descriptionColumn = u"Remarks"_s,
        // The holidays the company works by stay.
        .usedBy = {{Admin, u"HolidaysName"_s}},
    });
    declareTable({
        .name = u"HLD1"_s,
        .keyColumns = {u"HldCode"_s, u"StrDate"_s},
        .descriptionColumn = u"Remarks"_s,
        .parentTable = Holidays,
        .links = {{u"HldCode"_s, u"HldCode"_s}},
    });
    // Line numbers of the company's addresses are the same everywhere.
    declareTable({
        .name = u"ADM1"_s,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Street"_s,
    });
    declareTable({
        .name = u"CINF"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .keyColumns = {u"Code"_s},
        .settingsElement = u"CompanyInfo"_s,
        .settings = {u"MinimumBaseAmountPerDoc"_s, u"MinimumAmountForAppndixOP"_s,
                     u"MinimumAmountForAnnualList"_s, u"BISRBankCountry"_s, u"BISRBankNo"_s,
                     u"BISRBankAccount"_s, u"BISRBranch"_s},
    });
}
