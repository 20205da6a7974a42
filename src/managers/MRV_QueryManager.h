#pragma once

#include "di/MRV_DIInterface.h"

// Queries: the saved queries (business object 160 in OUQR, known by their
// number within their category) with their categories (object 134 in
// OQCN, numbered by the host). Category -2 holds the system's own queries:
// neither it nor its queries are ever read, listed or removed.
//
// A query's category travels by its name. A query is the target's query of
// the same name in the same category; a new one gets the number after the
// target's highest. The categories travel whole with the queries and are
// written before them in every writing pass, added or updated whatever the
// copy method, and never removed: other queries of the target may be in
// them. The grid shows a query's category by name.
class MRV_QueryManager : public MRV_DIInterface {
public:
    MRV_QueryManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
};
