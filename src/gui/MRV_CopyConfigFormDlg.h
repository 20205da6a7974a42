#pragma once

#include "gui/MRV_Dialog.h"
#include "host/objects/LLHResult.h"

#include <functional>

class MRV_ConnectionContext;
class QLabel;
class QLineEdit;

// The last word before a copy run: the target company, which the user may
// still choose, and the copy method, which the options change. OK needs a
// connected target that passes checkTarget (another company than the base,
// a release not below the base's, consent to cross localizations), which
// shows its own messages; while it fails the dialog stays.
class MRV_CopyConfigFormDlg : public MRV_Dialog {
public:
    MRV_CopyConfigFormDlg(MRV_ConnectionContext& context, std::function<HRESULT()> checkTarget,
                          QWidget* parent = nullptr);

    void accept() override;

private:
    void chooseTarget();
    void showCopyMethod();

    MRV_ConnectionContext& m_context;
    std::function<HRESULT()> m_checkTarget;
    QLineEdit* m_target;
    QLabel* m_copyMethod;
};
