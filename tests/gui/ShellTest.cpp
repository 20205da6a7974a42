// The program as the client's add-on: its start against a client in the
// same process and against its own process over the socket, its menu entry,
// the enable rules of its menus, the language change and the client going.

#include "GuiTestSupport.h"
#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_GUIManager.h"
#include "gui/MRV_MainFrame.h"
#include "host/client/LLAddOnHost.h"
#include "host/client/LLAddOnRegistry.h"
#include "host/client/LLClientWindow.h"
#include "host/objects/LLComError.h"
#include "host/ui/LLLocalApplication.h"
#include "shell/MRV_MirrovaApp.h"
#include "shell/MRV_ToolsManager.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QSet>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

// The commands of the main window that are available.
QList<quint32> availableCommands(const MRV_MainFrame& frame) {
    QList<quint32> ids;
    for (const quint32 id :
         {506u, 507u, 508u, 509u, 510u, 511u, 512u, 513u, 514u, 515u, 516u,   517u,  518u,
          519u, 520u, 521u, 522u, 523u, 524u, 527u, 528u, 529u, 530u, 32806u, 32808u})
        if (frame.action(id)->isEnabled())
            ids << id;
    return ids;
}

int endedWith = -1;

} // namespace

// Each test in a world of its own with the company BASE.
class ShellTest : public QObject {
    Q_OBJECT
    std::unique_ptr<GuiWorld> world;

private slots:
    void init() {
        world = std::make_unique<GuiWorld>();
        QVERIFY(world->createCompany(u"BASE"_s));
    }
    void cleanup() { world.reset(); }

    void startUpChecksTheUser_data() {
        QTest::addColumn<bool>("superuser");
        QTest::newRow("superuser") << true;
        QTest::newRow("user") << false;
    }

    // Only a superuser gets the menu entry; anyone else is told why, in the
    // client's box with one OK button.
    void startUpChecksTheUser() {
        QFETCH(bool, superuser);
        QVERIFY(LLObjectsCOM::Admin::addUser(*world->server, u"BASE"_s, u"clerk"_s, u"Clerk"_s,
                                             u"secret"_s, false));
        InProcess shell(superuser ? world->logIn(u"BASE"_s)
                                  : world->logIn(u"BASE"_s, u"clerk"_s, u"secret"_s));
        const int result = shell.client.raiseApplicationLoad();
        QCOMPARE(shell.hasEntry(), superuser);
        if (superuser) {
            QCOMPARE(result, 0);
            const LLUiCOM::MenuItem entry = shell.client.menuItem(InProcess::kEntry);
            QCOMPARE(entry.text, u"Open Mirrova"_s);
            QCOMPARE(entry.fatherId, LLUiCOM::ToolsMenu);
            QVERIFY(shell.client.messageBoxes().isEmpty());
            // The start-up made the program's tables and settings.
            QCOMPARE(world->scalar(*shell.client.company(), u"SELECT COUNT(*) FROM [@MRVSETT]"_s)
                         .toInt(),
                     1);
            QCOMPARE(shell.client.frozen(LLUiCOM::MainMenuForm, 1), 0);
        } else {
            QVERIFY(result < 0);
            QCOMPARE(shell.client.messageBoxes().size(), 1);
            QCOMPARE(shell.client.messageBoxes()[0].text,
                     u"User 'clerk' is not a superuser. Access is denied."_s);
            QCOMPARE(shell.client.messageBoxes()[0].captions, QStringList{u"OK"_s});
        }
    }

    // The entry's command shows the window and the welcome dialog, once; other
    // entries, and the phase after the client acted, do nothing; unloading
    // closes the window.
    void theEntryOpensTheWindowOnce() {
        InProcess shell(world->logIn(u"BASE"_s));
        QCOMPARE(shell.client.raiseApplicationLoad(), 0);

        QVERIFY(shell.client.clickMenu(u"512"_s)); // the client's own File menu
        QVERIFY(!MRV_GUIManager::instance().running());
        QVERIFY(shell.client.loadForm(LLUiCOM::MainMenuForm, 1)); // passed on

        ModalDriver driver;
        driver.then([](QWidget* welcome) {
            QCOMPARE(welcome->windowTitle(), u"Welcome to Mirrova"_s);
            click(welcome, 2);
        });
        shell.client.clickMenu(InProcess::kEntry);
        QTRY_VERIFY(driver.done());
        QVERIFY(MRV_GUIManager::instance().running());
        QVERIFY(shell.frame.isVisible());
        QCOMPARE(shell.frame.windowTitle(), u"Orvant Ledgerline Mirrova"_s);
        QVERIFY(!shell.entryEnabled()); // the window is open already

        ModalDriver again;
        again.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        shell.client.clickMenu(InProcess::kEntry);
        // A second welcome would run (and be closed) within these.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(!again.done());

        // Unloading closes the window and takes the entry away.
        QCOMPARE(shell.client.raiseApplicationUnload(), 0);
        QVERIFY(!shell.frame.isVisible());
        QVERIFY(!MRV_GUIManager::instance().running());
        QVERIFY(!shell.hasEntry());
    }

