#pragma once

#include "host/objects/LLHResult.h"

#include <QList>
#include <QString>

#include <memory>

namespace LLObjectsCOM {
class Company;
}

// The host client's UI API, as an add-on sees it: the session's company and
// language, message boxes, forms, the menus (changed by batches of UI
// actions given as XML) and the status bar; and the events the client
// raises. Every call throws ComError when it fails, and once the client is
// gone.
namespace LLUiCOM {

// A language of the client, as the string tables number them (1033 is
// English).
using LlLanguages = int;

// The status of every call once the client is no longer there.
inline constexpr HRESULT ClientGone = static_cast<HRESULT>(0x80010108u);
// The form of the client's main menu, and its only instance.
inline constexpr int MainMenuForm = 169;
// The unique id of the client's Tools menu.
inline const QString ToolsMenu = QStringLiteral("4864");

// One entry of the client's menus.
struct MenuItem {
    enum Type { String = 1, Popup = 2, Separator = 3 };
    QString uniqueId{};
    QString text{};
    QString fatherId{}; // empty at the top of the menu bar
    QString image{};
    int type = String;
    bool enabled = true;
    bool checked = false;

    bool operator==(const MenuItem&) const = default;
};

struct MenuEvent {
    QString menuUid{};
    bool beforeAction = true;
};

struct FormEvent {
    int formType = 0;
    int instance = 0;
    bool beforeAction = true;
};

class Application;

// What the client calls on an add-on when something happens. Each handler
// returns a status code, negative for failure; a handler may clear passOn to
// keep the client from acting on the event (before-action phase only).
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual int OnApplicationLoad(Application& application) = 0;
    virtual int OnApplicationUnload() = 0;
    virtual int OnMenuEvent(const MenuEvent& event, bool& passOn) = 0;
    virtual int OnFormLoad(const FormEvent& event, bool& passOn) = 0;
    virtual int OnChangeLanguage() = 0;
    virtual int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) = 0;
};

// The client's application object.
class Application {
public:
    virtual ~Application() = default;

    // The logged-in user's company.
    virtual std::shared_ptr<LLObjectsCOM::Company> company() = 0;
    virtual LlLanguages language() = 0;
    // Shows text with up to three buttons (empty captions are left out);
    // the number, from 1, of the button pressed.
    virtual int messageBox(const QString& text, int defaultButton, const QString& caption1,
                           const QString& caption2 = {}, const QString& caption3 = {}) = 0;
    // Freezing a form stops it redrawing until it is unfrozen as often.
    virtual void freezeForm(int formType, int instance, bool freeze) = 0;
    // Carries out a batch of UI actions; throws when the document is not
    // one, or when one of its actions failed (the others are carried out).
    virtual void loadBatchActions(const QString& xml) = 0;
    // What each action of the last batch did, as XML.
    virtual QString lastBatchResults() = 0;
    virtual MenuItem menuItem(const QString& uniqueId) = 0;
    virtual void setMenuEnabled(const QString& uniqueId, bool enabled) = 0;
    virtual void setStatusBarMessage(const QString& text, bool error) = 0;
};

} // namespace LLUiCOM
