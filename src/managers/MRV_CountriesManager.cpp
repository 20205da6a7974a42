#include "managers/MRV_CountriesManager.h"

using namespace Qt::StringLiterals;

MRV_CountriesManager::MRV_CountriesManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Name"_s, u"ReportCode"_s, u"IsEC"_s, u"TaxIdDigts"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1, 1, 1};
    declareTable({
        .name = u"OCRY"_s,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        .references = {{
            .field = u"AddrFormat"_s,
            .table = u"OADF"_s,
            .keyColumn = u"Code"_s,
            .identifyingColumns = {u"Name"_s},
        }},
        // A country still named by the company, its banks, partners,
        // warehouses or employees stays.
        .usedBy = {{u"OADM"_s, u"Country"_s},
                   {u"OADM"_s, u"BankCountry"_s},
                   {u"ADM1"_s, u"Country"_s},
                   {u"CINF"_s, u"BISRBankCountry"_s},
                   {u"ODSC"_s, u"CountryCod"_s},
                   {u"DSC1"_s, u"Country"_s},
                   {u"OCRC"_s, u"Country"_s},
                   {u"OPYM"_s, u"BankCountr"_s},
                   {u"OWHS"_s, u"Country"_s},
                   {u"CRD1"_s, u"Country"_s},
                   {u"OCRB"_s, u"Country"_s},
                   {u"OHEM"_s, u"homeCountr"_s}},
    });
    declareTable({
        .name = u"OCST"_s,
        .keyColumns = {u"Country"_s, u"Code"_s},
        .descriptionColumn = u"Name"_s,
        .parentTable = u"OCRY"_s,
        .links = {{u"Country"_s, u"Code"_s}},
    });
}
