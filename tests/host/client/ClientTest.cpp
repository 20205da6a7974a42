// The host client against a real server and the probe add-on in its own
// process: log-in, the add-on's menus in the menu bar, its message box,
// the language, quitting, and add-ons that do not get going.

#include "host/admin/LLAdmin.h"
#include "host/client/LLAddOnHost.h"
#include "host/client/LLAddOnRegistry.h"
#include "host/client/LLClientOptions.h"
#include "host/client/LLClientWindow.h"
#include "host/client/LLLoginDialog.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLServer.h"
#include "host/ui/LLLocalApplication.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int Long = 30000; // a failure, not a wait the tests rely on

QString probe() {
    return QStringLiteral(MIRROVA_BINARY_DIR "/tests/test_ui_probe");
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QAction* languageAction(LLClientWindow& window, int lcid) {
    for (QAction* action : window.languageMenu()->actions())
        if (action->data().toInt() == lcid)
            return action;
    return nullptr;
}

} // namespace

class ClientTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void registryEntries_data();
    void registryEntries();
    void logIn();
    void addOnSession();
    void addOnThatDoesNotRun_data();
    void addOnThatDoesNotRun();

private:
    std::shared_ptr<LLObjectsCOM::Company> logInDirectly();

    QTemporaryDir m_dir;
    QString m_server;
};

void ClientTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    // A private world: the local server, the server registry and every
    // registry folder of add-ons.
    for (const auto& [variable, folder] : {std::pair{"LEDGERLINE_HOME", "local"},
                                           {"XDG_CONFIG_HOME", "config"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"XDG_DATA_DIRS", "system"}})
        qputenv(variable, m_dir.filePath(QLatin1String(folder)).toUtf8());
    qunsetenv("LEDGERLINE_PASSWORD");
    LLObjectsCOM::Password::setIterationsForTesting(10);
    m_server = m_dir.filePath(u"server"_s);
    QString error;
    QVERIFY2(LLObjectsCOM::Server::init(m_server, 6, &error), qPrintable(error));
    QVERIFY2(LLObjectsCOM::Admin::createCompany(*LLObjectsCOM::Server::open(m_server), u"DEMO"_s,
                                                u"Brightwater Supplies"_s, u"US"_s,
                                                LLObjectsCOM::Admin::DefaultVersion, &error),
             qPrintable(error));
}

std::shared_ptr<LLObjectsCOM::Company> ClientTest::logInDirectly() {
    auto company = std::make_shared<LLObjectsCOM::Company>();
    company->Server = m_server;
    company->CompanyDB = u"DEMO"_s;
    company->UserName = u"lobster"_s;
    company->Password = u"lobster"_s;
    company->UseTrusted = true;
    if (company->Connect() != 0)
        qWarning("%s", qUtf8Printable(company->GetLastErrorDescription()));
    return company;
}

// What a command line asks for, or why it is wrong; the password comes
// from the file's first line.
void ClientTest::commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("result"); // the options as text, or the error
    const QString file = m_dir.filePath(u"password"_s);
    write(file, "s3cr\xc3\xa9t\r\nsecond line\n");
    QTest::newRow("all")
        << QStringList{u"--server"_s,   u"(local)"_s,         u"--db=DEMO"_s, u"--user"_s,
                       u"lobster"_s,    u"--password-file"_s, file,           u"--language"_s,
                       u"9226"_s,       u"--addon"_s,         u"a"_s,         u"--addon=b"_s,
                       u"--no-addons"_s}
        << u"(local) DEMO lobster 9226 a,b noaddons s3cr\u00e9t"_s;
    QTest::newRow("none") << QStringList{} << u"   0  addons "_s;
    QTest::newRow("unknown") << QStringList{u"--colour"_s} << u"unknown option '--colour'"_s;
    QTest::newRow("operand") << QStringList{u"DEMO"_s} << u"unknown option 'DEMO'"_s;
    QTest::newRow("no value") << QStringList{u"--db"_s} << u"the option '--db' needs a value"_s;
    QTest::newRow("empty") << QStringList{u"--user="_s} << u"the option '--user' needs a value"_s;
    QTest::newRow("language") << QStringList{u"--language"_s, u"1044"_s}
                              << u"'1044' is not a language of the client"_s;
    QTest::newRow("no file") << QStringList{u"--password-file"_s, file + u".none"_s}
                             << u"the password file %1.none cannot be read"_s.arg(file);
}

