#include "GuiTestSupport.h"
#include "config/LogTestSupport.h"
#include "config/MRV_LogFile.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIDataSet.h"
#include "gui/MRV_DetailFormDlg.h"
#include "gui/MRV_FilterTableDlg.h"
#include "gui/MRV_LogFileDlg.h"
#include "gui/MRV_RecordTableModel.h"
#include "gui/MRV_SortTableDlg.h"
#include "gui/MRV_TableSortFilterModel.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_Worksheet.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QTableView>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Picks the entry with text in a dialog's combo box as a user would: opens
// nothing, types nothing, just chooses it.
void choose(QWidget* window, int id, const QString& entry) {
    auto* box = control<QComboBox>(window, id);
    QVERIFY2(box, qPrintable(u"no combo ctl%1"_s.arg(id)));
    const int at = box->findText(entry);
    QVERIFY2(at >= 0, qPrintable(u"ctl%1 offers no '%2'"_s.arg(id).arg(entry)));
    box->setCurrentIndex(at);
}

// A record list: a key column "Code", a text column "Name" (editable), a
// number column "Price" (editable) and a date column "Since" (read-only).
std::unique_ptr<MRV_DIDataSet> makeList(const QList<QStringList>& rows) {
    auto list = std::make_unique<MRV_DIDataSet>();
    list->setMainTable(u"OITB"_s);
    list->setKeys({u"Code"_s}, {u"Number"_s});
    list->setKeyTypes({QMetaType::QString});
    list->setColumns({{u"Code"_s, u"Number"_s, u"Code"_s, MRV_DIDataSet::Text, false},
                      {u"Name"_s, u"GroupName"_s, u"Name"_s, MRV_DIDataSet::Text, true},
                      {u"Price"_s, u"Price"_s, u"Price"_s, MRV_DIDataSet::Number, true},
                      {u"Since"_s, u"Since"_s, u"Since"_s, MRV_DIDataSet::Date, false}});
    for (const QStringList& values : rows)
        list->addRow({{values.value(0)}, values, {}});
    return list;
}

} // namespace

class TablesTest : public QObject {
    Q_OBJECT

    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};

    // One category shown in the grid, with its worksheet and tree.
    struct Grid {
        explicit Grid(const QList<QStringList>& rows) : list(makeList(rows)) {
            auto n = std::make_unique<MRV_WorksheetNode>();
            n->name = u"Groups"_s;
            n->leafId = u"1"_s;
            n->categoryId = u"MRV_TRN_ITEMGROUPS_100"_s;
            n->leaf = true;
            n->allowSelection = true;
            n->dataAreaFormat = MRV_WorksheetNode::RecordGrid;
            node = n.get();
            worksheet.nodes.push_back(std::move(n));
            tree.setWorksheet(&worksheet);
            form.setTree(&tree);
            form.setLister([this](MRV_WorksheetNode&) { return list.get(); });
            form.showNode(node);
        }
        MRV_Worksheet worksheet;
        MRV_WorksheetNode* node = nullptr;
        std::unique_ptr<MRV_DIDataSet> list;
        MRV_WorksheetTreeModel tree;
        MRV_DetailFormDlg form;
        const QAbstractItemModel& shown() const { return *form.shownRecords(); }
    };

    const QList<QStringList> kRows = {{u"C1"_s, u"beta"_s, u"10"_s, u"01/02/2024"_s},
                                      {u"C2"_s, u"Alpha"_s, u"9.5"_s, u"12/31/2023"_s},
                                      {u"C3"_s, u"gamma & <delta>"_s, u"1,000"_s, u"x"_s},
                                      {u"C4"_s, u"alpha"_s, u"abc"_s}};

