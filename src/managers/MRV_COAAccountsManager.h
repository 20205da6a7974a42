#pragma once

#include "di/MRV_DIInterface.h"

// The postable accounts of the chart of accounts (business object 1 in
// OACT) with the account categories they name (rows of OACG, known by
// name). Categories are written first, with the copy method; accounts are
// always added or updated, whatever the copy method, and never removed
// (note 222). After the accounts the temporary transport account of the tax
// objects is deleted, unless a record still names it.
class MRV_COAAccountsManager : public MRV_DIInterface {
public:
    MRV_COAAccountsManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The categories' entry comes before the accounts'.
    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    // An account is the target's account of the same formatted code; in a
    // target without segmentation, else the one of the same code.
    bool resolveTargetKey(const QString& name, const QString& table, QString& key) override;

private:
    bool m_bySegments = false;
};
