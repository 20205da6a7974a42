#pragma once

#include "di/MRV_DIInterface.h"

// Credit card payment methods: business object 70 in OCRP, known by their
// names; the card and the payment due date travel by their names.
class MRV_CreditCardPaymentMethodsManager : public MRV_DIInterface {
public:
    MRV_CreditCardPaymentMethodsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