private slots:
    void sortDialogReturnsTheRowsSet() {
        MRV_SortTableDlg dialog({u"Code"_s, u"Name"_s}, {});
        QCOMPARE(dialog.windowTitle(), text(2085));
        QCOMPARE(control<QAbstractButton>(&dialog, 1)->text().remove(u'&'), text(20003));
        QCOMPARE(control<QComboBox>(&dialog, 1081)->count(), 4); // empty, [SELECTED], 2 columns
        QVERIFY(control<QComboBox>(&dialog, 1100));
        ModalDriver driver;
        driver.then([](QWidget* w) {
            choose(w, 1081, u"Name"_s);
            choose(w, 1091, text(2090));
            choose(w, 1083, text(20006)); // a gap in row 2 is skipped
            choose(w, 1093, text(2089));
            choose(w, 1090, u"Code"_s); // no order: ascending
            click(w, 1);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(driver.done());
        QCOMPARE(dialog.rules(), (QList<MRV_SortRule>{{1, false}, {-1, true}, {0, true}}));
        // Clear empties every row; the dialog opens with the rules given.
        MRV_SortTableDlg again({u"Code"_s, u"Name"_s}, dialog.rules());
        QCOMPARE(again.rules(), dialog.rules());
        click(&again, 3);
        QVERIFY(again.rules().isEmpty());
    }

    void filterDialogOffersTheColumnsRulesAndReturnsThem() {
        const QList<MRV_ColumnType> types = {MRV_ColumnType::Text, MRV_ColumnType::Number};
        MRV_FilterTableDlg dialog({u"Name & Co"_s, u"Price"_s}, types, {{u"b"_s, u"a"_s}, {u"1"_s}},
                                  {});
        QCOMPARE(dialog.windowTitle(), text(2066));
        QCOMPARE(control<QLabel>(&dialog, 1081)->text(), u"Name & Co"_s);
        QVERIFY(!control<QLabel>(&dialog, 1083));
        auto* numberRules = control<QComboBox>(&dialog, 1102);
        QCOMPARE(numberRules->count(), 11);
        QCOMPARE(numberRules->findText(text(2079)), -1); // never "Contains"
        QVERIFY(control<QComboBox>(&dialog, 1101)->findText(text(2079)) > 0);
        QCOMPARE(control<QComboBox>(&dialog, 1201)->count(), 3);
        QVERIFY(control<QComboBox>(&dialog, 1201)->isEditable());
        QVERIFY(!control<QComboBox>(&dialog, 1301)->isEnabled());
        ModalDriver driver;
        driver.then([](QWidget* w) {
            choose(w, 1101, text(2073));
            QVERIFY(control<QComboBox>(w, 1301)->isEnabled());
            choose(w, 1201, u"b"_s);
            control<QComboBox>(w, 1301)->setEditText(u"'; DROP TABLE x; --"_s);
            choose(w, 1102, text(2075));
            QVERIFY(!control<QComboBox>(w, 1302)->isEnabled());
            control<QComboBox>(w, 1202)->setEditText(u"7"_s);
            click(w, 1);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(driver.done());
        QCOMPARE(dialog.rules(), (QList<MRV_FilterRule>{
                                     {0, MRV_FilterRule::InRange, u"b"_s, u"'; DROP TABLE x; --"_s},
                                     {1, MRV_FilterRule::Greater, u"7"_s, {}}}));
        MRV_FilterTableDlg again({u"Name"_s, u"Price"_s}, types, {}, dialog.rules());
        QCOMPARE(again.rules(), dialog.rules());
        click(&again, 3);
        QVERIFY(again.rules().isEmpty());
    }

    void filterDialogHasAtMostTwentyRows() {
        QStringList titles;
        for (int i = 0; i < 25; ++i)
            titles << u"C%1"_s.arg(i);
        MRV_FilterTableDlg dialog(titles, {}, {}, {});
        QVERIFY(control<QComboBox>(&dialog, 1120));
        QVERIFY(!control<QComboBox>(&dialog, 1121));
    }

    void gridSortsAndFiltersByTheRules() {
        Grid grid(kRows);
        QVERIFY(grid.form.showsRecords());
        auto* shown = grid.form.shownRecords();
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C1"_s, u"C2"_s, u"C3"_s, u"C4"_s}));
        // Name without case, then price as numbers (descending).
        shown->setSortRules({{1, true}, {2, false}});
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C2"_s, u"C4"_s, u"C1"_s, u"C3"_s}));
        // A filter keeps the sort.
        shown->setFilterRules({{2, MRV_FilterRule::InRange, u"100"_s, u"9"_s}});
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C2"_s, u"C1"_s}));
        // A pick the filter hides stays picked when a shown record is
        // picked: the worksheet gets both.
        shown->setFilterRules({});
        QVERIFY(grid.form.records()->setData(grid.form.records()->index(2, 0), Qt::Checked,
                                             Qt::CheckStateRole));
        shown->setFilterRules({{0, MRV_FilterRule::Equal, u"C1"_s, {}}});
        QCOMPARE(columnTexts(grid.shown(), 0), QStringList{u"C1"_s});
        QVERIFY(shown->setData(shown->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(grid.node->selection.size(), 2);
        QVERIFY(shown->setData(shown->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(grid.node->selection.size(), 1);
        // Checked records sort after the others.
        shown->setFilterRules({});
        shown->setSortRules({{-1, false}, {0, true}});
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C3"_s, u"C1"_s, u"C2"_s, u"C4"_s}));
        // Shown again, the category keeps its sort; another starts afresh.
        grid.form.showNode(grid.node);
        QCOMPARE(columnTexts(grid.shown(), 0).first(), u"C3"_s);
        grid.form.showNode(nullptr);
        QVERIFY(shown->sortRules().isEmpty());
    }

    void gridSortAndFilterThroughTheDialogs() {
        Grid grid(kRows);
        ModalDriver driver;
        driver.then([](QWidget* w) {
            choose(w, 1081, u"Price"_s);
            choose(w, 1091, text(2090));
            click(w, 1);
        });
        driver.then([](QWidget* w) {
            QVERIFY(control<QComboBox>(w, 1201)->findText(u"C3"_s) > 0);
            choose(w, 1102, text(2079));
            control<QComboBox>(w, 1202)->setEditText(u"ALPHA"_s);
            click(w, 1);
        });
        driver.then([](QWidget* w) { click(w, 2); });
        QVERIFY(grid.form.sortTable());
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C3"_s, u"C1"_s, u"C2"_s, u"C4"_s}));
        QVERIFY(grid.form.filterTable());
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C2"_s, u"C4"_s}));
        QVERIFY(!grid.form.filterTable()); // cancelled: nothing changes
        QCOMPARE(columnTexts(grid.shown(), 0), (QStringList{u"C2"_s, u"C4"_s}));
        QVERIFY(driver.done());
        QVERIFY(driver.unexpected.isEmpty());
    }

    void missingCellsAndTheRecordLimit() {
        Grid grid(kRows);
        const QAbstractItemModel& model = *grid.form.records();
        QCOMPARE(model.index(3, 3).data().toString(), u"#########"_s);
        QVERIFY(!(model.flags(model.index(3, 3)) & Qt::ItemIsEditable));
        QList<QStringList> many;
        for (int i = 0; i <= MRV_RecordTableModel::MaxRows; ++i)
            many << QStringList{u"K%1"_s.arg(i)};
        Grid big(many);
        QCOMPARE(big.form.records()->rowCount(), MRV_RecordTableModel::MaxRows);
    }

    void anEditReachesTheWorksheet() {
        Grid grid(kRows);
        MRV_RecordTableModel& model = *grid.form.records();
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 0), u"X"_s, Qt::EditRole)); // the key
        QVERIFY(!model.setData(model.index(0, 3), u"X"_s, Qt::EditRole)); // read-only
        QVERIFY(grid.node->edits.isEmpty());
        QVERIFY(!grid.worksheet.modified);
        grid.form.shownRecords()->setSortRules({{1, true}});
        // Edited through the view's own editor, as the user does.
        QTableView* view = grid.form.grid();
        grid.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid.form));
        const QModelIndex cell = grid.form.shownRecords()->index(3, 1); // "gamma & <delta>"
        QCOMPARE(cell.data().toString(), u"gamma & <delta>"_s);
        view->edit(cell);
        auto* editor = view->findChild<QLineEdit*>(u"ctl909"_s);
        QVERIFY(editor);
        QCOMPARE(editor->text(), u"gamma & <delta>"_s);
        editor->setText(u"Aardvark 'n' <co>"_s);
        QTest::keyClick(editor, Qt::Key_Return);
        // The view commits an edit queued, as it does for the user.
        QCoreApplication::processEvents();
        QVERIFY(grid.worksheet.modified);
        // Sorted again: the edited record comes first now.
        QCOMPARE(columnTexts(grid.shown(), 1).first(), u"Aardvark 'n' <co>"_s);
        const MRV_ChangedRecord expected{
            u"OITB"_s,
            {{u"Number"_s, u"C3"_s}},
            {{u"GroupName"_s, u"gamma & <delta>"_s, u"Aardvark 'n' <co>"_s}}};
        QCOMPARE(grid.node->edits, QList<MRV_ChangedRecord>{expected});
        // Escape drops an edit.
        view->edit(grid.form.shownRecords()->index(0, 2));
        editor = view->findChild<QLineEdit*>(u"ctl909"_s);
        QVERIFY(editor);
        editor->setText(u"999"_s);
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QCOMPARE(grid.node->edits.size(), 1);
        // Undo takes the edit back, in the node and in the cell; a second
        // undo brings it again.
        QVERIFY(grid.tree.undoAvailable());
        grid.tree.undo();
        QVERIFY(grid.node->edits.isEmpty());
        QVERIFY(columnTexts(grid.shown(), 1).contains(u"gamma & <delta>"_s));
        grid.tree.undo();
        QCOMPARE(grid.node->edits, QList<MRV_ChangedRecord>{expected});
        QCOMPARE(columnTexts(grid.shown(), 1).first(), u"Aardvark 'n' <co>"_s);
    }

    // The viewer on a log of 60,000 records with failures and hostile
    // values: the first 50,000 shown, header clicks, a filter that hides
    // every row and its removal in file order, and printing to a PDF.
    void logViewerShowsSortsFiltersAndPrints() {
        QTemporaryDir dir;
        QStringList lines{u"2026-12-04 09:05:07|Base|Target|2024|2028|1"_s};
        for (int i = 0; i < 60000; ++i)
            lines << u"MRV_TRN_ITEMGROUPS_100|212|%1|code %2|%3|t%2|||%4"_s.arg(
                i % 7 ? u"402"_s : u"403"_s, QString::number(i), i % 3 ? u"desc"_s : u"<&amp;>\\"_s,
                i % 7 ? QString() : u"refused"_s);
        lines << u"<MRV_LOG_END>2026-12-04 09:06:00"_s;
        const QString path = dir.filePath(u"log.txt"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(logtest::utf16le(lines.join(u"\r\n"_s)));
        file.close();

        MRV_ConnectionContext context;
        MRV_LogFileDlg viewer(&context);
        QCOMPARE(viewer.open(path), S_OK);
        QCOMPARE(viewer.table()->model()->rowCount(), MRV_LogFileDlg::MaxRows);
        QCOMPARE(viewer.shownRows().size(), MRV_LogFileDlg::MaxRows);

        const int code = MRV_LogFile::BaseCode;
        viewer.sortByColumn(code);
        QCOMPARE(viewer.indicator(code), MRV_LogFileDlg::Ascending);
        viewer.sortByColumn(code);
        QCOMPARE(viewer.indicator(code), MRV_LogFileDlg::Descending);
        const QAbstractItemModel& shown = *viewer.table()->model();
        QCOMPARE(shown.index(0, code).data().toString(), u"code 9999"_s);
        viewer.sortByColumn(MRV_LogFile::Result);
        QCOMPARE(viewer.indicator(code), MRV_LogFileDlg::None);
        QCOMPARE(viewer.indicator(MRV_LogFile::Result), MRV_LogFileDlg::Ascending);

        viewer.ApplyFilterRules({{code, 1, u"no such code"_s, {}}});
        QCOMPARE(shown.rowCount(), 0);
        QCOMPARE(viewer.indicator(MRV_LogFile::Result), MRV_LogFileDlg::Ascending);
        QCOMPARE(viewer.indicator(code), MRV_LogFileDlg::Filtered);
        viewer.ApplyFilterRules({{MRV_LogFile::Error, 1, u"refused"_s, {}}});
        QCOMPARE(shown.rowCount(), (MRV_LogFileDlg::MaxRows + 6) / 7);
        viewer.UnApplyFilterRules();
        QCOMPARE(shown.rowCount(), MRV_LogFileDlg::MaxRows);
        for (int row : {0, 1, 49999})
            QCOMPARE(shown.index(row, code).data().toString(), u"code %1"_s.arg(row));

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"log.pdf"_s));
        QCOMPARE(viewer.print(printer), S_OK);
        QFile pdf(dir.filePath(u"log.pdf"_s));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        const int pages = int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                              bytes.count("/Type /Page "));
        const int perPage = MRV_LogFileDlg::rowsPerPage(printer);
        QVERIFY(perPage > 0);
        QVERIFY2(pages >= MRV_LogFileDlg::MaxRows / perPage, qPrintable(QString::number(pages)));
    }
};

QTEST_MAIN(TablesTest)
#include "TablesTest.moc"
