#pragma once

#include "host/ui/LLLocalApplication.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QString>

class LLAddOnHost;
class QAction;
class QLabel;
class QMenu;

// The host client's main window. Its menu bar shows the client's menus as
// the add-ons change them, a language menu and the add-ons the client
// knows; picking an entry raises the menu event, and the client acts on
// its own entries only when no add-on kept the event. The status bar shows
// what the add-ons say, errors set apart; their message boxes are asked
// here. While the main menu form (169/1) is frozen the menu bar stays as it
// is, and is built once when it thaws.
class LLClientWindow : public QMainWindow {
    Q_OBJECT
public:
    // The client's own entries.
    static inline const QString FileMenu = QStringLiteral("512");
    static inline const QString ChangeCompanyMenu = QStringLiteral("513");
    static inline const QString ExitMenu = QStringLiteral("515");
    static inline const QString HelpMenu = QStringLiteral("43520");
    static inline const QString AboutMenu = QStringLiteral("43521");
    // The client's menus as add-ons first see them: File, Tools and Help
    // with the client's own entries.
    static QList<LLUiCOM::MenuItem> clientMenus();

    // host may be null: a window without add-ons.
    LLClientWindow(LLUiCOM::LocalApplication& application, LLAddOnHost* host,
                   QWidget* parent = nullptr);
    ~LLClientWindow() override;

    // The menu bar's entry for a menu's unique id, as built last; null
    // when it shows none.
    QAction* menuAction(const QString& uniqueId) const { return m_actions.value(uniqueId); }
    QMenu* languageMenu() const { return m_languageMenu; }
    QMenu* addOnsMenu() const { return m_addOnsMenu; }
    QLabel* statusMessage() const { return m_status; }
    // How often the menu bar was built; a test sees a frozen form hold it.
    int menuBuilds() const { return m_builds; }

    // Asks the user as an add-on asked: the captions as buttons in order,
    // the default one preselected; the number, from 1, of the one pressed.
    int askUser(const LLUiCOM::LocalApplication::MessageBoxRequest& request);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void changed(LLUiCOM::LocalApplication::Change change);
    void scheduleMenus();
    void buildMenus();
    void addEntries(QMenu* menu, const QString& fatherId);
    void describe(QAction* action, const LLUiCOM::MenuItem& item);
    void buildLanguageMenu();
    void fillAddOnsMenu();
    void picked(const QString& uniqueId);
    void pickLanguage(int lcid);
    void changeCompany();
    void about();
    void showStatus();
    void showTitle();

    LLUiCOM::LocalApplication& m_application;
    LLAddOnHost* m_host;
    QHash<QString, QAction*> m_actions; // of the last build
    QList<QObject*> m_built;            // the top of the last build
    QMenu* m_languageMenu = nullptr;
    QMenu* m_addOnsMenu = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_statusIcon = nullptr;
    bool m_buildQueued = false;
    bool m_heldByFreeze = false;
    bool m_closing = false;
    int m_builds = 0;
};
