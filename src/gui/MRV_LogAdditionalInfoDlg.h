#pragma once

#include "gui/MRV_Dialog.h"

#include <QStringList>

// The run behind a copy log: its date, start and end time, base, target and
// copy options, read from the log's header.
class MRV_LogAdditionalInfoDlg : public MRV_Dialog {
public:
    // values: date, start time, end time, base, target, copy method,
    // response if copy fails, and "1" when missing user-defined fields
    // were ignored.
    MRV_LogAdditionalInfoDlg(const QStringList& values, QWidget* parent);
};
