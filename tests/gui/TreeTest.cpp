// The category tree on the standard template: how a check travels down and
// up every level, record picks feeding back, one step of undo, select all,
// the selection view, the dependency display and the locks.

#include "GuiTestSupport.h"
#include "catalogue/MRV_CategoryKinds.h"
#include "cli/MRV_Cli.h"
#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_TreeFormDlg.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStringDecoder>
#include <QTextStream>
#include <QTreeView>

using namespace Qt::StringLiterals;
using Node = MRV_WorksheetNode;

namespace {

// What a folder must show for its children, worked out apart from the
// model: full when all are, empty when none is, partly otherwise.
int expectedFolderState(const MRV_Worksheet& worksheet, const QString& id) {
    int full = 0, empty = 0, all = 0;
    for (const auto& n : worksheet.nodes)
        if (Node::parentId(n->leafId) == id) {
            ++all;
            full += n->selected == Node::Selected;
            empty += n->selected == Node::NotSelected;
        }
    return full == all ? Node::Selected : empty == all ? Node::NotSelected : Node::PartlySelected;
}

// Every folder agrees with its children; the first one that does not.
QString inconsistentFolder(const MRV_Worksheet& worksheet) {
    for (const auto& n : worksheet.nodes)
        if (!n->leaf && n->selected != expectedFolderState(worksheet, n->leafId))
            return n->leafId;
    return {};
}

QList<MRV_SelectionObject> records(const QStringList& keys) {
    QList<MRV_SelectionObject> list;
    for (const QString& key : keys)
        list.append({{{u"Code"_s, key, u"string"_s}}, {}, {}});
    return list;
}

QMap<QString, int> states(const MRV_Worksheet& worksheet) {
    QMap<QString, int> map;
    for (const auto& n : worksheet.nodes)
        map.insert(n->leafId, n->selected);
    return map;
}

} // namespace

class TreeTest : public QObject {
    Q_OBJECT

    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    MRV_ConnectionContext context;
    std::unique_ptr<MRV_Worksheet> worksheet;
    std::unique_ptr<MRV_WorksheetTreeModel> model;

    Node* at(const QString& id) const { return worksheet->findNode(id); }
    Node* deepestGridLeaf() const {
        Node* found = nullptr;
        for (const auto& n : worksheet->nodes)
            if (n->leaf && n->allowSelection && n->dataAreaFormat == Node::RecordGrid &&
                (!found || n->getLevel() > found->getLevel()))
                found = n.get();
        return found;
    }

private slots:
    void init() {
        MRV_WorksheetTemplateManager* templates = MRV_WorksheetTemplateManager::instance(&context);
        QVERIFY(templates->isInitialized());
        worksheet = std::make_unique<MRV_Worksheet>();
        QCOMPARE(templates->getWorksheetTemplate(*worksheet), S_OK);
        model = std::make_unique<MRV_WorksheetTreeModel>();
        model->setWorksheet(worksheet.get());
        ui.transcript.clear();
    }
    void cleanup() {
        model.reset();
        worksheet.reset();
    }

    // Every node of the standard tree, checked and checked again: the
    // subtree follows, every folder agrees with its children, and the
    // second click empties what the first filled.
    void checkTravelsThroughEveryLevel_data() {
        QTest::addColumn<QString>("leafId");
        MRV_Worksheet shape;
        QCOMPARE(MRV_WorksheetTemplateManager::instance(&context)->getWorksheetTemplate(shape),
                 S_OK);
        for (const auto& n : shape.nodes)
            if (!n->leaf || n->allowSelection)
                QTest::newRow(qPrintable(n->leafId)) << n->leafId;
    }
    void checkTravelsThroughEveryLevel() {
        QFETCH(QString, leafId);
        Node* node = at(leafId);
        QVERIFY(model->checkItem(node));
        const QString below = leafId + u'.';
        for (const auto& n : worksheet->nodes)
            if (n->leafId.startsWith(below) && n->leaf && n->allowSelection)
                QCOMPARE(n->selected, int(Node::Selected));
        QCOMPARE(inconsistentFolder(*worksheet), QString());
        for (QString id = Node::parentId(leafId); !id.isEmpty(); id = Node::parentId(id))
            QVERIFY(at(id)->selected != Node::NotSelected);
        QVERIFY(worksheet->modified);
        QVERIFY(model->undoAvailable());

        QVERIFY(model->checkItem(node));
        for (const auto& n : worksheet->nodes)
            QCOMPARE(n->selected, int(Node::NotSelected));
    }

