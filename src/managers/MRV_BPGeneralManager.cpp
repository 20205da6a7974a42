#include "managers/MRV_BPGeneralManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString Partners = u"OCRD"_s;
const QString Addresses = u"CRD1"_s;
const QString BankAccounts = u"OCRB"_s;

QList<MRV_Reference> partnerReferences() {
    return {
        // A group is known by its name among the groups of its kind (a
        // customer group and a vendor group may share a name).
        MRV_Reference::byName(u"GroupCode"_s, u"OCRG"_s, u"GroupCode"_s,
                              {u"GroupName"_s, u"GroupType"_s}),
        MRV_Reference::byName(u"PayTermsGrpCode"_s, u"OCTG"_s, u"GroupNum"_s, {u"PymntGroup"_s}),
        MRV_Reference::byName(u"PriceListNum"_s, u"OPLN"_s, u"ListNum"_s, {u"ListName"_s}),
        MRV_Reference::byName(u"Priority"_s, u"OBPP"_s, u"PrioCode"_s, {u"PrioDesc"_s}),
        MRV_Reference::byName(u"Industry"_s, u"OIDC"_s, u"IndCode"_s, {u"IndName"_s}),
        MRV_Reference::byCode(u"TaxNumberType"_s, u"OTNN"_s, u"Code"_s),
        MRV_Reference::byCode(u"WTCode"_s, u"OWHT"_s, u"WTCode"_s),
        MRV_Reference::byCode(u"VatGroup"_s, u"OVTG"_s, u"Code"_s),
        // "##" is every currency, not one of them.
        MRV_Reference::byName(u"Currency"_s, u"OCRN"_s, u"CurrCode"_s, {u"CurrCode"_s})
            .keeping({u"##"_s}),
        // -1 is "no sales employee" in every company, 0 no commission group.
        MRV_Reference::byName(u"SalesPersonCode"_s, u"OSLP"_s, u"SlpCode"_s, {u"SlpName"_s})
            .keeping({u"-1"_s}),
        // The owner is an employee; only those of sales employees travel
        // (with them), so a partner whose owner the target lacks is written
        // without one.
        MRV_Reference::byName(u"OwnerCode"_s, u"OHEM"_s, u"empID"_s,
                              {u"lastName"_s, u"firstName"_s})
            .orLeftOut(),
        MRV_Reference::byName(u"CommissionGroupCode"_s, u"OCOG"_s, u"GroupCode"_s, {u"GroupName"_s})
            .keeping({u"0"_s}),
        MRV_Reference::byName(u"ShippingType"_s, u"OSHP"_s, u"TrnspCode"_s, {u"TrnspName"_s}),
        // -2 is the top of the territories' tree, no territory.
        MRV_Reference::byName(u"Territory"_s, u"OTER"_s, u"territryID"_s, {u"descript"_s})
            .keeping({u"-2"_s}),
        MRV_Reference::byName(u"CreditCardCode"_s, u"OCRC"_s, u"CreditCard"_s, {u"CardName"_s}),
        MRV_Reference::byCode(u"ProjectCode"_s, u"OPRJ"_s, u"PrjCode"_s),
        MRV_Reference::byName(u"DunningTerm"_s, u"ODUT"_s, u"Code"_s, {u"Name"_s}),
        MRV_Reference::byCode(u"HouseBank"_s, u"ODSC"_s, u"BankCode"_s),
        // Card codes are the same in every company; parent and channel
        // partner must be there, which the order of writing sees to.
        MRV_Reference::byCode(u"FatherCard"_s, Partners, u"CardCode"_s),
        MRV_Reference::byCode(u"ChannelBP"_s, Partners, u"CardCode"_s),
        MRV_Reference::account(u"DebitorAccount"_s),
        MRV_Reference::account(u"DownPaymentClearAct"_s),
        // The lines: countries keep their codes, a state is its code within
        // its country, a bank its code within its country.
        MRV_Reference::byCode(u"Country"_s, u"OCRY"_s, u"Code"_s, Addresses),
        MRV_Reference::byCode(u"State"_s, u"OCST"_s, u"Code"_s, Addresses)
            .within({{u"Country"_s, u"Country"_s}}),
        MRV_Reference::byCode(u"Country"_s, u"OCRY"_s, u"Code"_s, BankAccounts),
        MRV_Reference::byCode(u"BankCode"_s, u"ODSC"_s, u"BankCode"_s, BankAccounts)
            .within({{u"Country"_s, u"CountryCod"_s}}),
    };
}

// The partners the removal phase of "Replace All" may remove: not those
// the host refuses to remove because rows of other categories name them
// (postings, relations, catalog numbers, prices), nor the parents and
// channel partners of those. The category's own partners are removed
// children first.
QString removable() {
    const QString used = u"CardCode IN (SELECT ShortName FROM JDT1 WHERE ShortName IS NOT NULL) "
                         u"OR CardCode IN (SELECT RelatCard FROM OPRT WHERE RelatCard IS NOT "
                         u"NULL) OR CardCode IN (SELECT CardCode FROM OSCN) OR CardCode IN "
                         u"(SELECT CardCode FROM OSPP) OR CardCode IN (SELECT CardCode FROM "
                         u"OSPG)"_s;
    return u"NOT (%1) AND CardCode NOT IN (SELECT FatherCard FROM OCRD WHERE FatherCard IS NOT "
           u"NULL AND (%1)) AND CardCode NOT IN (SELECT ChannlBP FROM OCRD WHERE ChannlBP IS NOT "
           u"NULL AND (%1))"_s.arg(used);
}

} // namespace

MRV_BPGeneralManager::MRV_BPGeneralManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"CardCode"_s};
    m_descriptionElements = {u"CardName"_s};
    m_listColumns = {u"CardCode"_s,  u"CardType"_s, u"CardName"_s, u"CardFName"_s,
                     u"GroupCode"_s, u"Currency"_s, u"GroupNum"_s, u"ListNum"_s,
                     u"Priority"_s,  u"WTCode"_s,   u"validFor"_s, u"frozenFor"_s};
    m_listElements = {u"CardCode"_s,  u"CardType"_s, u"CardName"_s,        u"CardForeignName"_s,
                      u"GroupCode"_s, u"Currency"_s, u"PayTermsGrpCode"_s, u"PriceListNum"_s,
                      u"Priority"_s,  u"WTCode"_s,   u"Valid"_s,           u"Frozen"_s};
    m_writeFields = {u"CardCode"_s, u"CardName"_s};
    m_columnFlags = {0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1};
    declareTable({
        .name = Partners,
        .objectType = 2,
        .keyColumns = {u"CardCode"_s},
        .descriptionColumn = u"CardName"_s,
        .readAll = {u"SELECT CardCode FROM OCRD ORDER BY FatherCard, ChannlBP"_s},
        .removalFilter = {removable()},
        .references = partnerReferences(),
        .parentColumn = u"FatherCard"_s,
        .parentElement = u"FatherCard"_s,
        .parentsAlso = {{u"ChannlBP"_s, u"ChannelBP"_s}},
    });
    // Industries are numbered per company and known by their names; a tax
    // number type keeps its code.
    declareTable({.name = u"OIDC"_s,
                  .keyColumns = {u"IndCode"_s},
                  .descriptionColumn = u"IndName"_s,
                  .generatedKeyName = u"IndName"_s,
                  .companion = true});
    declareTable({.name = u"OTNN"_s,
                  .keyColumns = {u"Code"_s},
                  .descriptionColumn = u"Name"_s,
                  .companion = true});
}