void ClientTest::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(QString, result);
    QString error;
    const std::optional<LLClientOptions> options = LLClientOptions::parse(args, &error);
    QString password;
    if (options && !options->readPassword(password, &error))
        QVERIFY2(error.startsWith(result), qPrintable(error));
    else if (options)
        QCOMPARE(u"%1 %2 %3 %4 %5 %6 %7"_s.arg(options->server, options->database, options->user)
                     .arg(options->language)
                     .arg(options->addOns.join(u','),
                          options->noAddOns ? u"noaddons"_s : u"addons"_s, password),
                 result);
    else
        QCOMPARE(error, result);
}

// A registry folder's files: what each entry becomes, and every problem
// reported with file, line and reason. "%PROBE%" stands for a program that
// runs, "%DIR%" for the folder of the file.
void ClientTest::registryEntries_data() {
    QTest::addColumn<QString>("kind"); // file, folder or link
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("entries");  // name|program|autostart
    QTest::addColumn<QStringList>("problems"); // line|part of the reason

    QTest::newRow("good") << u"file"_s
                          << QByteArray("# the add-ons of this machine\n"
                                        "[AddOn]\r\n"
                                        "Name=Probe\n"
                                        "Exec=%PROBE%\n"
                                        "\n"
                                        "; later ones\n"
                                        "[addon]\n"
                                        " name = Second Tools \n"
                                        "Exec=bin/../bin/second\n"
                                        "AutoStart=no\n")
                          << QStringList{u"Probe|%PROBE%|1"_s, u"Second Tools|%DIR%/bin/second|0"_s}
                          << QStringList{u"7|the program %DIR%/bin/second of the add-on "
                                         u"'Second Tools' does not exist"_s};
    QTest::newRow("malformed") << u"file"_s
                               << QByteArray(
                                      "Name=Loose\n"                                     // 1
                                      "[AddOn]\nName=A\nExec=%PROBE%\nColour=red\n"      // 2-5
                                      "[AddOn]\nExec=%PROBE%\n"                          // 6-7
                                      "[AddOn]\nName=B\nExec=%PROBE%\nAutoStart=maybe\n" // 8-11
                                      "[AddOn]\nName=C\nName=D\n"                        // 12-14
                                      "[Other]\nName=E\nExec=%PROBE%\n"                  // 15-17
                                      "[AddOn]\nName=F\njust words\nExec=%PROBE%\n"      // 18-21
                                      "[AddOn]\nName=G\nExec=%PROBE%\n"                  // 22-24
                                      "[AddOn]\nName=G\nExec=%PROBE%\n"                  // 25-27
                                      "[AddOn\nName=H\nExec=%PROBE%\n"                   // 28-30
                                      "[AddOn]\nName=I\n")                               // 31-32
                               << QStringList{u"G|%PROBE%|1"_s}
                               << QStringList{
                                      u"1|the key 'Name' stands outside an [AddOn] section"_s,
                                      u"5|unknown key 'Colour'"_s,
                                      u"6|the entry has no Name"_s,
                                      u"8|AutoStart 'maybe' is not true or false"_s,
                                      u"14|the key Name is given twice"_s,
                                      u"15|unknown section [Other]"_s,
                                      u"20|the line 'just words' is neither"_s,
                                      u"25|the name 'G' is registered above in the same file"_s,
                                      u"28|the section header '[AddOn' has no ']'"_s,
                                      u"31|the entry 'I' has no Exec"_s};
    QTest::newRow("not UTF-8") << u"file"_s << QByteArray("[AddOn]\nName=\xff\xfe\nExec=x\n")
                               << QStringList{} << QStringList{u"|is not UTF-8 text"_s};
    QTest::newRow("a folder") << u"folder"_s << QByteArray() << QStringList{}
                              << QStringList{u"|is not a regular file"_s};
    QTest::newRow("a broken link") << u"link"_s << QByteArray() << QStringList{}
                                   << QStringList{u"|does not exist or is a broken link"_s};
}

