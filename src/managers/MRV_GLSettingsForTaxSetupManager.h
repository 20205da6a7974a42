#pragma once

#include "di/MRV_DIInterface.h"

// The G/L accounts of the tax setup: the tax indicators, then the
// accounts (by formatted code) of the tax objects that Tax definition
// brought, each object updated where the target has it, never added. The
// tax objects then point at their real accounts, and the transport
// account goes. No details list: the category is copied whole.
class MRV_GLSettingsForTaxSetupManager : public MRV_DIInterface {
public:
    MRV_GLSettingsForTaxSetupManager(MRV_ConnectionContext* context, const QString& categoryId);

    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    void prepareRecord(int objectType, QString& xml) override;
};
