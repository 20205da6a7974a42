#pragma once

#include "di/MRV_DIInterface.h"

// House bank accounts: business object 231 in DSC1, known by their number
// at their bank (code and country). The bank travels by its code and
// country, the payment template by its name, the G/L and interim accounts
// by formatted code. New accounts are numbered from the host's counter of
// object code 183 (assignAutoKey). Each bank's default account travels in
// a table entry of its own ("DefaultAccounts") and is set on the target's
// bank once its accounts are there.
class MRV_HouseBanksAccountsManager : public MRV_DIInterface {
public:
    MRV_HouseBanksAccountsManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    void assignAutoKey(const MRV_TableDeclaration& table, MRV_BOMRecord::Row& row) override;

private:
    // Sets the target bank's default account as one default-account row
    // names it; false with the outcome's error set.
    bool writeDefaultAccount(const MRV_BOMRecord::Row& row, Outcome& outcome);
};