    // The client's language reaches the entry and the window's menus.
    void languageChangeRenamesTheMenus() {
        InProcess shell(world->logIn(u"BASE"_s));
        QCOMPARE(shell.client.raiseApplicationLoad(), 0);
        shell.client.changeLanguage(1031);
        QCOMPARE(MRV_Interaction::current().language(), 1031);
        QCOMPARE(shell.client.menuItem(InProcess::kEntry).text, u"Mirrova öffnen"_s);
        QStringList popups;
        for (QAction* popup : shell.frame.menuBar()->actions())
            popups << popup->text();
        QCOMPARE(popups, (QStringList{u"&Datei"_s, u"&Bearbeiten"_s, u"&Ansicht"_s, u"Da&ten"_s,
                                      u"&Hilfe"_s}));
        // Each item of a popup has a mnemonic of its own, where one is left.
        QCOMPARE(MRV_plainText(shell.frame.action(32808)->text()), CTSBSTR::load(32808, 1031));
        for (QAction* popup : shell.frame.menuBar()->actions()) {
            QSet<QChar> mnemonics;
            for (QAction* item : popup->menu()->actions()) {
                const qsizetype at = item->text().indexOf(u'&');
                if (at >= 0)
                    QVERIFY2(
                        !std::exchange(mnemonics, mnemonics + QSet{item->text()[at + 1].toLower()})
                             .contains(item->text()[at + 1].toLower()),
                        qPrintable(item->text()));
            }
            QVERIFY(mnemonics.size() >= popup->menu()->actions().size() / 2);
        }
    }

    // With no worksheet only New, Open, Open Log file, Options, Exit, Help and
    // About are available; a popup missing from the list is unavailable.
    void enableRulesFollowTheState() {
        InProcess shell(world->logIn(u"BASE"_s));
        QCOMPARE(shell.client.raiseApplicationLoad(), 0);
        MRV_GUIManager& gui = MRV_GUIManager::instance();
        gui.enableMenuOptions();
        QCOMPARE(availableCommands(shell.frame),
                 (QList<quint32>{506, 507, 508, 515, 516, 523, 524}));
        QVERIFY(shell.entryEnabled());
        const QList<QAction*> popups = shell.frame.menuBar()->actions();
        QCOMPARE(popups.size(), 5);
        QVERIFY(popups[0]->isEnabled() && !popups[2]->isEnabled() && popups[4]->isEnabled());

        // Everything on but the View popup, which the list lacks.
        MRV_EnableList withoutView = gui.enableList();
        withoutView.removeIf([](const auto& entry) { return entry.first == 502; });
        for (auto& entry : withoutView)
            entry.second = true;
        gui.toolsManager()->enableMenu(withoutView);
        QVERIFY(!popups[2]->isEnabled());
        QVERIFY(popups[1]->isEnabled() && popups[3]->isEnabled());
        QVERIFY(shell.frame.action(509)->isEnabled());
    }

    // When the client is gone, the next call to it tells the user and ends
    // the process.
    void aGoneClientEndsTheProgram() {
        InProcess shell(world->logIn(u"BASE"_s));
        QCOMPARE(shell.client.raiseApplicationLoad(), 0);
        const auto saved = MRV_ConnectionContext::endProcess;
        MRV_ConnectionContext::endProcess = [](int status) { endedWith = status; };
        shell.client.close();
        QString shown;
        ModalDriver driver;
        driver.then([&](QWidget* box) {
            shown = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
        QVERIFY_THROWS_EXCEPTION(ComError,
                                 MRV_GUIManager::instance().connectionContext()->getApplication());
        MRV_ConnectionContext::endProcess = saved;
        QCOMPARE(endedWith, 3);
        QVERIFY2(
            shown.startsWith(u"Failed to connect UI API. Mirrova is terminating.\nError Code: "_s),
            qPrintable(shown));
    }

    // Connect's results: negative ones and exactly 1 fail; 0 and other
    // positive ones go on. A process without a connection string ends quietly.
    void connectResults() {
        for (const auto& [result, goesOn] :
             {std::pair{0, true}, {1, false}, {2, true}, {-1, false}, {int(E_FAIL), false}})
            QCOMPARE(MRV_MirrovaApp::connected(result), goesOn);
        MRV_GuiInteraction ui;
        MRV_MirrovaApp app(&ui);
        QVERIFY(!app.InitInstance({u"mirrova"_s}));
        QCOMPARE(app.exitCode(), MRV_MirrovaApp::NotStartedByClient);
        QVERIFY(!app.addOn());
    }

    // The program in its own process under the client's window: it joins by
    // the connection string the client started it with, adds its entry, opens
    // its window from it, follows the client's language, and ends when the
    // client quits.
    void anAddOnProcessJoinsTheClient() {
        LLUiCOM::LocalApplication client(world->logIn(u"BASE"_s), 1033,
                                         LLClientWindow::clientMenus());
        LLAddOnHost host(client);
        QString why;
        QVERIFY2(host.listen(&why), qPrintable(why));
        LLAddOnEntry mirrova;
        mirrova.name = u"Mirrova"_s;
        mirrova.program = QStringLiteral(MIRROVA_BINARY_DIR "/bin/mirrova");
        host.setKnown({mirrova});
        LLClientWindow window(client, &host);
        window.show();
        host.start(mirrova);

        constexpr int kLong = 30000;
        QTRY_VERIFY_WITH_TIMEOUT(window.menuAction(InProcess::kEntry), kLong);
        QCOMPARE(window.menuAction(InProcess::kEntry)->text().remove(u'&'), u"Open Mirrova"_s);
        window.menuAction(InProcess::kEntry)->trigger();
        // The window is open: the entry is no longer offered.
        QTRY_VERIFY_WITH_TIMEOUT(!window.menuAction(InProcess::kEntry)->isEnabled(), kLong);
        for (QAction* language : window.languageMenu()->actions())
            if (language->data().toInt() == 1031)
                language->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window.menuAction(InProcess::kEntry)->text().remove(u'&'),
                                  u"Mirrova öffnen"_s, kLong);
        QSignalSpy ended(&host, &LLAddOnHost::ended);
        window.close();
        QTRY_COMPARE_WITH_TIMEOUT(host.running(), 0, kLong);
        QCOMPARE(ended.size(), 1);
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
