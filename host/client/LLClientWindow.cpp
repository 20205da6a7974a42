#include "host/client/LLClientWindow.h"

#include "host/client/LLAddOnHost.h"
#include "host/client/LLLanguages.h"
#include "host/client/LLLoginDialog.h"
#include "host/client/LLMnemonic.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>

using namespace Qt::StringLiterals;
using LLUiCOM::MenuItem;

namespace {

QString escapeMnemonic(QString text) {
    return text.replace(u'&', u"&&"_s);
}

} // namespace

QList<MenuItem> LLClientWindow::clientMenus() {
    QList<MenuItem> menus = LLUiCOM::LocalApplication::clientMenus();
    menus << MenuItem{.uniqueId = ChangeCompanyMenu,
                      .text = tr("&Change Company..."),
                      .fatherId = FileMenu}
          << MenuItem{.uniqueId = u"514"_s, .fatherId = FileMenu, .type = MenuItem::Separator}
          << MenuItem{.uniqueId = ExitMenu, .text = tr("E&xit"), .fatherId = FileMenu}
          << MenuItem{.uniqueId = AboutMenu, .text = tr("&About Ledgerline"), .fatherId = HelpMenu};
    return menus;
}

LLClientWindow::LLClientWindow(LLUiCOM::LocalApplication& application, LLAddOnHost* host,
                               QWidget* parent)
    : QMainWindow(parent), m_application(application), m_host(host) {
    setObjectName(u"clientWindow"_s);
    setWindowIcon(QIcon::fromTheme(u"ledgerline"_s));
    resize(900, 600);

    m_statusIcon = new QLabel(this);
    m_statusIcon->setObjectName(u"statusIcon"_s);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_statusIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size));
    m_statusIcon->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(u"statusMessage"_s);
    m_status->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_statusIcon);
    statusBar()->addWidget(m_status, 1);

    m_application.changed = [this](LLUiCOM::LocalApplication::Change change) { changed(change); };
    m_application.messageBoxHandler =
        [this](const LLUiCOM::LocalApplication::MessageBoxRequest& request) {
            return askUser(request);
        };
    if (m_host)
        connect(m_host, &LLAddOnHost::runningChanged, this, &LLClientWindow::fillAddOnsMenu);
    buildMenus();
    showTitle();
    showStatus();
}

LLClientWindow::~LLClientWindow() {
    m_application.changed = nullptr;
    m_application.messageBoxHandler = nullptr;
}

void LLClientWindow::changed(LLUiCOM::LocalApplication::Change change) {
    using Change = LLUiCOM::LocalApplication::Change;
    if (change == Change::StatusBar)
        showStatus();
    else if (change == Change::Menus || (change == Change::Forms && m_heldByFreeze))
        scheduleMenus();
}

void LLClientWindow::scheduleMenus() {
    if (m_application.frozen(LLUiCOM::MainMenuForm, 1) > 0) {
        m_heldByFreeze = true;
        return;
    }
    m_heldByFreeze = false;
    // Built once the add-on's call is answered, however many changes it
    // made, and never under the entry being picked.
    if (std::exchange(m_buildQueued, true))
        return;
    QMetaObject::invokeMethod(this, &LLClientWindow::buildMenus, Qt::QueuedConnection);
}

