#pragma once

#include "host/ui/LLMenuTree.h"
#include "host/ui/LLUiApplication.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>

namespace LLUiCOM {

// The client's side of the UI API in the client's own process: what the
// add-ons change (menus, forms, the status bar) is kept here for the client
// to show, message boxes go to the client's handler, and the client raises
// its events through it to the add-ons connected. Tests use it as the
// client.
class LocalApplication : public Application {
public:
    struct MessageBoxRequest {
        QString text;
        int defaultButton = 1;
        QStringList captions; // the buttons shown, in order
    };

    LocalApplication(std::shared_ptr<LLObjectsCOM::Company> company, LlLanguages language,
                     QList<MenuItem> menus = clientMenus());

    // The client's own menu bar: File, Tools (4864) and Help.
    static QList<MenuItem> clientMenus();

    std::shared_ptr<LLObjectsCOM::Company> company() override;
    LlLanguages language() override;
    int messageBox(const QString& text, int defaultButton, const QString& caption1,
                   const QString& caption2 = {}, const QString& caption3 = {}) override;
    void freezeForm(int formType, int instance, bool freeze) override;
    void loadBatchActions(const QString& xml) override;
    QString lastBatchResults() override;
    MenuItem menuItem(const QString& uniqueId) override;
    void setMenuEnabled(const QString& uniqueId, bool enabled) override;
    void setStatusBarMessage(const QString& text, bool error) override;

    // The client's side. An add-on's sink receives the events from its
    // connection on; the client keeps no ownership.
    void connect(EventSink* sink);
    void disconnect(EventSink* sink);
    // The worst result the add-ons returned (0 when none is connected).
    // With only, the load reaches that add-on alone (one that just joined),
    // and nothing when it is not connected.
    int raiseApplicationLoad(EventSink* only = nullptr);
    int raiseApplicationUnload();
    // A user's pick of a menu entry: the before-action phase to every
    // add-on, then, unless one kept it, the after-action phase. True when
    // the client is to act on it.
    bool clickMenu(const QString& uniqueId);
    bool loadForm(int formType, int instance, EventSink* only = nullptr);
    void changeLanguage(LlLanguages language);
    void changeCompany(std::shared_ptr<LLObjectsCOM::Company> company);
    // The client is gone: every call of the API fails from now on.
    void close() { m_closed = true; }

    // How the client answers a message box: the number of the button
    // pressed. Without one, the default button is pressed.
    std::function<int(const MessageBoxRequest&)> messageBoxHandler;

    // What an add-on's call changed, for the client to show it.
    enum class Change { Menus, StatusBar, Forms };
    std::function<void(Change)> changed;

    const MenuTree& menus() const { return m_menus; }
    const QList<MessageBoxRequest>& messageBoxes() const { return m_messageBoxes; }
    const QString& statusBarText() const { return m_statusBar; }
    bool statusBarError() const { return m_statusBarError; }
    // How often a form is frozen; -1 for a form the client does not have.
    int frozen(int formType, int instance) const;

private:
    // Throws once the client is gone.
    void alive() const;
    template <typename Handler> int raise(Handler handler, EventSink* only = nullptr);
    void notify(Change change) const;

    std::shared_ptr<LLObjectsCOM::Company> m_company;
    LlLanguages m_language;
    MenuTree m_menus;
    QString m_lastResults;
    QHash<std::pair<int, int>, int> m_forms; // (type, instance) -> times frozen
    QList<EventSink*> m_sinks;
    QList<MessageBoxRequest> m_messageBoxes;
    QString m_statusBar;
    bool m_statusBarError = false;
    bool m_closed = false;
};

} // namespace LLUiCOM
