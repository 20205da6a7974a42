#pragma once

#include "gui/MRV_Dialog.h"

class QRadioButton;

// The first question when the program opens: start a new worksheet, open
// an existing one, or open a log file.
class MRV_WelcomeFormDlg : public MRV_Dialog {
public:
    enum Choice { NewWorksheet, ExistingWorksheet, LogFile };

    explicit MRV_WelcomeFormDlg(QWidget* parent = nullptr);

    // The checked radio button; a new worksheet at start.
    Choice choice() const;

private:
    QRadioButton* m_new;
    QRadioButton* m_existing;
    QRadioButton* m_logFile;
};
