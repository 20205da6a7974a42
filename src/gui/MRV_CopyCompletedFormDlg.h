#pragma once

#include "gui/MRV_Dialog.h"

#include <functional>

// Says that a copy run is over; its log can be opened from here.
class MRV_CopyCompletedFormDlg : public MRV_Dialog {
public:
    // logPath: the log of the run; without one the Log File button is
    // disabled. passwordPath: the file with the first passwords of the
    // users the run added, named to the user when there is one.
    explicit MRV_CopyCompletedFormDlg(const QString& logPath, QWidget* parent = nullptr,
                                      const QString& passwordPath = QString());

    // Opens a log in the log viewer; the Log File button calls it with the
    // run's log and closes the dialog, so the viewer can be used.
    std::function<void(const QString&)> openLog;
    // Verifies the target against the base after the run; the Verify
    // button calls it with the run's log.
    std::function<void(const QString&)> verify;

    const QString& logPath() const { return m_logPath; }

private:
    void showLog();

    QString m_logPath;
};