void LLClientWindow::buildMenus() {
    m_buildQueued = false;
    if (m_closing)
        return;
    if (m_application.frozen(LLUiCOM::MainMenuForm, 1) > 0) {
        m_heldByFreeze = true;
        return;
    }
    ++m_builds;
    QMenuBar* bar = menuBar();
    bar->clear();
    m_actions.clear();
    // What a menu of the last build runs may still be on the stack.
    for (QObject* old : std::exchange(m_built, {}))
        old->deleteLater();
    m_languageMenu = nullptr;
    m_addOnsMenu = nullptr;

    const auto addClientMenus = [&] {
        buildLanguageMenu();
        m_addOnsMenu = new QMenu(tr("&Add-Ons"), this);
        m_addOnsMenu->setObjectName(u"addOnsMenu"_s);
        m_addOnsMenu->setAccessibleName(LLWithoutMnemonic(m_addOnsMenu->title()));
        fillAddOnsMenu();
        bar->addMenu(m_languageMenu);
        bar->addMenu(m_addOnsMenu);
        m_built << m_languageMenu << m_addOnsMenu;
    };
    for (const MenuItem& item : m_application.menus().children(QString())) {
        // The client's own menus stand before Help, as Help stands last.
        if (item.uniqueId == HelpMenu && !m_languageMenu)
            addClientMenus();
        if (item.type == MenuItem::Popup) {
            auto* menu = new QMenu(item.text, this);
            m_built << menu;
            bar->addMenu(menu);
            describe(menu->menuAction(), item);
            menu->setObjectName(u"menu_"_s + item.uniqueId);
            menu->setAccessibleName(LLWithoutMnemonic(item.text));
            addEntries(menu, item.uniqueId);
        } else if (item.type == MenuItem::String) {
            auto* action = new QAction(item.text, this);
            m_built << action;
            bar->addAction(action);
            describe(action, item);
        }
    }
    if (!m_languageMenu)
        addClientMenus();
}

void LLClientWindow::addEntries(QMenu* menu, const QString& fatherId) {
    for (const MenuItem& item : m_application.menus().children(fatherId)) {
        if (item.type == MenuItem::Separator) {
            describe(menu->addSeparator(), item);
        } else if (item.type == MenuItem::Popup) {
            QMenu* sub = menu->addMenu(item.text);
            sub->setObjectName(u"menu_"_s + item.uniqueId);
            sub->setAccessibleName(LLWithoutMnemonic(item.text));
            describe(sub->menuAction(), item);
            addEntries(sub, item.uniqueId);
        } else {
            describe(menu->addAction(item.text), item);
        }
    }
}

void LLClientWindow::describe(QAction* action, const MenuItem& item) {
    action->setObjectName(u"menu_"_s + item.uniqueId);
    action->setData(item.uniqueId);
    action->setEnabled(item.enabled);
    if (item.checked) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    if (!item.image.isEmpty() && QFileInfo(item.image).isFile())
        action->setIcon(QIcon(item.image));
    m_actions.insert(item.uniqueId, action);
    if (item.type == MenuItem::String) {
        const QString uid = item.uniqueId;
        connect(action, &QAction::triggered, this, [this, uid] { picked(uid); });
    }
}

void LLClientWindow::buildLanguageMenu() {
    m_languageMenu = new QMenu(tr("&Language"), this);
    m_languageMenu->setObjectName(u"languageMenu"_s);
    m_languageMenu->setAccessibleName(LLWithoutMnemonic(m_languageMenu->title()));
    auto* group = new QActionGroup(m_languageMenu);
    group->setExclusive(true);
    int current = 0;
    try {
        current = m_application.language();
    } catch (const ComError&) {
        // The client is closing; no language is shown as chosen.
    }
    for (const LLLanguage& language : LLLanguages::all()) {
        QAction* action = m_languageMenu->addAction(escapeMnemonic(language.name));
        action->setObjectName(u"language_%1"_s.arg(language.lcid));
        action->setData(language.lcid);
        action->setCheckable(true);
        action->setChecked(language.lcid == current);
        group->addAction(action);
        const int lcid = language.lcid;
        connect(action, &QAction::triggered, this, [this, lcid] { pickLanguage(lcid); });
    }
}

void LLClientWindow::fillAddOnsMenu() {
    if (!m_addOnsMenu)
        return;
    m_addOnsMenu->clear();
    const QList<LLAddOnEntry> known = m_host ? m_host->known() : QList<LLAddOnEntry>();
    if (known.isEmpty()) {
        m_addOnsMenu->addAction(tr("No add-ons are registered"))->setEnabled(false);
        return;
    }
    for (const LLAddOnEntry& entry : known) {
        // Checked while it runs; one that does not run is started by
        // picking it.
        QAction* action = m_addOnsMenu->addAction(escapeMnemonic(entry.name));
        action->setObjectName(u"addOn_"_s + entry.name);
        action->setToolTip(entry.program);
        action->setCheckable(true);
        const bool running = m_host->isRunning(entry.name);
        action->setChecked(running);
        action->setEnabled(!running && !m_host->isShutDown());
        connect(action, &QAction::triggered, this, [this, entry] { m_host->start(entry); });
    }
}

