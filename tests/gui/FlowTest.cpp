// The consultant's day through the windows: a new worksheet on the base,
// categories and single records ticked, a record's value edited in the
// grid, the worksheet saved, the copy into an empty target, the completion
// and its log, sorted and filtered in the log viewer; the target's records
// are checked afterwards.

#include "GuiTestSupport.h"
#include "config/MRV_LogFile.h"
#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_DetailFormDlg.h"
#include "gui/MRV_LogFileDlg.h"
#include "gui/MRV_TreeFormDlg.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_TableRules.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Picks the company of the database in the choose-company dialog and
// confirms it.
void chooseCompany(QWidget* dialog, const QString& database) {
    QVERIFY2(selectDatabase(dialog, database),
             qPrintable(u"%1 is not among the companies shown"_s.arg(database)));
    click(dialog, 1);
}

// Ticks the tree's node of a category with the keyboard.
void tick(MRV_TreeFormDlg* tree, MRV_WorksheetNode* node) {
    tree->setCurrentNode(node);
    QTest::keyClick(tree->view(), Qt::Key_Space);
}

} // namespace

class FlowTest : public QObject {
    Q_OBJECT
private slots:
    void newSelectSaveCopyAndReadTheLog_data();
    void newSelectSaveCopyAndReadTheLog();
};

// In English and in three languages of other scripts and directions:
// every window of the flow speaks the client's language.
void FlowTest::newSelectSaveCopyAndReadTheLog_data() {
    QTest::addColumn<int>("language");
    for (const int language : {1033, 1031, 1041, 1037})
        QTest::addRow("%d", language) << language;
}

