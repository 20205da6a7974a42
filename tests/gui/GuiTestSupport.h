#pragma once

#include "gui/MRV_ChooseCompanyFormDlg.h"
#include "gui/MRV_Dialog.h"
#include "gui/MRV_GUIManager.h"
#include "gui/MRV_GuiInteraction.h"
#include "gui/MRV_MainFrame.h"
#include "host/admin/LLAdmin.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLServer.h"
#include "host/ui/LLLocalApplication.h"
#include "shell/MyDispatch.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSIDispatch.h"
#include "tsframework/CTSStringTable.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

// A private world for one test: the local server, the user's folders and a
// server with its companies live in a temporary folder.
class GuiWorld {
public:
    GuiWorld() {
        LLObjectsCOM::Password::setIterationsForTesting(10);
        // The platform's own file dialogs are outside the process's reach.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        for (const char* name : {"LEDGERLINE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("LEDGERLINE_HOME", dir.filePath(QStringLiteral("local")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        QString error;
        const QString folder = dir.filePath(QStringLiteral("server"));
        if (!LLObjectsCOM::Server::init(folder, 6, &error))
            qFatal("cannot make the test server: %s", qPrintable(error));
        server.emplace(*LLObjectsCOM::Server::open(folder));
    }
    ~GuiWorld() {
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }
    GuiWorld(const GuiWorld&) = delete;
    GuiWorld& operator=(const GuiWorld&) = delete;

    bool createCompany(const QString& db, const QString& name = QStringLiteral("Target Ltd"),
                       int version = LLObjectsCOM::Admin::DefaultVersion) {
        QString error;
        const bool made = LLObjectsCOM::Admin::createCompany(*server, db, name,
                                                             QStringLiteral("US"), version, &error);
        if (!made)
            qWarning("cannot make %s: %s", qPrintable(db), qPrintable(error));
        return made;
    }
    bool createDemo(const QString& db, const QString& profile = QStringLiteral("standard")) {
        QString error;
        const bool made = LLObjectsCOM::Demo::create(*server, db, profile, 1, &error);
        if (!made)
            qWarning("cannot make %s: %s", qPrintable(db), qPrintable(error));
        return made;
    }
    // A company of the server, logged in (or, when the login fails, not).
    std::shared_ptr<LLObjectsCOM::Company>
    logIn(const QString& db, const QString& user = QStringLiteral("lobster"),
          const QString& password = QStringLiteral("lobster")) {
        return logInTo(server->folder(), db, user, password);
    }
    // The same on the server in folder.
    static std::shared_ptr<LLObjectsCOM::Company>
    logInTo(const QString& folder, const QString& db,
            const QString& user = QStringLiteral("lobster"),
            const QString& password = QStringLiteral("lobster")) {
        auto company = std::make_shared<LLObjectsCOM::Company>();
        company->Server = folder;
        company->CompanyDB = db;
        company->UserName = user;
        company->Password = password;
        company->UseTrusted = true;
        company->Connect();
        return company;
    }
    QVariant scalar(LLObjectsCOM::Company& company, const QString& sql) {
        std::unique_ptr<LLObjectsCOM::Recordset> rs = company.GetRecordset();
        rs->DoQuery(sql);
        return rs->EoF() ? QVariant() : rs->Field(0);
    }

    QTemporaryDir dir;
    std::optional<LLObjectsCOM::Server> server;

private:
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

// Acts on modal windows (and popup menus) as they come up, one action
// each, in order: a dialog's exec() runs its own loop, and the actions run
// inside it. The
// queue is polled by a timer, never by sleeping.
class ModalDriver {
public:
    using Action = std::function<void(QWidget*)>;

    ModalDriver() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    ModalDriver& then(Action action) {
        m_actions.push_back(std::move(action));
        return *this;
    }
    bool done() const { return m_actions.empty(); }
    // The titles (or, without one, the class names) of the windows acted on,
    // with a message box's text; and those that came when no action was
    // left, which were closed.
    QStringList seen;
    QStringList unexpected;

private:
    void poll() {
        QWidget* modal = QApplication::activePopupWidget();
        if (!modal)
            modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        QString what = modal->windowTitle().isEmpty()
                           ? QString::fromLatin1(modal->metaObject()->className())
                           : modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            what += QStringLiteral(": ") + box->text();
        seen << what;
        if (m_actions.empty()) {
            // A window nobody expected would wait for ever: it is closed,
            // and the test sees it in seen.
            unexpected << what;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            return;
        }
        // The action may open a window of its own and wait in its loop: it
        // runs apart from the poll, which must go on to reach that window.
        QTimer::singleShot(0, modal, [modal, action = m_actions.takeFirst()] { action(modal); });
    }

