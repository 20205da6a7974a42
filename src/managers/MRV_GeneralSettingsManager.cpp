#include "managers/MRV_GeneralSettingsManager.h"

using namespace Qt::StringLiterals;

MRV_GeneralSettingsManager::MRV_GeneralSettingsManager(MRV_ConnectionContext* context,
                                                       const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    const MRV_Reference paymentTerms =
        MRV_Reference::byName(QString(), u"OCTG"_s, u"GroupNum"_s, {u"PymntGroup"_s});
    MRV_Reference customerTerms = paymentTerms;
    customerTerms.field = u"DefaultCustomerPaymentTerms"_s;
    MRV_Reference vendorTerms = paymentTerms;
    vendorTerms.field = u"DefaultVendorPaymentTerms"_s;
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        // Payment and dunning terms are numbered per company: the defaults
        // travel by the terms' names. One the target lacks yet is left out,
        // and the target keeps its own default.
        .references = {customerTerms.orLeftOut(), vendorTerms.orLeftOut(),
                       MRV_Reference::byName(u"DefaultDunningTerm"_s, u"ODUT"_s, u"Code"_s,
                                             {u"Name"_s})
                           .orLeftOut()},
        .settingsElement = u"AdminInfo"_s,
        .settings = {u"CommitmentRestriction"_s, u"RestrictSales"_s, u"RestrictDelNotesPO"_s,
                     u"RestrictOrders"_s, u"SetCommissionbySE"_s, u"SetCommissionbyItem"_s,
                     u"SetCommissionbyCustomer"_s, u"ConsiderDelNotesinSalesR"_s,
                     u"DefaultCustomerPaymentTerms"_s, u"DefaultVendorPaymentTerms"_s,
                     u"CreditDepositType"_s, u"DefaultDunningTerm"_s, u"DocConfirmation"_s,
                     u"DisplayBookkeepingWindow"_s, u"ExcelFolderPath"_s, u"CreditRestriction"_s},
    });
    // The folders of the company's documents, pictures, attachments and
    // extensions: the one row of the print preferences.
    declareTable({
        .name = u"OADP"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .keyColumns = {u"PrintId"_s},
        .settingsElement = u"GeneralSettings"_s,
        .settings = {u"WordPath"_s, u"BitmapPath"_s, u"AttachPath"_s, u"ExtPath"_s},
    });
}
