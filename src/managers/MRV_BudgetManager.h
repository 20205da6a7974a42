#pragma once

#include "di/MRV_DIInterface.h"

// Budgets: business object 77 in OBGT, one per account and scenario, with
// the scenarios (object 91 in OBGS, scenarios based on others first) and
// the distribution rules (object 78 in OBGD) they use. Budgets and
// scenarios are numbered by the host: a budget is the target's budget of
// the same account and scenario, a scenario the target's of the same name.
// The account travels by its name, the scenario and the rule by theirs.
//
// Scenarios and rules go with the budgets: they are added or updated
// whatever the copy method, and never removed. Only the budgets follow the
// copy method.
class MRV_BudgetManager : public MRV_DIInterface {
public:
    MRV_BudgetManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    // The scenarios and rules of the budgets read, when only some were
    // selected.
    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    bool m_whole = true;
};
