#pragma once

#include "di/MRV_DIInterface.h"

// Payment blocks: the rows of OPYB, known by their texts.
class MRV_PaymentBlockManager : public MRV_DIInterface {
public:
    MRV_PaymentBlockManager(MRV_ConnectionContext* context, const QString& categoryId);
};
