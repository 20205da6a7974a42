#pragma once

#include "di/MRV_DIInterface.h"

// Transaction codes: the rows of OTRC, known by their codes.
class MRV_TransactionCodeManager : public MRV_DIInterface {
public:
    MRV_TransactionCodeManager(MRV_ConnectionContext* context, const QString& categoryId);
};
