#pragma once

#include "di/MRV_DIInterface.h"

// Discount groups: the rows of OSPG, a partner's (or, with "*" and a price
// list's number, a hierarchy's) discount on the items of one item
// property, item group or manufacturer. The object type says which; the
// key of that record travels by its name, since groups and manufacturers
// are numbered per company, and the list of a hierarchy by its name too.
// The grid shows the object type by the kind's name.
class MRV_DiscountGroupsManager : public MRV_DIInterface {
public:
    MRV_DiscountGroupsManager(MRV_ConnectionContext* context, const QString& categoryId);

    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;

    // The grid's text of an object type; the value itself for another.
    static QString kindText(const QString& objectType);

private:
    MRV_DIDataSet* withKindTexts(MRV_DIDataSet* listed);
};
