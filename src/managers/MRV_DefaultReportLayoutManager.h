#pragma once

#include "di/MRV_DIInterface.h"

// Default layouts: the rows of RDFL, the print layout each document type
// uses, for everyone (user -1), a user or a business partner. The
// document type and the layout keep their codes (RTYP, RDOC), and must be
// in the target; the user travels by its user code, the partner by its
// code.
class MRV_DefaultReportLayoutManager : public MRV_DIInterface {
public:
    MRV_DefaultReportLayoutManager(MRV_ConnectionContext* context, const QString& categoryId);

    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
};
