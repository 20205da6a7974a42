#pragma once

#include "di/MRV_DIInterface.h"

// Alerts: the user alerts of OALT (system alerts are the host's own) with
// their recipients (ALT1); an alert is known by its name, its query by the
// query's name and its users by their user codes.
class MRV_AlertsManager : public MRV_DIInterface {
public:
    MRV_AlertsManager(MRV_ConnectionContext* context, const QString& categoryId);
};
