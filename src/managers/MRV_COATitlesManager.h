#pragma once

#include "di/MRV_DIInterface.h"

namespace LLObjectsCOM {
class Company;
}

// Whether a company numbers its accounts by segments: its accounts are then
// known only by their formatted codes, their codes being its own.
bool MRV_AccountsBySegments(LLObjectsCOM::Company& company);
// Whether the company has an account of the code.
bool MRV_AccountExists(LLObjectsCOM::Company& company, const QString& code);
// The chart of accounts (OACT, object 1) as titles or postable accounts
// read it: below level 1, parents first, known in the target by the
// formatted code; the father travels by formatted code too.
MRV_TableDeclaration MRV_ChartTable(bool postable);

// The titles of the chart of accounts below the drawers: business object 1
// in OACT, not postable, of level 2 and deeper. They are read and written
// fathers first; the drawers (level 1) come with every company and are
// never copied, and titles are never removed (note 221: "Replace All" adds
// and updates them only).
class MRV_COATitlesManager : public MRV_DIInterface {
public:
    MRV_COATitlesManager(MRV_ConnectionContext* context, const QString& categoryId);

    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    // A title is the target's title of the same formatted code; in a target
    // without segmentation, else the one of the same code.
    bool resolveTargetKey(const QString& name, const QString& table, QString& key) override;

private:
    bool m_bySegments = false;
};
