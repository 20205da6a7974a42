#include "gui/MRV_WorksheetTreeModel.h"

#include "catalogue/MRV_CategoryKinds.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QColor>
#include <QFont>

#include <functional>

namespace {

Qt::CheckState checkState(int selected) {
    switch (selected) {
    case MRV_WorksheetNode::Selected:
        return Qt::Checked;
    case MRV_WorksheetNode::PartlySelected:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

// A folder's state from its children's: partly as soon as one is partly or
// full and not full ones are mixed; full when all are, empty when none is.
int combined(const std::vector<int>& states) {
    bool full = false;
    bool notFull = false;
    for (const int state : states) {
        if (state == MRV_WorksheetNode::PartlySelected)
            return MRV_WorksheetNode::PartlySelected;
        (state == MRV_WorksheetNode::Selected ? full : notFull) = true;
        if (full && notFull)
            return MRV_WorksheetNode::PartlySelected;
    }
    return full ? MRV_WorksheetNode::Selected : MRV_WorksheetNode::NotSelected;
}

} // namespace

MRV_WorksheetTreeModel::MRV_WorksheetTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void MRV_WorksheetTreeModel::setWorksheet(MRV_Worksheet* worksheet) {
    beginResetModel();
    m_filling = true;
    m_worksheet = worksheet;
    m_maps[0].clear();
    m_maps[1].clear();
    m_current = 0;
    m_undoAvailable = false;
    m_source = nullptr;
    m_found = m_notShown = 0;
    build();
    updateMarks();
    m_filling = false;
    endResetModel();
}

void MRV_WorksheetTreeModel::build() {
    m_parent.clear();
    m_children.clear();
    m_row.clear();
    m_top.clear();
    if (!m_worksheet)
        return;
    const auto& nodes = m_worksheet->nodes;
    m_parent.assign(nodes.size(), -1);
    m_children.assign(nodes.size(), {});
    m_row.assign(nodes.size(), 0);
    QHash<QString, int> byLeaf;
    for (size_t i = 0; i < nodes.size(); ++i)
        byLeaf.insert(nodes[i]->leafId, int(i));
    for (size_t i = 0; i < nodes.size(); ++i) {
        // A node whose parent is missing from the file stands at the top
        // rather than vanishing.
        const int parent = byLeaf.value(MRV_WorksheetNode::parentId(nodes[i]->leafId), -1);
        m_parent[i] = parent;
        std::vector<int>& siblings = parent >= 0 ? m_children[size_t(parent)] : m_top;
        m_row[i] = int(siblings.size());
        siblings.push_back(int(i));
    }
}

MRV_WorksheetNode* MRV_WorksheetTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || !m_worksheet)
        return nullptr;
    return m_worksheet->nodes[size_t(index.internalId())].get();
}

QModelIndex MRV_WorksheetTreeModel::indexOf(const MRV_WorksheetNode* wanted) const {
    if (!m_worksheet || !wanted)
        return {};
    const int at = m_worksheet->indexOf(wanted->leafId);
    return at < 0 ? QModelIndex() : createIndex(m_row[size_t(at)], 0, quintptr(at));
}

QModelIndex MRV_WorksheetTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const std::vector<int>& siblings =
        parent.isValid() ? m_children[size_t(parent.internalId())] : m_top;
    if (size_t(row) >= siblings.size())
        return {};
    return createIndex(row, 0, quintptr(siblings[size_t(row)]));
}

QModelIndex MRV_WorksheetTreeModel::parent(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    const int parent = m_parent[size_t(index.internalId())];
    return parent < 0 ? QModelIndex() : createIndex(m_row[size_t(parent)], 0, quintptr(parent));
}

int MRV_WorksheetTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    return int(parent.isValid() ? m_children[size_t(parent.internalId())].size() : m_top.size());
}

