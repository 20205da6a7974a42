#pragma once

#include "di/MRV_DIInterface.h"

// Formatted searches: business object 219 in CSHS, numbered by the host. A
// search binds a query (or a value list) to a field of a form; the query
// travels by its name and is the target's query of that name, so queries
// are copied first. A search is the target's search on the same form,
// item and column (what the host keeps unique), whatever its number.
//
// Two categories share the manager: searches on user-defined fields, whose
// item id begins with the two characters "U_", and those on standard
// fields, all others. (The "_" is taken as itself, not as the one-character
// wildcard of LIKE.) The grid shows a search's query by name.
class MRV_FormattedSearchManager : public MRV_DIInterface {
public:
    MRV_FormattedSearchManager(MRV_ConnectionContext* context, const QString& categoryId,
                               bool userFields);

    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
};