    QTimer m_timer;
    QList<Action> m_actions;
    QPointer<QWidget> m_last;
};

// The English text of a string id.
inline QString text(quint32 id) {
    return CTSBSTR::load(id, CTSBSTR::English);
}

// The English texts a window in language must not show: each whose text
// in the language is another, unless the language uses it too.
inline QSet<QString> englishOnly(int language) {
    QHash<quint32, QString> english;
    CTSStringTable::readTable(QStringLiteral(":/strings/1033.xml"), english);
    QSet<QString> left, own;
    for (auto it = english.begin(); it != english.end(); ++it) {
        const QString translated = CTSBSTR::load(it.key(), language);
        own.insert(translated);
        if (translated != *it)
            left.insert(*it);
    }
    return left - own;
}

// What a window shows of the texts of language that are left in English:
// its title, labels, buttons, list entries, menu entries, and the column
// titles and first rows of its tables and trees.
inline QStringList leftInEnglish(QWidget* window, int language) {
    QStringList shown{window->windowTitle()};
    for (QAction* action : window->findChildren<QAction*>())
        shown << action->text();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w))
            shown << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            shown << button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(w))
            shown << box->title();
        else if (auto* list = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i)
                shown << list->itemText(i);
        else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel& model = *view->model();
            for (int column = 0; column < model.columnCount(); ++column) {
                shown << model.headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < std::min(model.rowCount(), 20); ++row)
                    shown << model.index(row, column).data().toString();
            }
        }
    }
    const QSet<QString> english = englishOnly(language);
    QStringList left;
    for (const QString& text : shown)
        if (english.contains(MRV_plainText(text)))
            left << text;
    return left;
}

// The texts of a model's column, row by row.
inline QStringList columnTexts(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

// The control with the id in window, by its name "ctl<id>".
template <typename W = QWidget> W* control(QWidget* window, int id) {
    return window->findChild<W*>(QStringLiteral("ctl%1").arg(id));
}

// Selects the row of the database in a choose-company dialog's list, as a
// click would; false when the list shows no such row.
inline bool selectDatabase(QWidget* dialog, const QString& database) {
    auto* list = control<QTableView>(dialog, 1032);
    const int row =
        list ? int(columnTexts(*list->model(), MRV_ChooseCompanyFormDlg::DatabaseNameColumn)
                       .indexOf(database))
             : -1;
    if (row >= 0) {
        MRV_selectRow(list, row);
    }
    return row >= 0;
}

// Chooses the entry with the id in a popup menu with the keyboard, as the
// user would, so that the menu's exec() returns it.
inline void chooseMenuEntry(QWidget* popup, int id) {
    auto* menu = qobject_cast<QMenu*>(popup);
    QAction* entry = menu ? menu->findChild<QAction*>(QStringLiteral("ctl%1").arg(id)) : nullptr;
    if (!entry)
        qFatal("the popup has no entry ctl%d", id);
    menu->setActiveAction(entry);
    QTest::keyClick(menu, Qt::Key_Return);
}

// Clicks the button with the id in window.
inline void click(QWidget* window, int id) {
    auto* button = control<QAbstractButton>(window, id);
    if (!button)
        qFatal("%s has no button ctl%d", window->metaObject()->className(), id);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The program's side as the process sets it up, joined to a client in the
// test's own process.
struct InProcess {
    static inline const QString kEntry = QStringLiteral("MRV_@MRV_MNU_MO_OPENAPPLICATION_100");

    explicit InProcess(std::shared_ptr<LLObjectsCOM::Company> company, int language = 1033)
        : client(std::move(company), language), forward(dispatch) {
        MRV_GUIManager::instance().setMainFrame(&frame);
        MRV_GUIManager::instance().initializeMainWindow();
        client.connect(&forward);
    }
    ~InProcess() {
        client.disconnect(&forward);
        MRV_GUIManager::instance().reset();
    }
    bool hasEntry() const { return client.menus().find(kEntry) != nullptr; }
    bool entryEnabled() { return client.menuItem(kEntry).enabled; }

    MRV_GuiInteraction ui;
    MRV_InteractionScope scope{ui};
    LLUiCOM::LocalApplication client;
    MRV_MainFrame frame;
    MyDispatch dispatch;
    CTSEventForward forward;
};