void FlowTest::newSelectSaveCopyAndReadTheLog() {
    QFETCH(int, language);
    const auto in = [language](quint32 id) { return CTSBSTR::load(id, language); };
    // A window of the flow, with nothing in it left in English.
    const auto translated = [language](QWidget* window) {
        const QStringList left = leftInEnglish(window, language);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u" | ") + u" left in English"_s));
        QCOMPARE(window->layoutDirection(), language == 1037 ? Qt::RightToLeft : Qt::LeftToRight);
    };
    GuiWorld world;
    QVERIFY(world.createDemo(u"BASE"_s));
    QVERIFY(world.createCompany(u"TARGET"_s));
    QVERIFY(LLObjectsCOM::Admin::backup(*world.server, u"TARGET"_s, QDateTime()));
    InProcess shell(world.logIn(u"BASE"_s), language);
    QCOMPARE(shell.client.raiseApplicationLoad(), 0);
    MRV_GUIManager& gui = MRV_GUIManager::instance();

    // Tools > Open Mirrova, a new worksheet from BASE into TARGET. Each
    // step has a driver of its own, gone when the step is over.
    {
        ModalDriver start;
        start
            .then([&](QWidget* welcome) {
                translated(welcome);
                click(welcome, 1);
            })
            .then([&](QWidget* properties) {
                translated(properties);
                click(properties, 1015);
            })
            .then([](QWidget* choose) { chooseCompany(choose, u"BASE"_s); })
            .then([](QWidget* properties) { click(properties, 1019); })
            .then([](QWidget* choose) { chooseCompany(choose, u"TARGET"_s); })
            .then([](QWidget* properties) { click(properties, 1); });
        shell.client.clickMenu(InProcess::kEntry);
        QTRY_VERIFY2_WITH_TIMEOUT(start.done() && gui.worksheetOpen(),
                                  qPrintable(start.seen.join(u" | ")), 60000);
        QVERIFY2(start.unexpected.isEmpty(), qPrintable(start.unexpected.join(u" | ")));
    }
    QVERIFY(shell.frame.splitterShown());
    QVERIFY(shell.frame.action(512)->isEnabled());
    translated(&shell.frame);

    // Every manufacturer, and two projects picked in the grid, one of them
    // renamed there.
    MRV_Worksheet& worksheet = gui.selection()->worksheet();
    MRV_WorksheetNode* manufacturers = worksheet.findLeaf(u"MRV_TRN_MANUFACTURERS_100"_s);
    MRV_WorksheetNode* projects = worksheet.findLeaf(u"MRV_TRN_PROJECTS_100"_s);
    QVERIFY(manufacturers && projects);
    MRV_TreeFormDlg* tree = shell.frame.treeForm();
    QCOMPARE(tree->view()->model()->index(0, 0).data().toString(), in(700));
    tick(tree, manufacturers);
    QCOMPARE(manufacturers->selected, int(MRV_WorksheetNode::Selected));
    tree->setCurrentNode(projects);
    MRV_DetailFormDlg* detail = shell.frame.detailForm();
    QVERIFY(detail->showsRecords());
    QVERIFY(shell.frame.action(529)->isEnabled());
    QTableView* grid = detail->grid();
    QVERIFY(grid->model()->rowCount() >= 2);
    const QString picked = grid->model()->index(0, 0).data().toString();
    const QString other = grid->model()->index(1, 0).data().toString();
    for (const int row : {0, 1}) {
        grid->setCurrentIndex(grid->model()->index(row, 0));
        QTest::keyClick(grid, Qt::Key_Space);
    }
    QCOMPARE(projects->selected, int(MRV_WorksheetNode::PartlySelected));
    QCOMPARE(projects->selection.size(), 2);
    QVERIFY(shell.frame.action(520)->isEnabled()); // undo
    const QString renamed = u"Roll-out <A & B> 'west'"_s;
    grid->edit(grid->model()->index(0, 1));
    auto* editor = grid->findChild<QLineEdit*>(u"ctl909"_s);
    QVERIFY(editor);
    editor->setText(renamed);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits an edit queued
    QCOMPARE(projects->edits.size(), 1);

    // File > Save Worksheet As...
    const QString path = world.dir.filePath(u"roll-out_WS.xml"_s);
    {
        ModalDriver save;
        save.then([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(files);
            // Typed as the user would: the dialog's file name field.
            auto* name = files->findChild<QLineEdit*>(u"fileNameEdit"_s);
            QVERIFY(name);
            name->setText(path);
            static_cast<QDialog*>(files)->accept();
        });
        shell.frame.action(510)->trigger();
        QVERIFY2(save.done() && save.unexpected.isEmpty(), qPrintable(save.seen.join(u" | ")));
    }
    QVERIFY2(QFileInfo::exists(path), qPrintable(gui.connectionContext()->worksheetPath));
    QVERIFY(!worksheet.modified);

    // File > Preview Copy to Target Company...: what the copy would do,
    // nothing written, approved from the findings.
    const int untouched =
        world.scalar(*world.logIn(u"TARGET"_s), u"SELECT COUNT(*) FROM OMRC"_s).toInt();
    {
        ModalDriver preview;
        preview.then([&](QWidget* findings) {
            translated(findings);
            auto* table = findings->findChild<QTableView*>(u"ctl10231"_s);
            QVERIFY(table && table->model()->rowCount() > 0);
            QVERIFY(columnTexts(*table->model(), 0).contains(in(10237)));
            click(findings, 10218);
        });
        QVERIFY(shell.frame.action(531)->isEnabled());
        shell.frame.action(531)->trigger();
        QVERIFY2(preview.done() && preview.unexpected.isEmpty(),
                 qPrintable(preview.seen.join(u" | ")));
    }
    QVERIFY(QFileInfo::exists(path + u".approval"_s));
    QCOMPARE(world.scalar(*world.logIn(u"TARGET"_s), u"SELECT COUNT(*) FROM OMRC"_s).toInt(),
             untouched);

    // File > Copy Configuration to Target Company..., verified from the
    // completion, then the log.
    const int before =
        world.scalar(*world.logIn(u"TARGET"_s), u"SELECT COUNT(*) FROM OMRC"_s).toInt();
    {
        ModalDriver copy;
        copy.then([&](QWidget* dialog) {
                translated(dialog);
                QCOMPARE(control<QLabel>(dialog, 1054)->text(), in(350));
                click(dialog, 1);
            })
            .then([&](QWidget* completed) {
                translated(completed);
                QCOMPARE(control<QLabel>(completed, 1051)->text(), in(10034));
                // The verification's window comes and goes in the click;
                // the completion then comes back.
                click(completed, 10219);
            })
            .then([&](QWidget* findings) {
                QCOMPARE(control<QLabel>(findings, 10222)->text(),
                         CTSBSTR(language).FormatId(10234, 0, 0, 0).str());
                click(findings, 1);
            })
            .then([&](QWidget* completed) {
                QCOMPARE(control<QLabel>(completed, 1051)->text(), in(10034));
                click(completed, 1050);
                click(completed, 1);
            });
        shell.frame.action(512)->trigger();
        QVERIFY2(copy.done() && copy.unexpected.isEmpty(), qPrintable(copy.seen.join(u" | ")));
    }

    const auto target = world.logIn(u"TARGET"_s);
    const auto base = world.logIn(u"BASE"_s);
    QCOMPARE(world.scalar(*target, u"SELECT COUNT(*) FROM OMRC"_s),
             world.scalar(*base, u"SELECT COUNT(*) FROM OMRC"_s));
    QCOMPARE(world.scalar(*target, u"SELECT COUNT(*) FROM OPRJ"_s).toInt(), 2);
    QCOMPARE(world.scalar(*target, u"SELECT PrjName FROM OPRJ WHERE PrjCode = N'%1'"_s.arg(picked))
                 .toString(),
             renamed);
    MRV_LogFileDlg* viewer = gui.logViewer();
    QVERIFY(viewer);
    translated(viewer);
    // One line per record written: the manufacturers the target lacked
    // (every company has the one for none) and the projects.
    const int logged = viewer->table()->model()->rowCount();
    QCOMPARE(logged, world.scalar(*base, u"SELECT COUNT(*) FROM OMRC"_s).toInt() - before + 2);

    // The viewer sorted by base code with a click on its header, then
    // filtered to the edited project through its context menu.
    const auto column = [viewer](int c) { return columnTexts(*viewer->table()->model(), c); };
    QTest::mouseClick(
        viewer->table()->horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(viewer->table()->horizontalHeader()->sectionViewportPosition(MRV_LogFile::BaseCode) +
                   4,
               4));
    const QStringList codes = column(MRV_LogFile::BaseCode);
    QCOMPARE(codes.size(), logged);
    for (qsizetype i = 1; i < codes.size(); ++i)
        QVERIFY2(MRV_TableRules::compare(codes[i - 1], codes[i], MRV_ColumnType::Text, QLocale()) <=
                     0,
                 qPrintable(codes[i - 1] + u" before "_s + codes[i]));
    const auto filterBy = [viewer, in](const QString& code) {
        ModalDriver filter;
        filter.then([](QWidget* menu) { chooseMenuEntry(menu, 32803); })
            .then([code, in](QWidget* dialog) {
                if (code.isEmpty()) {
                    click(dialog, 3); // Clear
                } else {
                    auto* rule = control<QComboBox>(dialog, 1101 + MRV_LogFile::BaseCode);
                    rule->setCurrentIndex(rule->findText(in(2071)));
                    control<QComboBox>(dialog, 1201 + MRV_LogFile::BaseCode)->setEditText(code);
                }
                click(dialog, 1);
            });
        emit viewer->table()->customContextMenuRequested(QPoint(4, 4));
        QVERIFY2(filter.done() && filter.unexpected.isEmpty(),
                 qPrintable(filter.seen.join(u" | ")));
    };
    filterBy(picked);
    QCOMPARE(column(MRV_LogFile::BaseCode), QStringList{picked});
    QCOMPARE(column(MRV_LogFile::Result), QStringList{in(402)});
    QCOMPARE(column(MRV_LogFile::TargetDesc), QStringList{renamed});
    filterBy(QString());
    QCOMPARE(viewer->table()->model()->rowCount(), logged);
    QVERIFY(column(MRV_LogFile::BaseCode).contains(other));

    // A change not saved is asked about on Exit: Cancel keeps the
    // worksheet open, No closes it and hides the window.
    worksheet.modified = false;
    tick(tree, worksheet.findLeaf(u"MRV_TRN_SHIPPINGTYPES_100"_s));
    QVERIFY(worksheet.modified);
    for (const int answer : {int(QMessageBox::Cancel), int(QMessageBox::No)}) {
        ModalDriver exit;
        exit.then([&, answer](QWidget* box) {
            auto* question = qobject_cast<QMessageBox*>(box);
            QVERIFY(question);
            QCOMPARE(question->text(), in(10005));
            translated(question);
            question->button(QMessageBox::StandardButton(answer))->click();
        });
        shell.frame.action(516)->trigger();
        QVERIFY2(exit.done() && exit.unexpected.isEmpty(), qPrintable(exit.seen.join(u" | ")));
        QCOMPARE(gui.worksheetOpen(), answer == QMessageBox::Cancel);
    }
    QVERIFY(!shell.frame.isVisible());
}

QTEST_MAIN(FlowTest)
#include "FlowTest.moc"