    // Records picked in the grid give the category 2, all of them 1, none
    // 0; every ancestor follows, and a partly category makes every one of
    // them partly whatever its siblings hold.
    void recordPicksFeedBack_data() {
        QTest::addColumn<QStringList>("picked");
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("leafState");
        QTest::newRow("some") << QStringList{u"A1"_s, u"A2"_s} << false << 2;
        QTest::newRow("all") << QStringList{} << true << 1;
        QTest::newRow("none") << QStringList{} << false << 0;
    }
    void recordPicksFeedBack() {
        QFETCH(QStringList, picked);
        QFETCH(bool, all);
        QFETCH(int, leafState);
        Node* leaf = deepestGridLeaf();
        QVERIFY(leaf);
        QVERIFY(leaf->getLevel() >= 3);
        // Its siblings full, so only a partly leaf keeps the folders partly.
        const QString parent = Node::parentId(leaf->leafId);
        QVERIFY(model->checkItem(at(parent)));
        model->setRecords(leaf, ::records(picked), all);
        QCOMPARE(leaf->selected, leafState);
        QCOMPARE(leaf->selection.size(), all ? 0 : picked.size());
        QCOMPARE(inconsistentFolder(*worksheet), QString());
        if (leafState == Node::PartlySelected)
            for (QString id = parent; !id.isEmpty(); id = Node::parentId(id))
                QCOMPARE(at(id)->selected, int(Node::PartlySelected));
        // A click on a greyed folder clears its subtree, records and all.
        if (leafState == Node::PartlySelected) {
            const QString top = leaf->leafId.section(u'.', 0, 0);
            QVERIFY(model->checkItem(at(top)));
            for (const auto& n : worksheet->nodes)
                if (n->leafId == top || n->leafId.startsWith(top + u'.'))
                    QVERIFY2(n->selected == Node::NotSelected && n->selection.isEmpty(),
                             qPrintable(n->leafId));
            return;
        }
        // A click on the leaf takes or leaves it whole; the last sibling
        // checked makes the folders full again.
        model->checkItem(leaf);
        QVERIFY(leaf->selection.isEmpty());
        QCOMPARE(leaf->selected, leafState == Node::NotSelected ? 1 : 0);
        QCOMPARE(inconsistentFolder(*worksheet), QString());
    }

    // One step back, a second undo redoes, and undo stays on; select all
    // when everything has the state already changes nothing, not even the
    // undo copy.
    void undoSwapsTheTwoMaps() {
        const auto before = states(*worksheet);
        QVERIFY(!model->undoAvailable());
        model->undo(); // nothing to undo yet
        QCOMPARE(states(*worksheet), before);
        Node* leaf = deepestGridLeaf();
        model->setRecords(leaf, records({u"K"_s}), false);
        const auto picked = states(*worksheet);
        model->undo();
        QCOMPARE(states(*worksheet), before);
        QVERIFY(leaf->selection.isEmpty());
        model->undo();
        QCOMPARE(states(*worksheet), picked);
        QCOMPARE(leaf->selection, records({u"K"_s}));
        QVERIFY(model->undoAvailable());

        QVERIFY(model->checkItem(at(u"1"_s)));
        const auto partly = states(*worksheet);
        QVERIFY(model->selectAllCategories(true));
        const auto full = states(*worksheet);
        for (const auto& n : worksheet->nodes)
            if (n->leaf && n->allowSelection)
                QCOMPARE(n->selected, int(Node::Selected));
        QVERIFY(!model->selectAllCategories(true));
        model->undo();
        QCOMPARE(states(*worksheet), partly);
        model->undo();
        QCOMPARE(states(*worksheet), full);
        QVERIFY(model->selectAllCategories(false));
        QVERIFY(!model->selectAllCategories(false));
        model->undo();
        QCOMPARE(states(*worksheet), full);
    }

