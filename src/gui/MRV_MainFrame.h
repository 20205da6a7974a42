#pragma once

#include "shell/MRV_ToolsManager.h"

#include <QHash>
#include <QMainWindow>

class QLabel;
class QProgressBar;
class QSplitter;
class QTimer;
class MRV_DetailFormDlg;
class MRV_TreeFormDlg;

// The program's main window: a menu bar, a toolbar, a status bar with a
// progress bar, and a splitter with the category tree on the left and the
// record grid on the right, hidden until a worksheet is shown. Every
// command goes to the GUI controller as one call; the frame itself only
// shows what the controller decides.
class MRV_MainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The toolbar's commands, in order; 0 stands for a separator.
    static const QList<quint32>& toolbarCommands();

    explicit MRV_MainFrame(QWidget* parent = nullptr);
    ~MRV_MainFrame() override;

    // The availability of the commands; every item follows it, and the
    // texts follow the host's language.
    void setEnableList(const MRV_EnableList& list);
    bool hasEnableList() const { return m_hasList; }
    void updateMenuItems();
    // The command's menu item (the toolbar shares it); null for an unknown
    // id.
    QAction* action(quint32 id) const { return m_actions.value(id); }
    void setChecked(quint32 id, bool checked);

    // Status text, bold or not; cleared after clearAfterMs (0 keeps it).
    void setStatusText(const QString& text, bool bold, int clearAfterMs);
    QString statusText() const;
    void startProgress(const QString& text, int minimum, int maximum);
    void setProgressPosition(int position);
    void endProgress();
    QProgressBar* progressBar() const { return m_progress; }

    void showSplitter(bool show);
    bool splitterShown() const;
    MRV_TreeFormDlg* treeForm() const { return m_tree; }
    MRV_DetailFormDlg* detailForm() const { return m_detail; }

protected:
    // The close box is Exit: the controller decides, the frame stays.
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QAction* addCommand(QMenu* menu, quint32 id);
    void clearStatus();

    QHash<quint32, QAction*> m_actions;
    MRV_EnableList m_list;
    bool m_hasList = false;
    QLabel* m_message = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer* m_statusTimer = nullptr;
    QSplitter* m_splitter = nullptr;
    MRV_TreeFormDlg* m_tree = nullptr;
    MRV_DetailFormDlg* m_detail = nullptr;
};
