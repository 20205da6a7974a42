#pragma once

#include "di/MRV_DIInterface.h"

// Financial report templates: table rows of OFRT, with their categories
// (OFRC, fathers first) and the categories' account lines (FRC1). Templates
// and categories are numbered per company: a template is the target's
// template of the same name, a category the target's category of the same
// name in the same template, and a new one takes the next free number. A
// line names its template and category by name and its account by
// formatted code. Written in that order; the removal phase of "Replace
// All" goes the other way, lines first.
class MRV_FinancialReportsTemplateManager : public MRV_DIInterface {
public:
    MRV_FinancialReportsTemplateManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    // The categories and lines of the templates read, when only some were
    // selected.
    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    bool m_whole = true;
};