int MRV_WorksheetTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant MRV_WorksheetTreeModel::data(const QModelIndex& index, int role) const {
    const MRV_WorksheetNode* n = node(index);
    if (!n)
        return {};
    const bool marked = m_marked.value(n->leafId);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return n->text;
    case Qt::CheckStateRole:
        return QVariant(checkState(n->selected));
    case Qt::ToolTipRole:
        return n->noteText.isEmpty() ? QVariant() : QVariant(n->noteText);
    case Qt::FontRole:
        if (!marked)
            return {};
        {
            QFont font;
            font.setBold(true);
            return font;
        }
    case Qt::ForegroundRole:
        return marked ? QVariant(QColor(0xb0, 0x20, 0x20)) : QVariant();
    case DependencyRole:
        return marked;
    default:
        return {};
    }
}

Qt::ItemFlags MRV_WorksheetTreeModel::flags(const QModelIndex& index) const {
    const MRV_WorksheetNode* n = node(index);
    if (!n)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    // A category the base file does not hold is shown but cannot be had.
    if (n->inConfiguration)
        flags |= Qt::ItemIsEnabled;
    if (n->inConfiguration && (!n->leaf || n->allowSelection) && !locked(*n))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool MRV_WorksheetTreeModel::setData(const QModelIndex& index, const QVariant&, int role) {
    // The view's idea of the next state does not count: the click rule
    // (empty becomes full, anything else empty) does.
    MRV_WorksheetNode* n = node(index);
    if (!n || role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    return checkItem(n);
}

bool MRV_WorksheetTreeModel::locked(const MRV_WorksheetNode& n) const {
    return (m_msSqlLock && MRV_CategoryKinds::isUserDefinedElement(n.stringId)) ||
           (m_localizationLock && !n.localizationTransfer);
}

bool MRV_WorksheetTreeModel::selectable(const MRV_WorksheetNode& n) const {
    return !locked(n) && n.inConfiguration && (!n.leaf || n.allowSelection);
}

MRV_WorksheetTreeModel::StateMap MRV_WorksheetTreeModel::snapshot() const {
    StateMap map;
    for (const auto& n : m_worksheet->nodes)
        map.insert(n->leafId, {n->selected, n->selection, n->edits});
    return map;
}

void MRV_WorksheetTreeModel::saveCurrentSelectionStatus() {
    // The nodes hold the current states; both maps take them, the other one
    // as the undo copy.
    m_maps[m_current] = snapshot();
    m_maps[1 - m_current] = m_maps[m_current];
}

int MRV_WorksheetTreeModel::setState(MRV_WorksheetNode* n, int state) {
    if (state == MRV_WorksheetNode::Selected && !selectable(*n))
        return n->selected;
    const int at = m_worksheet->indexOf(n->leafId);
    const std::vector<int>& children = m_children[size_t(at)];
    if (children.empty()) {
        // A leaf taken or left whole holds no record list.
        n->selected = state;
        if (state != MRV_WorksheetNode::PartlySelected)
            n->selection.clear();
        return state;
    }
    std::vector<int> states;
    states.reserve(children.size());
    for (const int child : children)
        states.push_back(setState(m_worksheet->nodes[size_t(child)].get(), state));
    // Locked children keep their state, so the folder shows what it holds.
    n->selected = combined(states);
    return n->selected;
}

bool MRV_WorksheetTreeModel::checkItem(MRV_WorksheetNode* n) {
    CLogBase log(u"MRV", u"MRV_TreeFormDlg::OnCheckItem");
    if (!m_worksheet || !n || locked(*n))
        return false;
    saveCurrentSelectionStatus();
    const int wanted = n->selected == MRV_WorksheetNode::NotSelected
                           ? MRV_WorksheetNode::Selected
                           : MRV_WorksheetNode::NotSelected;
    setState(n, wanted);
    m_worksheet->updateParentStatus(n->leafId);
    setSelectionView(false);
    changed();
    return true;
}

bool MRV_WorksheetTreeModel::selectAllCategories(bool on) {
    if (!m_worksheet)
        return false;
    const int wanted = on ? MRV_WorksheetNode::Selected : MRV_WorksheetNode::NotSelected;
    const bool done =
        std::all_of(m_worksheet->nodes.begin(), m_worksheet->nodes.end(), [&](const auto& n) {
            return n->selected == wanted || (on && !n->leaf) || (on && !selectable(*n));
        });
    // Folders follow their categories; with locked ones they are partly.
    if (done)
        return false;
    saveCurrentSelectionStatus();
    const bool view = m_selectionView;
    setSelectionView(false);
    m_filling = true;
    for (const int top : m_top)
        setState(m_worksheet->nodes[size_t(top)].get(), wanted);
    m_filling = false;
    const MRV_WaitCursor wait;
    changed();
    setSelectionView(view);
    return true;
}

bool MRV_WorksheetTreeModel::selectAllDetails(MRV_WorksheetNode* n, bool on) {
    const int wanted = on ? MRV_WorksheetNode::Selected : MRV_WorksheetNode::NotSelected;
    if (!m_worksheet || !n || n->dataAreaFormat != MRV_WorksheetNode::RecordGrid ||
        n->selected == wanted || (on && !selectable(*n)))
        return false;
    saveCurrentSelectionStatus();
    setState(n, wanted);
    m_worksheet->updateParentStatus(n->leafId);
    changed();
    return true;
}

void MRV_WorksheetTreeModel::setRecords(MRV_WorksheetNode* n,
                                        const QList<MRV_SelectionObject>& records, bool all) {
    if (!m_worksheet || !n || m_filling || (!records.isEmpty() && !selectable(*n)))
        return;
    saveCurrentSelectionStatus();
    if (all)
        setState(n, MRV_WorksheetNode::Selected);
    else
        m_worksheet->selectRecords(n->leafId, records);
    m_worksheet->updateParentStatus(n->leafId);
    changed();
}

void MRV_WorksheetTreeModel::undo() {
    CLogBase log(u"MRV", u"MRV_TreeFormDlg::undo");
    if (!m_worksheet || !m_undoAvailable)
        return;
    const bool view = m_selectionView;
    setSelectionView(false);
    m_maps[m_current] = snapshot();
    const StateMap& before = m_maps[1 - m_current];
    for (const auto& n : m_worksheet->nodes) {
        const auto found = before.constFind(n->leafId);
        if (found == before.constEnd())
            continue;
        n->selected = found->state;
        n->selection = found->records;
        n->edits = found->edits;
    }
    m_current = 1 - m_current;
    changed();
    setSelectionView(view);
}

bool MRV_WorksheetTreeModel::setLocks(bool msSql, bool localization) {
    const bool turnedOn = (msSql && !m_msSqlLock) || (localization && !m_localizationLock);
    const bool change = msSql != m_msSqlLock || localization != m_localizationLock;
    m_msSqlLock = msSql;
    m_localizationLock = localization;
    if (!change)
        return false;
    if (turnedOn && m_worksheet) {
        QStringList cleared;
        QStringList lost[2]; // what each map held of the locked nodes
        for (const auto& n : m_worksheet->nodes) {
            if (!locked(*n))
                continue;
            for (int m = 0; m < 2; ++m)
                if (const auto found = m_maps[m].find(n->leafId); found != m_maps[m].end()) {
                    if (found->state != MRV_WorksheetNode::NotSelected || !found->records.isEmpty())
                        lost[m] << n->leafId;
                    *found = Entry{};
                }
            if (n->selected == MRV_WorksheetNode::NotSelected && n->selection.isEmpty())
                continue;
            n->selected = MRV_WorksheetNode::NotSelected;
            n->selection.clear();
            cleared << n->leafId;
        }
        for (const QString& leafId : cleared)
            m_worksheet->updateParentStatus(leafId);
        if (!cleared.isEmpty())
            m_worksheet->modified = true;
        // The undo copy's folders follow what it lost.
        for (int m = 0; m < 2; ++m)
            for (const QString& leafId : lost[m])
                for (QString id = MRV_WorksheetNode::parentId(leafId); !id.isEmpty();
                     id = MRV_WorksheetNode::parentId(id))
                    if (const auto found = m_maps[m].find(id); found != m_maps[m].end()) {
                        std::vector<int> states;
                        for (const int child : m_children[size_t(m_worksheet->indexOf(id))])
                            states.push_back(
                                m_maps[m].value(m_worksheet->nodes[size_t(child)]->leafId).state);
                        found->state = combined(states);
                    }
    }
    beginResetModel();
    m_filling = true;
    recount();
    updateMarks();
    m_filling = false;
    endResetModel();
    emit selectionChanged();
    return true;
}

void MRV_WorksheetTreeModel::setSelectionView(bool on) {
    if (on == m_selectionView)
        return;
    m_selectionView = on;
    recount();
    emit selectionViewChanged(on);
}

void MRV_WorksheetTreeModel::recount() {
    m_found = m_notShown = 0;
    if (!m_worksheet || !m_source)
        return;
    for (const QString& id : m_source->dependencies) {
        const MRV_WorksheetNode* needed = m_worksheet->findNode(id);
        if (!needed || needed->selected != MRV_WorksheetNode::NotSelected)
            continue;
        ++m_found;
        // The selection view leaves out every node that is not selected.
        if (m_selectionView)
            ++m_notShown;
    }
}

void MRV_WorksheetTreeModel::showDependencies(MRV_WorksheetNode* n) {
    CLogBase log(u"MRV", u"MRV_TreeFormDlg::showDependencies");
    if (!m_worksheet || !n)
        return;
    if (m_source == n) {
        hideDependencies();
        return;
    }
    m_source = n;
    recount();
    updateMarks();
    repaint({Qt::FontRole, Qt::ForegroundRole, DependencyRole});
    MRV_Interaction& ui = MRV_Interaction::current();
    bool allPrior = true;
    for (int id = 1; id <= 7 && allPrior; ++id)
        allPrior = n->dependencies.contains(QString::number(id));
    if (allPrior) {
        ui.information(ui.text(10040));
        return;
    }
    if (m_found == 0) {
        ui.information(ui.text(10039), false);
    } else {
        CTSBSTR found(ui.language());
        found.FormatId(10038, m_found);
        ui.information(found, false);
    }
    if (m_notShown > 0)
        ui.warning(ui.text(10041));
}

void MRV_WorksheetTreeModel::hideDependencies() {
    m_source = nullptr;
    recount();
    updateMarks();
    repaint({Qt::FontRole, Qt::ForegroundRole, DependencyRole});
}

void MRV_WorksheetTreeModel::setShowAllDependencies(bool on) {
    m_showAll = on;
    updateMarks();
    repaint({Qt::FontRole, Qt::ForegroundRole, DependencyRole});
}

void MRV_WorksheetTreeModel::updateMarks() {
    m_marked.clear();
    if (!m_worksheet)
        return;
    if (m_source)
        for (const QString& id : m_source->dependencies)
            m_marked.insert(id, true);
    if (m_showAll)
        for (const auto& n : m_worksheet->nodes)
            if (n->leaf && n->selected != MRV_WorksheetNode::NotSelected)
                for (const QString& id : n->dependencies)
                    m_marked.insert(id, true);
}

void MRV_WorksheetTreeModel::changed() {
    m_undoAvailable = true;
    m_worksheet->modified = true;
    recount();
    updateMarks();
    repaint({Qt::CheckStateRole, Qt::FontRole, Qt::ForegroundRole, DependencyRole});
    emit selectionChanged();
}

void MRV_WorksheetTreeModel::repaint(const QList<int>& roles) {
    // Any node may have changed; the tree is small enough to repaint whole.
    const std::function<void(const QModelIndex&)> touch = [&](const QModelIndex& parent) {
        const int rows = rowCount(parent);
        if (rows == 0)
            return;
        emit dataChanged(index(0, 0, parent), index(rows - 1, 0, parent), roles);
        for (int row = 0; row < rows; ++row)
            touch(index(row, 0, parent));
    };
    touch({});
}
