#include "GuiTestSupport.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyFlow.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "di/MRV_Util.h"
#include "gui/MRV_AboutBox.h"
#include "gui/MRV_ChooseCompanyFormDlg.h"
#include "gui/MRV_CopyCompletedFormDlg.h"
#include "gui/MRV_CopyConfigFormDlg.h"
#include "gui/MRV_CopyOptionsFormDlg.h"
#include "gui/MRV_FilterTableDlg.h"
#include "gui/MRV_LogAdditionalInfoDlg.h"
#include "gui/MRV_ServerLoginFormDlg.h"
#include "gui/MRV_SortTableDlg.h"
#include "gui/MRV_TrialFindingsDlg.h"
#include "gui/MRV_WelcomeFormDlg.h"
#include "gui/MRV_WorksheetPropertiesFormDlg.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_Worksheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTableView>

using namespace Qt::StringLiterals;
using CompanyPtr = MRV_ConnectionContext::CompanyPtr;
using Answers = QList<int>;

namespace {

// A configuration file written by release 880 (880202) of a US company.
QString releaseEightyConfiguration() {
    return QStringLiteral(MIRROVA_SOURCE_DIR "/tests/config/data/known-config.xml");
}

// Clicks the button with the id in window where a user would: near its
// left edge, on the indicator of a check box or radio button, whose text
// may end far before the middle of the widget.
void press(QWidget* window, int id) {
    auto* button = control<QAbstractButton>(window, id);
    if (!button)
        qFatal("%s has no button ctl%d", window->metaObject()->className(), id);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

} // namespace

// The dialogs on a server of their own: the logged-in company BASE
// (release 880) with the program's settings, companies of releases 870 and
// 881, one of another localization, and a company on a DB2 server.
class DialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GuiWorld> world;
    std::optional<LLObjectsCOM::Server> db2;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    CompanyPtr loggedIn;
    std::unique_ptr<MRV_ConnectionContext> context;
    CompanyPtr chooserSlot;

