#pragma once

#include "config/MRV_TrialRun.h"
#include "gui/MRV_Dialog.h"

#include <functional>

class QStandardItemModel;

// What a preview or a verification found, one row per finding (what, table,
// key, field, target value, base value, reason), under a line that sums it
// up. A preview can be approved from here.
class MRV_TrialFindingsDlg : public MRV_Dialog {
public:
    // titleId: the dialog's title with the target's name for its %s.
    // approve: when given, an Approve button calls it; true closes the
    // dialog.
    MRV_TrialFindingsDlg(quint32 titleId, const QString& target, const QString& summary,
                         const QList<MRV_TrialRun::Finding>& findings, QWidget* parent = nullptr,
                         std::function<bool()> approve = {});

    QStandardItemModel* model() const { return m_model; }

private:
    QStandardItemModel* m_model;
    std::function<bool()> m_approve;
};
