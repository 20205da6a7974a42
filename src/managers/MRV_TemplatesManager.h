#pragma once

#include "di/MRV_DIInterface.h"

// Contract templates: business object 170 in OCTT, known by their names.
class MRV_TemplatesManager : public MRV_DIInterface {
public:
    MRV_TemplatesManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The attachment is a file of the base company's own: the target's
    // template gets none.
    void prepareRecord(int objectType, QString& xml) override;
};
