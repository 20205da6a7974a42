#pragma once

#include "di/MRV_DIInterface.h"

// Credit cards: business object 36 in OCRC, known by their names; the G/L
// account travels by its formatted code.
class MRV_CreditCardsManager : public MRV_DIInterface {
public:
    MRV_CreditCardsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
