#pragma once

#include "di/MRV_DIInterface.h"

// BP General Information: business object 2 in OCRD, with its addresses
// (CRD1), contact persons (OCPR) and bank accounts (OCRB) as the
// partner's lines, and its account fields. A partner keeps its card code;
// what it names travels by name or code: groups of its kind, payment
// terms, price list, priority, industry, tax number type, sales employee,
// owner, commission group, shipping type, territory, credit card,
// project, dunning term, house bank, accounts by formatted code, and its
// parent and channel partner, which are written before it. A partner
// whose reference the target lacks fails naming it, lines and all.
//
// Industries and tax number types have no category of their own: they
// travel with the partners, before them, and are never removed.
class MRV_BPGeneralManager : public MRV_DIInterface {
public:
    MRV_BPGeneralManager(MRV_ConnectionContext* context, const QString& categoryId);
};