    QString folder(const char* name) const { return world->dir.filePath(QLatin1String(name)); }
    CompanyPtr logIn(const QString& db) { return db.isEmpty() ? nullptr : world->logIn(db); }
    QString settingsField(LLObjectsCOM::Company& company, const char* field) {
        const bool plain = MRV_Util::DbServerType(company) == 2;
        return world
            ->scalar(company, u"SELECT %1 FROM %2"_s.arg(QLatin1String(field),
                                                         plain ? u"@MRVSETT"_s : u"[@MRVSETT]"_s))
            .toString();
    }
    void makeCompany(const LLObjectsCOM::Server& server, const char* db, const char* name,
                     int version, const char* localization = "US") {
        QString error;
        QVERIFY2(LLObjectsCOM::Admin::createCompany(server, QLatin1String(db), QLatin1String(name),
                                                    QLatin1String(localization), version, &error),
                 qPrintable(error));
    }
    void withSettings(const CompanyPtr& company, bool forceBackup = true) {
        MRV_ConnectionContext own(company);
        QCOMPARE(MRV_UDTManager(&own).checkCompany(), S_OK);
        MRV_SettingsManager settings(&own);
        settings.setDefaultSettings();
        settings.setForceBackup(forceBackup);
        settings.setConfigurationFolder(folder("configs"));
        settings.setWorksheetFolder(folder("worksheets"));
        settings.setLogFileFolder(folder("logs"));
        QCOMPARE(settings.saveSettingsToDatabase(), S_OK);
    }
    std::unique_ptr<MRV_Dialog> make(const QString& which) {
        const auto shown = [](quint32 id) { return MRV_Interaction::current().text(id); };
        if (which == u"welcome"_s)
            return std::make_unique<MRV_WelcomeFormDlg>();
        if (which == u"properties"_s)
            return std::make_unique<MRV_WorksheetPropertiesFormDlg>(*context, false);
        if (which == u"options"_s)
            return std::make_unique<MRV_CopyOptionsFormDlg>(*context);
        if (which == u"choose"_s)
            return std::make_unique<MRV_ChooseCompanyFormDlg>(*context, chooserSlot);
        if (which == u"login"_s)
            return std::make_unique<MRV_ServerLoginFormDlg>();
        if (which == u"copy"_s)
            return std::make_unique<MRV_CopyConfigFormDlg>(*context, [] { return S_OK; });
        if (which == u"completed"_s)
            return std::make_unique<MRV_CopyCompletedFormDlg>(folder("logs/run.txt"));
        if (which == u"findings"_s)
            return std::make_unique<MRV_TrialFindingsDlg>(
                10216, u"Target Ltd"_s, u"The copy would add 1 records."_s,
                QList<MRV_TrialRun::Finding>{{u"update"_s,
                                              shown(756),
                                              u"OPRJ"_s,
                                              u"P1"_s,
                                              u"PrjName"_s,
                                              u"Old"_s,
                                              u"New"_s,
                                              {}}},
                nullptr, [] { return true; });
        if (which == u"sort"_s)
            return std::make_unique<MRV_SortTableDlg>(QStringList{shown(133), shown(134)},
                                                      QList<MRV_SortRule>{});
        if (which == u"filter"_s)
            return std::make_unique<MRV_FilterTableDlg>(
                QStringList{shown(137), shown(151)},
                QList<MRV_ColumnType>{MRV_ColumnType::Text, MRV_ColumnType::Number},
                QList<QStringList>{{u"C1"_s}, {u"5"_s}}, QList<MRV_FilterRule>{});
        if (which == u"info"_s)
            return std::make_unique<MRV_LogAdditionalInfoDlg>(
                QStringList{u"2026-12-04"_s, u"09:05"_s, u"09:06"_s, u"BASE"_s, u"TARGET"_s,
                            shown(350), u"1"_s, u"1"_s},
                nullptr);
        return std::make_unique<MRV_AboutBox>();
    }
    static QStringList column(QTableView* list, int column) {
        return columnTexts(*list->model(), column);
    }
    // A drop-down list's entries as "text=value".
    static QStringList items(QComboBox* list) {
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i) + u'=' + QString::number(list->itemData(i).toInt());
        return entries;
    }
    static void clickHeader(QTableView* list, int column) {
        QHeaderView* header = list->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }

