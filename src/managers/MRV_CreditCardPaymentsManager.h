#pragma once

#include "di/MRV_DIInterface.h"

// Due dates of credit card payments: business object 71 in OCDT, known
// by their codes.
class MRV_CreditCardPaymentsManager : public MRV_DIInterface {
public:
    MRV_CreditCardPaymentsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