void ClientTest::registryEntries() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, problems);
    const QString folder = m_dir.filePath(u"registry/"_s + QTest::currentDataTag());
    const QString file = folder + u"/addons.ini"_s;
    QVERIFY(QDir().mkpath(folder));
    if (kind == u"file")
        write(file, content.replace("%PROBE%", probe().toUtf8()));
    else if (kind == u"folder")
        QVERIFY(QDir().mkpath(file));
    else
        QVERIFY(QFile::link(folder + u"/nowhere"_s, file));
    const auto fill = [&](QString text) {
        return text.replace(u"%PROBE%"_s, probe()).replace(u"%DIR%"_s, folder);
    };

    LLAddOnRegistry registry;
    registry.readFolder(folder);
    QStringList found;
    for (const LLAddOnEntry& entry : registry.entries())
        found << u"%1|%2|%3"_s.arg(entry.name, entry.program).arg(entry.autoStart);
    QStringList expected;
    for (const QString& entry : entries)
        expected << fill(entry);
    QCOMPARE(found, expected);
    QCOMPARE(registry.problems().size(), problems.size());
    for (qsizetype i = 0; i < problems.size(); ++i) {
        const QString line = problems[i].section(u'|', 0, 0);
        const QString where = line.isEmpty() ? file : file + u':' + line;
        const QString problem = registry.problems()[i];
        QVERIFY2(problem.startsWith(where + u": "_s) &&
                     problem.contains(fill(problems[i].section(u'|', 1))),
                 qPrintable(problem));
    }
}

// A wrong password is refused with the host's reason and the dialog stays;
// the right one logs in to the company chosen from the server's list.
void ClientTest::logIn() {
    LLLoginDialog dialog(m_server, u"demo"_s, u"lobster"_s, u"wrong"_s);
    dialog.show();
    const auto* companies = dialog.findChild<QTreeWidget*>(u"companies"_s);
    QVERIFY(companies && companies->currentItem());
    QCOMPARE(companies->currentItem()->text(0), u"Brightwater Supplies"_s);
    QCOMPARE(companies->currentItem()->text(1), u"DEMO"_s);
    auto* password = dialog.findChild<QLineEdit*>(u"password"_s);
    QCOMPARE(password->accessibleName(), u"Password:"_s);
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);

    ok->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.company());
    const auto* error = dialog.findChild<QLabel*>(u"loginError"_s);
    QVERIFY(error->isVisible());
    QCOMPARE(error->text(), u"Wrong user name or password for company 'DEMO'"_s);

    password->setText(u"lobster"_s);
    ok->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.company() && dialog.company()->Connected());
    QCOMPARE(dialog.company()->CompanyName(), u"Brightwater Supplies"_s);
}

