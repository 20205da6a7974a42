#pragma once

#include "di/MRV_DIInterface.h"

// Items: business object 4 in OITM with its prices (ITM1 lines), and the
// item's rows per warehouse (OITW) that travel with it. Item codes are the
// same in every company; what an item names travels by what names it in
// every company: groups, units, manufacturer, shipping type, cycle and
// price lists by name, accounts by formatted code, VAT groups, currencies
// and warehouses by code. An item whose reference the target cannot
// resolve fails naming the missing record, a price list included.
// Quantities, committed and ordered amounts and prices of stock are the
// target's own postings': they never travel.
class MRV_ItemsManager : public MRV_DIInterface {
public:
    MRV_ItemsManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;

    // The columns of an item's row per warehouse that stock postings keep.
    static const QStringList& postedColumns();
};
