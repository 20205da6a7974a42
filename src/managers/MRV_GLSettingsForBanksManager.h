#pragma once

#include "di/MRV_DIInterface.h"

// The G/L side of banking: each bank's default house bank account, each
// house bank account's G/L account (by formatted code), and the company's
// default bank. Banks and accounts are updated where the target has them,
// never added; the transport account goes afterwards.
class MRV_GLSettingsForBanksManager : public MRV_DIInterface {
public:
    MRV_GLSettingsForBanksManager(MRV_ConnectionContext* context, const QString& categoryId);

    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    void prepareRecord(int objectType, QString& xml) override;
};