    void selectAllDetailsOnlyForAGrid() {
        Node* leaf = deepestGridLeaf();
        QVERIFY(model->selectAllDetails(leaf, true));
        QCOMPARE(leaf->selected, int(Node::Selected));
        QVERIFY(!model->selectAllDetails(leaf, true));
        QVERIFY(model->selectAllDetails(leaf, false));
        QCOMPARE(leaf->selected, int(Node::NotSelected));
        for (const auto& n : worksheet->nodes)
            if (n->dataAreaFormat != Node::RecordGrid) {
                QVERIFY(!model->selectAllDetails(n.get(), true));
                break;
            }
        QCOMPARE(inconsistentFolder(*worksheet), QString());
    }

    // Display twice hides; what is found goes to the status bar, what the
    // view hides is warned about; all prior categories get their own box.
    void dependenciesShownAndWarnedAbout() {
        Node* source = nullptr;
        for (const auto& n : worksheet->nodes)
            if (n->hasDependencies && n->dependencies.size() >= 2) {
                source = n.get();
                break;
            }
        QVERIFY(source);
        const QString needed = source->dependencies.first();
        model->showDependencies(source);
        QCOMPARE(model->dependencySource(), source);
        QCOMPARE(model->dependenciesFound(), int(source->dependencies.size()));
        QCOMPARE(model->dependenciesNotShown(), 0);
        QVERIFY(model->data(model->indexOf(at(needed)), MRV_WorksheetTreeModel::DependencyRole)
                    .toBool());
        CTSBSTR found(ui.language());
        found.FormatId(10038, int(source->dependencies.size()));
        QVERIFY2(ui.transcript.join(u'\n').contains(QString(found)),
                 qPrintable(ui.transcript.join(u'\n')));
        model->showDependencies(source);
        QCOMPARE(model->dependencySource(), nullptr);
        QVERIFY(!model->data(model->indexOf(at(needed)), MRV_WorksheetTreeModel::DependencyRole)
                     .toBool());

        // Everything it needs selected: none found.
        for (const QString& id : source->dependencies)
            if (at(id)->selected == Node::NotSelected)
                model->checkItem(at(id));
        ui.transcript.clear();
        model->showDependencies(source);
        QCOMPARE(model->dependenciesFound(), 0);
        QVERIFY(ui.transcript.join(u'\n').contains(ui.text(10039)));
        model->hideDependencies();

        // In the selection view the unselected ones are out of sight.
        model->checkItem(at(needed));
        model->setSelectionView(true);
        ui.transcript.clear();
        model->showDependencies(source);
        QCOMPARE(model->dependenciesNotShown(), 1);
        QVERIFY(ui.transcript.contains(u"warning: "_s + ui.text(10041)));
        model->hideDependencies();

        ui.transcript.clear();
        source->dependencies = {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
        model->showDependencies(source);
        QCOMPARE(ui.transcript, QStringList{u"information: "_s + ui.text(10040)});
    }

    void showAllDependenciesMarksWhatSelectedNodesNeed() {
        Node* source = nullptr;
        for (const auto& n : worksheet->nodes)
            if (n->leaf && n->hasDependencies && n->allowSelection)
                source = n.get();
        QVERIFY(source);
        const QModelIndex needed = model->indexOf(at(source->dependencies.first()));
        model->setShowAllDependencies(true);
        QVERIFY(!needed.data(MRV_WorksheetTreeModel::DependencyRole).toBool());
        model->checkItem(source);
        QVERIFY(needed.data(MRV_WorksheetTreeModel::DependencyRole).toBool());
        QVERIFY(needed.data(Qt::FontRole).value<QFont>().bold());
        model->setShowAllDependencies(false);
        QVERIFY(!needed.data(MRV_WorksheetTreeModel::DependencyRole).toBool());
    }

    // A lock that turns on clears what it excludes, in the worksheet and in
    // the undo copy; locked nodes cannot be checked nor selected by select
    // all.
    void locks_data() {
        QTest::addColumn<bool>("msSql");
        QTest::addColumn<bool>("localization");
        QTest::newRow("MS-SQL") << true << false;
        QTest::newRow("localization") << false << true;
        QTest::newRow("both") << true << true;
    }
    void locks() {
        QFETCH(bool, msSql);
        QFETCH(bool, localization);
        const auto excluded = [&](const Node& n) {
            return (msSql && MRV_CategoryKinds::isUserDefinedElement(n.stringId)) ||
                   (localization && !n.localizationTransfer);
        };
        // The walk stops at a locked folder: what is below it stays.
        const auto behindLock = [&](const Node& n) {
            for (QString id = n.leafId; !id.isEmpty(); id = Node::parentId(id))
                if (excluded(*at(id)))
                    return true;
            return false;
        };
        QVERIFY(model->selectAllCategories(true));
        QVERIFY(model->checkItem(at(u"1"_s))); // the undo copy: all selected
        QVERIFY(model->setLocks(msSql, localization));
        QVERIFY(!model->setLocks(msSql, localization));
        int locked = 0;
        for (const auto& n : worksheet->nodes)
            if (excluded(*n)) {
                ++locked;
                QCOMPARE(n->selected, int(Node::NotSelected));
                QVERIFY(!model->checkItem(n.get()));
                QVERIFY(!(model->flags(model->indexOf(n.get())) & Qt::ItemIsUserCheckable));
            }
        QVERIFY(locked > 0);
        model->undo();
        for (const auto& n : worksheet->nodes)
            if (excluded(*n))
                QCOMPARE(n->selected, int(Node::NotSelected));
        QCOMPARE(inconsistentFolder(*worksheet), QString());
        model->selectAllCategories(false);
        model->selectAllCategories(true);
        for (const auto& n : worksheet->nodes)
            if (n->leaf && n->allowSelection)
                QCOMPARE(n->selected, behindLock(*n) ? 0 : 1);
        QCOMPARE(inconsistentFolder(*worksheet), QString());
        // Off again: they can be had.
        QVERIFY(model->setLocks(false, false));
        model->selectAllCategories(true);
        for (const auto& n : worksheet->nodes)
            if (n->leaf && n->allowSelection)
                QCOMPARE(n->selected, int(Node::Selected));
    }

    // The same picks in the tree and on the command line give the same
    // worksheet file: both change the worksheet's nodes the same way.
    void treeAndCommandLineWriteTheSameFile() {
        GuiWorld world;
        QVERIFY(world.createDemo(u"BASE"_s));
        QVERIFY(world.createCompany(u"TARGET"_s));
        const QByteArray saved = qgetenv("MIRROVA_PASSWORD");
        qputenv("MIRROVA_PASSWORD", "lobster");
        const auto cli = [](const QStringList& args) {
            QString out, err;
            QTextStream o(&out), e(&err);
            const int status = MRV_Cli(o, e).run(args);
            if (status != 0)
                qWarning("%s: %s", qPrintable(args.join(u' ')), qPrintable(err));
            return status;
        };
        QDir(world.dir.path()).mkpath(u"cli"_s);
        QDir(world.dir.path()).mkpath(u"gui"_s);
        const QString onCli = world.dir.filePath(u"cli/ws.xml"_s);
        const QString inTree = world.dir.filePath(u"gui/ws.xml"_s);
        QCOMPARE(cli({u"worksheet"_s, u"new"_s, onCli, u"--server"_s, world.server->folder(),
                      u"--db"_s, u"BASE"_s, u"--target-db"_s, u"TARGET"_s}),
                 0);
        QVERIFY(QFile::copy(onCli, inTree));
        QCOMPARE(cli({u"worksheet"_s, u"select"_s, onCli, u"MRV_TRN_MANUFACTURERS_100=1,3"_s,
                      u"MRV_TRN_COUNTRIES_100"_s}),
                 0);
        if (saved.isNull())
            qunsetenv("MIRROVA_PASSWORD");
        else
            qputenv("MIRROVA_PASSWORD", saved);

        MRV_Worksheet picked;
        QCOMPARE(MRV_WorksheetManager(&context).readWorksheet(picked, onCli), S_OK);
        MRV_Worksheet ticked;
        QCOMPARE(MRV_WorksheetManager(&context).readWorksheet(ticked, inTree), S_OK);
        // As opening it for the window does: the categories' rules come
        // from the template.
        QCOMPARE(
            MRV_WorksheetTemplateManager::instance(nullptr)->updateWorksheetFromTemplate(ticked),
            S_OK);
        MRV_WorksheetTreeModel tree;
        tree.setWorksheet(&ticked);
        QVERIFY(tree.checkItem(ticked.findLeaf(u"MRV_TRN_COUNTRIES_100"_s)));
        const QList<MRV_SelectionObject> grid =
            picked.findLeaf(u"MRV_TRN_MANUFACTURERS_100"_s)->selection;
        QCOMPARE(grid.size(), 2);
        tree.setRecords(ticked.findLeaf(u"MRV_TRN_MANUFACTURERS_100"_s), grid, false);
        QCOMPARE(MRV_WorksheetManager(&context).saveWorksheet(ticked, inTree), S_OK);

        // Line by line, so that a difference shows where it is.
        const auto lines = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly)
                       ? QString(QStringDecoder(QStringDecoder::Utf16)(f.readAll())).split(u'>')
                       : QStringList();
        };
        QVERIFY(!lines(onCli).isEmpty());
        QCOMPARE(lines(inTree), lines(onCli));
    }

    // The pane: header, named controls, a click through the view, the
    // selection view leaving and coming back.
    void paneShowsHeaderAndSelectionView() {
        MRV_TreeFormDlg pane;
        pane.resize(400, 600);
        pane.setWorksheet(worksheet.get());
        pane.showHeaderData(MRV_TreeFormDlg::headerText(u"Base Ltd"_s, u"BASE"_s), u"T.xml"_s,
                            false, false);
        QCOMPARE(pane.findChild<QLineEdit*>(u"ctl903"_s)->text(), u"Base Ltd / BASE"_s);
        QCOMPARE(pane.findChild<QLineEdit*>(u"ctl906"_s)->text(), u"T.xml"_s);
        QVERIFY(pane.findChild<QTreeView*>(u"ctl901"_s));
        QVERIFY(pane.currentNode());
        QList<MRV_WorksheetNode*> seen;
        QObject::connect(&pane, &MRV_TreeFormDlg::currentNodeChanged,
                         [&](MRV_WorksheetNode* n) { seen << n; });

        Node* leaf = deepestGridLeaf();
        pane.setCurrentNode(leaf);
        QCOMPARE(seen.last(), leaf);
        QTest::keyClick(pane.view(), Qt::Key_Space);
        QCOMPARE(leaf->selected, int(Node::Selected));
        QVERIFY(pane.undoAvailable());
        const QAbstractItemModel* shown = pane.view()->model();
        const int allTop = shown->rowCount();
        pane.setSelectionView(true);
        QCOMPARE(shown->rowCount(), 1);
        QCOMPARE(pane.currentNode()->selected == Node::NotSelected, false);
        // A click leaves the selection view.
        pane.setCurrentNode(leaf);
        QTest::keyClick(pane.view(), Qt::Key_Space);
        QVERIFY(!pane.selectionView());
        QCOMPARE(shown->rowCount(), allTop);
        // Undo goes back into it.
        pane.setSelectionView(true);
        pane.model()->selectAllCategories(true);
        QVERIFY(pane.selectionView());
        QVERIFY(shown->rowCount() > 1);
        pane.model()->undo();
        QVERIFY(pane.selectionView());
        QCOMPARE(shown->rowCount(), 0);
        QCOMPARE(pane.currentNode(), nullptr);
    }
};

QTEST_MAIN(TreeTest)
#include "TreeTest.moc"