private slots:
    void initTestCase() {
        world = std::make_unique<GuiWorld>();
        const LLObjectsCOM::Server& server = *world->server;
        makeCompany(server, "BASE", "base: works?", 880);
        makeCompany(server, "OLDER", "Alder Older", 870);
        makeCompany(server, "NEWER", "Newer Trading", 881);
        makeCompany(server, "ABROAD", "Zenith Abroad", 1000000, "CA");
        QString error;
        QVERIFY2(LLObjectsCOM::Admin::addUser(server, u"NEWER"_s, u"clerk"_s, u"Clerk"_s,
                                              u"clerk-pw"_s, false, &error),
                 qPrintable(error));
        QVERIFY2(LLObjectsCOM::Server::init(folder("db2"), 2, &error), qPrintable(error));
        db2 = LLObjectsCOM::Server::open(folder("db2"));
        makeCompany(*db2, "LEDGER", "Ledger Two", 880);
        loggedIn = logIn(u"BASE"_s);
        QVERIFY(loggedIn->Connected());
        withSettings(loggedIn);
    }

    void init() {
        ui.transcript.clear();
        ui.answers.clear();
        ui.paths.clear();
        chooserSlot.reset();
        context = std::make_unique<MRV_ConnectionContext>(loggedIn);
        context->copyMethod = 1;
        context->responseToFailure = 0;
        context->forceBackup = true;
        withSettings(loggedIn);
    }

    // --- Every dialog --------------------------------------------------

    // After a run that added users the dialog names the file with their
    // first passwords; after one that added none it says nothing of it.
    void completedNamesThePasswordFile() {
        const MRV_CopyCompletedFormDlg none(folder("logs/run.txt"));
        QVERIFY(!none.findChild<QLabel*>(u"passwordFile"_s));
        const QString path = folder("logs/run.passwords.txt");
        const MRV_CopyCompletedFormDlg named(folder("logs/run.txt"), nullptr, path);
        const auto* label = named.findChild<QLabel*>(u"passwordFile"_s);
        QVERIFY(label && label->text().contains(path));
    }

    // In each language, every dialog has a title, each button and label
    // shows a text that fits and is named by it for a screen reader, and
    // each field has a name; no text is left in English; each control that
    // takes the focus by a mnemonic has a key of its own, and Tab goes
    // through the controls in the order they are read (right to left in
    // Hebrew).
    void keyboard_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("language");
        for (const int language : {1033, 1031, 1041, 1037})
            for (const char* dialog :
                 {"welcome", "properties", "options", "choose", "login", "copy", "completed",
                  "findings", "sort", "filter", "info", "about"})
                QTest::addRow("%s-%d", dialog, language) << QString::fromLatin1(dialog) << language;
    }
    void keyboard() {
        QFETCH(QString, dialog);
        QFETCH(int, language);
        ui.setLanguage(language);
        const auto english = qScopeGuard([this] { ui.setLanguage(1033); });
        const std::unique_ptr<MRV_Dialog> window = make(dialog);
        window->show();
        const bool rightToLeft = language == 1037;
        QCOMPARE(window->layoutDirection(), rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        QVERIFY(!window->windowTitle().isEmpty());
        QCOMPARE(window->accessibleName(), window->windowTitle());
        const QStringList left = leftInEnglish(window.get(), language);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u" | ") + u" left in English"_s));
        int named = 0;
        for (QWidget* w : window->findChildren<QWidget*>(QRegularExpression(u"^ctl\\d+$"_s))) {
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const auto* label = qobject_cast<QLabel*>(w);
            if (!button && !label) {
                if (w->focusPolicy() & Qt::TabFocus)
                    QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
                continue;
            }
            const QString text = button ? button->text() : label->text();
            QVERIFY2(!text.isEmpty(), qPrintable(w->objectName()));
            QCOMPARE(w->accessibleName(), MRV_plainText(text));
            ++named;
        }
        QVERIFY(named >= 1);
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window.get()))
                continue;
            const QSize hint = w->sizeHint();
            if (auto* label = qobject_cast<QLabel*>(w)) {
                QVERIFY2(label->wordWrap()
                             ? label->height() >= label->heightForWidth(label->width())
                             : label->width() >= hint.width(),
                         qPrintable(label->text() + u" is cut off"_s));
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                QVERIFY2(button->width() >= hint.width(),
                         qPrintable(button->text() + u" is cut off"_s));
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                QVERIFY2(list->width() >= hint.width(),
                         qPrintable(list->currentText() + u" is cut off"_s));
            }
        }
        QHash<QString, QString> taken;
        const auto take = [&](const QString& text) {
            const QString key = QKeySequence::mnemonic(text).toString();
            if (!std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }))
                return;
            QVERIFY2(!key.isEmpty(), qPrintable(text + u" has no mnemonic"_s));
            QVERIFY2(!taken.contains(key),
                     qPrintable(text + u" shares its key with "_s + taken[key]));
            taken.insert(key, text);
        };
        QList<QWidget*> chain;
        for (QWidget* w = window->nextInFocusChain(); w != window.get();
             w = w->nextInFocusChain()) {
            // A box whose field takes its focus is one stop, the field.
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(window.get()) ||
                w->focusProxy())
                continue;
            chain << w;
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                take(button->text());
        }
        for (QLabel* label : window->findChildren<QLabel*>())
            if (label->buddy())
                take(label->text());
        // Where a control is as the user reads: mirrored in Hebrew.
        const auto place = [&](QWidget* w) {
            QRect r(w->mapTo(window.get(), QPoint()), w->size());
            if (rightToLeft)
                r.moveLeft(window->width() - r.right() - 1);
            return r;
        };
        for (qsizetype i = 1; i < chain.size(); ++i) {
            const QRect a = place(chain[i - 1]), b = place(chain[i]);
            const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
            QVERIFY2(sameRow ? b.left() >= a.right() : b.top() >= a.top(),
                     qPrintable(chain[i]->objectName() + u" is tabbed to after "_s +
                                chain[i - 1]->objectName()));
        }
    }

    // --- Server login ------------------------------------------------------

    void trustedConnectionDisablesTheLogin() {
        MRV_ServerLoginFormDlg login;
        login.setTrustedConnection(false);
        login.show();
        auto* id = control<QLineEdit>(&login, 1030);
        auto* password = control<QLineEdit>(&login, 1025);
        QVERIFY(id->isEnabled() && password->isEnabled());
        press(&login, 1034);
        QVERIFY(login.trustedConnection());
        QVERIFY(!id->isEnabled() && !password->isEnabled());
        press(&login, 1034);
        QVERIFY(id->isEnabled() && password->isEnabled());
    }

    // --- Options ---------------------------------------------------------

    void optionsAreStoredInTheContextAndTheTable() {
        MRV_CopyOptionsFormDlg options(*context);
        options.show();
        auto* response = control<QComboBox>(&options, 1042);
        QCOMPARE(items(response),
                 (QStringList{text(2029) + u"=0"_s, text(2028) + u"=1"_s, text(2027) + u"=2"_s}));
        QVERIFY(control<QAbstractButton>(&options, 1037)->isChecked());
        press(&options, 1182);
        response->setCurrentIndex(2);
        press(&options, 1043);
        press(&options, 1076);
        ui.paths = {folder("other configs")};
        press(&options, 1046);
        press(&options, 1);
        QCOMPARE(options.result(), int(QDialog::Accepted));
        QCOMPARE(ui.transcript,
                 (QStringList{u"folder: "_s + text(401) + u" in "_s + folder("configs"),
                              u"status: "_s + text(10018) + u" (5000 ms)"_s}));
        QCOMPARE((QList<int>{context->copyMethod, context->responseToFailure,
                             context->ignoreMissingUdf, context->forceBackup}),
                 (QList<int>{4, 2, 1, 0}));
        QCOMPARE(settingsField(*loggedIn, "U_CpyMethod || ' ' || U_RTCF || ' ' || U_FRFMUDF || ' ' "
                                          "|| U_FBACKUP || ' ' || U_CFFolder || ' ' || U_LFFolder"),
                 u"4 2 Y N "_s + folder("other configs") + u' ' + folder("logs"));
    }

    void optionsWithoutAChangeLeaveTheTableAlone() {
        MRV_CopyOptionsFormDlg options(*context);
        options.show();
        // Changed behind the dialog's back: a save would write it over.
        world->scalar(*loggedIn, u"UPDATE [@MRVSETT] SET U_WSFolder = N'elsewhere'"_s);
        press(&options, 1);
        QVERIFY(!options.isVisible());
        QCOMPARE(options.result(), int(QDialog::Rejected));
        QCOMPARE(settingsField(*loggedIn, "U_WSFolder"), u"elsewhere"_s);
        QVERIFY(ui.transcript.isEmpty());
    }

    // A company whose settings cannot be read keeps them: OK stays, saying
    // so, and the options in force stay too.
    void optionsThatCannotBeStoredKeepTheDialog() {
        context->company = logIn(u"OLDER"_s); // without the program's tables
        MRV_CopyOptionsFormDlg options(*context);
        options.show();
        press(&options, 1039);
        press(&options, 1);
        QVERIFY(options.isVisible());
        QCOMPARE(ui.transcript, QStringList{u"status bold: "_s + text(10004) + u" (5000 ms)"_s});
        QCOMPARE(context->copyMethod, 1);
    }

    void optionsCancelledWithChangesAsk_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<int>("storedMethod");
        QTest::newRow("yes saves") << int(MRV_Interaction::ButtonYes) << false << 2;
        QTest::newRow("no drops") << int(MRV_Interaction::ButtonNo) << false << 1;
        QTest::newRow("cancel stays") << int(MRV_Interaction::ButtonCancel) << true << 1;
    }
    void optionsCancelledWithChangesAsk() {
        QFETCH(int, answer);
        QFETCH(bool, stays);
        QFETCH(int, storedMethod);
        MRV_CopyOptionsFormDlg options(*context);
        options.show();
        press(&options, 1038);
        ui.answers = {answer};
        press(&options, 2);
        QCOMPARE(ui.shown(u"question: "_s), QStringList{text(10002)});
        QCOMPARE(options.isVisible(), stays);
        QCOMPARE(settingsField(*loggedIn, "U_CpyMethod").toInt(), storedMethod);
        QCOMPARE(context->copyMethod, storedMethod);
    }

    // --- Choose company ----------------------------------------------------

    void chooseCompanyLogsInASuperuser_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("refusal"); // empty: logged in
        const auto row = [](const char* name, const char* user, const char* password,
                            const char* db, const QString& refusal) {
            QTest::newRow(name) << QString::fromLatin1(user) << QString::fromLatin1(password)
                                << QString::fromLatin1(db) << refusal;
        };
        CTSBSTR notSuper;
        notSuper.FormatId(10035, u"clerk"_s);
        row("empty login is lobster", "", "", "NEWER", {});
        row("wrong password", "lobster", "wrong", "NEWER",
            u"error: "_s + text(10027) +
                u"\r\n'Wrong user name or password for company 'NEWER''"_s);
        row("not a superuser", "clerk", "clerk-pw", "NEWER",
            u"status bold: "_s + notSuper.str() + u" (5000 ms)"_s);
        row("no row", "lobster", "lobster", "", u"status bold: "_s + text(10028) + u" (5000 ms)"_s);
    }
    void chooseCompanyLogsInASuperuser() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, database);
        QFETCH(QString, refusal);
        CompanyPtr company;
        MRV_ChooseCompanyFormDlg choose(*context, company);
        QVERIFY(company);
        choose.show();
        QVERIFY(choose.listLoaded());
        QCOMPARE(control<QLineEdit>(&choose, 1029)->text(), world->server->folder());
        control<QLineEdit>(&choose, 1023)->setText(user);
        control<QLineEdit>(&choose, 1025)->setText(password);
        selectDatabase(&choose, database);
        press(&choose, 1);
        if (!refusal.isEmpty()) {
            QVERIFY(choose.isVisible());
            QCOMPARE(ui.transcript, QStringList{refusal});
            QVERIFY(!company->Connected());
            return;
        }
        QCOMPARE(choose.result(), int(QDialog::Accepted));
        QVERIFY(company->Connected());
        QCOMPARE(company->CompanyDB, database);
        QCOMPARE(company->UserName, u"lobster"_s);
        QCOMPARE(company->Password, u"lobster"_s);
    }

    void chooseCompanyListsTypesAndSortsByColumn() {
        MRV_ChooseCompanyFormDlg choose(*context, chooserSlot);
        choose.show();
        auto* types = control<QComboBox>(&choose, 1028);
        QCOMPARE(items(types), (QStringList{text(306) + u"=1"_s, u"MSSQL2005=4"_s, u"MSSQL2008=6"_s,
                                            text(307) + u"=2"_s}));
        QCOMPARE(types->currentData().toInt(), 6); // the server's own type

        auto* list = control<QTableView>(&choose, 1032);
        using D = MRV_ChooseCompanyFormDlg;
        QCOMPARE(column(list, D::DatabaseNameColumn),
                 (QStringList{"ABROAD", "BASE", "NEWER", "OLDER"}));
        clickHeader(list, D::VersionColumn);
        QCOMPARE(column(list, D::VersionColumn), (QStringList{"870", "880", "881", "1000000"}));
        clickHeader(list, D::VersionColumn);
        QCOMPARE(column(list, D::VersionColumn), (QStringList{"1000000", "881", "880", "870"}));
        clickHeader(list, D::CompanyNameColumn);
        QCOMPARE(column(list, D::CompanyNameColumn),
                 (QStringList{"Alder Older", "base: works?", "Newer Trading", "Zenith Abroad"}));
    }

    // --- Worksheet properties ----------------------------------------------

    void propertiesCheckBaseAndTarget_data() {
        QTest::addColumn<QString>("base"); // a database, a file, or none
        QTest::addColumn<bool>("fileBase");
        QTest::addColumn<QString>("target");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        const auto row = [](const char* name, const QString& base, bool file, const char* target,
                            Answers answers, quint32 refusal, const char* kind = "error: ") {
            QTest::newRow(name) << base << file << QString::fromLatin1(target) << answers
                                << (refusal ? QLatin1String(kind) + text(refusal) : QString());
        };
        const QString file = releaseEightyConfiguration();
        row("no base company", {}, false, "", {}, 10006);
        row("no base file", {}, true, "", {}, 10007);
        row("target is the base", u"BASE"_s, false, "BASE", {}, 10031);
        row("880 into 870", u"BASE"_s, false, "OLDER", {}, 10045);
        row("880 into 881", u"BASE"_s, false, "NEWER", {}, 0);
        row("file 880 into 870", file, true, "OLDER", {}, 10045);
        row("file 880 into 881", file, true, "NEWER", {}, 0);
        row("other localization declined", u"BASE"_s, false, "ABROAD", {MRV_Interaction::ButtonNo},
            10051, "question: ");
        row("other localization agreed", u"BASE"_s, false, "ABROAD", {MRV_Interaction::ButtonYes},
            0);
    }
    void propertiesCheckBaseAndTarget() {
        QFETCH(QString, base);
        QFETCH(bool, fileBase);
        QFETCH(QString, target);
        QFETCH(Answers, answers);
        QFETCH(QString, refusal);
        if (fileBase)
            context->baseFilePath = base;
        else
            context->baseCompany = base == u"BASE"_s ? loggedIn : nullptr;
        context->targetCompany = logIn(target);
        MRV_WorksheetPropertiesFormDlg properties(*context, false);
        properties.show();
        if (fileBase && base.isEmpty())
            press(&properties, 1012);
        ui.transcript.clear();
        ui.answers = answers;
        press(&properties, 1);
        if (!refusal.isEmpty()) {
            QVERIFY(properties.isVisible());
            QCOMPARE(ui.transcript.value(0), refusal);
            return;
        }
        QCOMPARE(properties.result(), int(QDialog::Accepted));
        QVERIFY(ui.answers.isEmpty());
        QCOMPARE(context->baseFilePath, fileBase ? base : QString());
        QVERIFY(context->baseCompany == (fileBase ? nullptr : loggedIn));
        QCOMPARE(context->targetCompanyName, context->targetCompany->CompanyName());
    }

    void propertiesAskBeforeTheBaseOfAWorksheetChanges() {
        context->baseCompany = loggedIn;
        MRV_WorksheetPropertiesFormDlg properties(*context, true);
        properties.show();
        // The proposed file is named after the base, without what a file
        // name cannot hold, in the configuration folder.
        ui.paths = {folder("configs/out"), releaseEightyConfiguration()};
        press(&properties, 1020);
        QCOMPARE(control<QLineEdit>(&properties, 1018)->text(), folder("configs/out.xml"));
        QCOMPARE(ui.shown(u"save file: "_s),
                 QStringList{text(2033) + u" as "_s + folder("configs/base works_config.xml")});
        press(&properties, 1012);
        QVERIFY(!control(&properties, 1015)->isEnabled());
        press(&properties, 1016);
        QCOMPARE(control<QLineEdit>(&properties, 1014)->text(), releaseEightyConfiguration());
        ui.transcript.clear();
        ui.answers = {MRV_Interaction::ButtonNo};
        press(&properties, 1);
        QVERIFY(properties.isVisible());
        QCOMPARE(ui.shown(u"question: "_s), QStringList{text(10032)});
        QVERIFY(context->baseCompany);
        ui.answers = {MRV_Interaction::ButtonYes};
        press(&properties, 1);
        QCOMPARE(properties.result(), int(QDialog::Accepted));
        QVERIFY(properties.baseChanged());
        QVERIFY(!context->baseCompany);
        QCOMPARE(context->baseFilePath, releaseEightyConfiguration());
        QCOMPARE(context->databaseName, releaseEightyConfiguration());
        QCOMPARE(context->targetFilePath, folder("configs/out.xml"));
    }

    // A configuration file written from a selection that lacks what it
    // depends on is asked about.
    void propertiesAskBeforeAFileWithoutDependencies() {
        context->baseCompany = loggedIn;
        context->targetFilePath = folder("configs/out.xml");
        MRV_WorksheetPropertiesFormDlg properties(*context, true);
        properties.selectionLacksDependencies = [] { return true; };
        properties.show();
        ui.transcript.clear();
        ui.answers = {MRV_Interaction::ButtonNo};
        press(&properties, 1);
        QVERIFY(properties.isVisible());
        QCOMPARE(ui.shown(u"question: "_s), QStringList{text(10053)});
        ui.answers = {MRV_Interaction::ButtonYes};
        press(&properties, 1);
        QCOMPARE(properties.result(), int(QDialog::Accepted));
        QVERIFY(!properties.baseChanged());
    }

    void propertiesStoreTheBackupDefault_data() {
        QTest::addColumn<bool>("onDb2");
        QTest::addColumn<QString>("expected");
        QTest::newRow("MSSQL 2008") << false << "Y";
        QTest::newRow("DB2") << true << "N";
    }
    void propertiesStoreTheBackupDefault() {
        QFETCH(bool, onDb2);
        QFETCH(QString, expected);
        const CompanyPtr company = onDb2 ? GuiWorld::logInTo(db2->folder(), u"LEDGER"_s) : loggedIn;
        QVERIFY(company->Connected());
        withSettings(company, expected != u"Y"_s);
        context->company = company;
        MRV_WorksheetPropertiesFormDlg properties(*context, false);
        QCOMPARE(settingsField(*company, "U_FBACKUP"), expected);
    }

    // --- Copy configuration -------------------------------------------------

    void copyConfigurationChecksTheTarget_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("no target") << "" << u"status bold: "_s + text(10063) + u" (5000 ms)"_s;
        QTest::newRow("the base") << "BASE" << u"error: "_s + text(10031);
        QTest::newRow("880 into 881") << "NEWER"
                                      << "";
    }
    void copyConfigurationChecksTheTarget() {
        QFETCH(QString, target);
        QFETCH(QString, refusal);
        context->baseCompany = loggedIn;
        context->targetCompany = logIn(target);
        context->copyMethod = 3;
        MRV_Worksheet worksheet;
        MRV_ConfigurationManager configuration(*context);
        MRV_CopyFlow flow(*context, worksheet, configuration);
        MRV_CopyConfigFormDlg copy(*context, [&] { return flow.checkTarget(); });
        copy.show();
        QCOMPARE(control<QLabel>(&copy, 1054)->text(), text(352));
        press(&copy, 1);
        if (!refusal.isEmpty()) {
            QVERIFY(copy.isVisible());
            QCOMPARE(ui.transcript, QStringList{refusal});
            return;
        }
        QCOMPARE(copy.result(), int(QDialog::Accepted));
        QVERIFY(ui.transcript.isEmpty());
    }

    // "..." looks for the target on the base's server and shows the company
    // chosen.
    void copyConfigurationChoosesTheTargetBesideTheBase() {
        context->baseCompany = loggedIn;
        MRV_CopyConfigFormDlg copy(*context, [] { return S_OK; });
        copy.show();
        ModalDriver driver;
        QString server;
        driver.then([&](QWidget* choose) {
            // The base's user, whose password is known by its name.
            server = control<QLineEdit>(choose, 1029)->text();
            QVERIFY(selectDatabase(choose, u"NEWER"_s));
            press(choose, 1);
        });
        press(&copy, 1019);
        QCOMPARE(driver.seen, QStringList{text(2042)});
        QCOMPARE(server, world->server->folder());
        QVERIFY(context->targetCompany && context->targetCompany->Connected());
        QCOMPARE(context->targetCompany->CompanyDB, u"NEWER"_s);
        QCOMPARE(context->targetCompanyName, u"Newer Trading"_s);
        QCOMPARE(control<QLineEdit>(&copy, 1053)->text(), u"Newer Trading"_s);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