// The probe registered in the user's data folder (over the system's entry
// of the same name) starts, joins, hears the load, puts its entry under
// Tools and asks a question; the menu bar follows the menus, held while the
// main menu form is frozen; picking the entry and a language reach the
// probe; quitting unloads it and it ends.
void ClientTest::addOnSession() {
    write(m_dir.filePath(u"system/ledgerline/addons/probe.ini"_s),
          "[AddOn]\nName=Probe\nExec=/nonexistent/probe\nAutoStart=false\n");
    write(m_dir.filePath(u"data/ledgerline/addons/probe.ini"_s),
          "[AddOn]\nName=Probe\nExec=" + probe().toUtf8() + "\n");
    write(m_dir.filePath(u"config/ledgerline/addons.ini"_s),
          "[AddOn]\nName=Idle\nExec=" + probe().toUtf8() + "\nAutoStart=0\n");
    LLAddOnRegistry registry;
    registry.loadStandard();
    QCOMPARE(registry.entries().size(), 2);
    QCOMPARE(registry.entries()[0].program, probe());
    QVERIFY(registry.entries()[0].autoStart);
    QVERIFY(!registry.entries()[1].autoStart);

    LLUiCOM::LocalApplication application(logInDirectly(), 1033, LLClientWindow::clientMenus());
    LLAddOnHost host(application);
    QString why;
    QVERIFY2(host.listen(&why), qPrintable(why));
    host.setKnown(registry.entries());
    LLClientWindow window(application, &host);
    window.show();
    QVERIFY(window.windowTitle().contains(u"Brightwater Supplies"_s));
    QVERIFY(window.windowTitle().contains(u"lobster"_s));
    QStringList lines;
    connect(&host, &LLAddOnHost::output, this,
            [&](const QString& name, const QString& line) { lines << name + u": "_s + line; });
    QSignalSpy ended(&host, &LLAddOnHost::ended);

    // The probe's question is answered as a user would: by its first button.
    QStringList captions;
    QString defaultCaption;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        auto* box = window.findChild<QMessageBox*>(u"addOnMessage"_s);
        if (!box || !box->isVisible())
            return;
        QList<QAbstractButton*> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(), [&](QAbstractButton* a, QAbstractButton* b) {
            return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
        });
        for (QAbstractButton* button : buttons)
            captions << button->text();
        defaultCaption = box->defaultButton() ? box->defaultButton()->text() : QString();
        box->findChild<QPushButton*>(u"button1"_s)->click();
    });
    answer.start(20);

    host.startAutomatic();
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(u"Probe: pressed 1"_s), Long);
    answer.stop();
    QCOMPARE(captions, (QStringList{u"Yes"_s, u"No"_s}));
    QCOMPARE(defaultCaption, u"No"_s);
    QVERIFY(host.isRunning(u"Probe"_s));
    QVERIFY(!host.isRunning(u"Idle"_s));
    const QList<QAction*> addOns = window.addOnsMenu()->actions();
    QCOMPARE(addOns.size(), 2);
    QVERIFY(addOns[0]->isChecked() && !addOns[0]->isEnabled());
    QVERIFY(!addOns[1]->isChecked() && addOns[1]->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(window.menuAction(u"P_@OPEN"_s), Long);
    QAction* open = window.menuAction(u"P_@OPEN"_s);
    QCOMPARE(open->text(), u"Open probe"_s);
    QVERIFY(window.menuAction(LLUiCOM::ToolsMenu)->menu()->actions().contains(open));
    open->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(u"Probe: menu event P_@OPEN before"_s), Long);
    QVERIFY(!lines.contains(u"Probe: menu event P_@OPEN after"_s));

    // Changes made while the main menu form is frozen show once it thaws,
    // in one build.
    const int builds = window.menuBuilds();
    application.freezeForm(LLUiCOM::MainMenuForm, 1, true);
    application.loadBatchActions(
        u"<Application><Menus><action type=\"update\"><Menu UniqueID=\"P_@OPEN\" "
        u"String=\"Open the probe\" Enabled=\"0\"/></action><action type=\"add\"><Menu "
        u"UniqueID=\"T_@HELD\" String=\"Held\" FatherUID=\"4864\"/></action></Menus>"
        u"</Application>"_s);
    QCoreApplication::processEvents();
    QVERIFY(!window.menuAction(u"T_@HELD"_s));
    application.freezeForm(LLUiCOM::MainMenuForm, 1, false);
    QTRY_VERIFY_WITH_TIMEOUT(window.menuAction(u"T_@HELD"_s), Long);
    QCOMPARE(window.menuBuilds(), builds + 1);
    QCOMPARE(window.menuAction(u"P_@OPEN"_s)->text(), u"Open the probe"_s);
    QVERIFY(!window.menuAction(u"P_@OPEN"_s)->isEnabled());

    application.setStatusBarMessage(u"The copy failed"_s, true);
    QCOMPARE(window.statusMessage()->text(), u"The copy failed"_s);
    QVERIFY(window.statusMessage()->property("error").toBool());

    QAction* german = languageAction(window, 1031);
    QVERIFY(german);
    QCOMPARE(german->text(), u"Deutsch"_s);
    german->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(u"Probe: language 1031"_s), Long);
    QVERIFY(german->isChecked());
    QVERIFY(!languageAction(window, 1033)->isChecked());

    window.close();
    QCOMPARE(host.running(), 0);
    QVERIFY(lines.contains(u"Probe: unload"_s));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended[0], (QVariantList{u"Probe"_s, u"ended"_s}));
}

// An add-on whose program does not start, or that ends on its own, is
// said in the status bar as an error.
void ClientTest::addOnThatDoesNotRun_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("said");
    QTest::newRow("no program") << m_dir.filePath(u"nothing/here"_s)
                                << u"The add-on 'Broken' could not be started"_s;
    QTest::newRow("ends at once") << QStandardPaths::findExecutable(u"false"_s)
                                  << u"The add-on 'Broken' ended with status 1"_s;
}

void ClientTest::addOnThatDoesNotRun() {
    QFETCH(QString, program);
    QFETCH(QString, said);
    LLUiCOM::LocalApplication application(logInDirectly(), 1033, LLClientWindow::clientMenus());
    LLAddOnHost host(application);
    QVERIFY(host.listen());
    LLClientWindow window(application, &host);
    QSignalSpy ended(&host, &LLAddOnHost::ended);
    host.start({u"Broken"_s, program, true, u"test"_s});
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, Long);
    QCOMPARE(host.running(), 0);
    QVERIFY2(window.statusMessage()->text().startsWith(said),
             qPrintable(window.statusMessage()->text()));
    QVERIFY(window.statusMessage()->property("error").toBool());
}

QTEST_MAIN(ClientTest)
#include "ClientTest.moc"