void LLClientWindow::picked(const QString& uniqueId) {
    const bool act = m_application.clickMenu(uniqueId);
    // A checkable entry shows what the menus say, not what the click made
    // of it.
    if (QAction* action = m_actions.value(uniqueId); action && action->isCheckable())
        if (const MenuItem* item = m_application.menus().find(uniqueId))
            action->setChecked(item->checked);
    if (!act)
        return;
    if (uniqueId == ChangeCompanyMenu)
        changeCompany();
    else if (uniqueId == ExitMenu)
        close();
    else if (uniqueId == AboutMenu)
        about();
}

void LLClientWindow::pickLanguage(int lcid) {
    int current = 0;
    try {
        current = m_application.language();
    } catch (const ComError&) {
        return;
    }
    if (lcid != current)
        m_application.changeLanguage(lcid);
    if (m_languageMenu)
        for (QAction* action : m_languageMenu->actions())
            action->setChecked(action->data().toInt() == lcid);
}

void LLClientWindow::changeCompany() {
    QString server, database, user;
    try {
        const std::shared_ptr<LLObjectsCOM::Company> company = m_application.company();
        server = company->Server;
        database = company->CompanyDB;
        user = company->UserName;
    } catch (const ComError&) {
        // No one is logged in: the dialog starts from the local server.
    }
    LLLoginDialog dialog(server, database, user, QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::shared_ptr<LLObjectsCOM::Company> company = dialog.company();
    m_application.changeCompany(company);
    showTitle();
    try {
        m_application.setStatusBarMessage(
            tr("Logged in to %1 as %2").arg(company->CompanyName(), company->UserName), false);
    } catch (const ComError&) {
        // The client is closing.
    }
}

void LLClientWindow::about() {
    QMessageBox::about(this, tr("About Ledgerline"),
                       tr("Ledgerline\n\nThe business-management client that logs you in to a "
                          "company and runs its add-ons."));
}

void LLClientWindow::showStatus() {
    const bool error = m_application.statusBarError() && !m_application.statusBarText().isEmpty();
    m_status->setText(m_application.statusBarText());
    m_status->setProperty("error", error);
    m_status->setAccessibleName(m_application.statusBarText());
    // An error stands out by colour, weight and a sign, not colour alone.
    m_status->setStyleSheet(error ? u"color: #b00020; font-weight: bold;"_s : QString());
    m_statusIcon->setVisible(error);
}

void LLClientWindow::showTitle() {
    try {
        const std::shared_ptr<LLObjectsCOM::Company> company = m_application.company();
        setWindowTitle(tr("%1 (%2) — %3 — Ledgerline")
                           .arg(company->CompanyName(), company->CompanyDB, company->UserName));
    } catch (const ComError&) {
        setWindowTitle(tr("Ledgerline"));
    }
}

int LLClientWindow::askUser(const LLUiCOM::LocalApplication::MessageBoxRequest& request) {
    QMessageBox box(this);
    box.setObjectName(u"addOnMessage"_s);
    box.setWindowTitle(tr("Ledgerline"));
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    QList<QPushButton*> buttons;
    for (const QString& caption : request.captions) {
        // One role for all keeps them in the order the add-on gave.
        QPushButton* button = box.addButton(caption, QMessageBox::ActionRole);
        button->setObjectName(u"button%1"_s.arg(buttons.size() + 1));
        button->setAccessibleName(LLWithoutMnemonic(caption));
        buttons << button;
    }
    if (request.defaultButton >= 1 && request.defaultButton <= buttons.size())
        box.setDefaultButton(buttons[request.defaultButton - 1]);
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return pressed >= 0 ? int(pressed) + 1 : request.defaultButton;
}

void LLClientWindow::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        if (m_host)
            m_host->shutDown();
    }
    event->accept();
}
