#include "gui/MRV_WorksheetTreeModel.h"

#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QHash>

namespace {

// How many selection changes undo goes back over.
constexpr size_t kUndoDepth = 100;

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

} // namespace

MRV_WorksheetTreeModel::MRV_WorksheetTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void MRV_WorksheetTreeModel::setWorksheet(MRV_Worksheet* worksheet) {
    beginResetModel();
    m_worksheet = worksheet;
    m_undo.clear();
    build();
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
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return n->text;
    case Qt::CheckStateRole:
        return n->allowSelection ? QVariant(checkState(n->selected)) : QVariant();
    case Qt::ToolTipRole:
        return n->noteText.isEmpty() ? QVariant() : QVariant(n->noteText);
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
    if (n->allowSelection && n->inConfiguration)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool MRV_WorksheetTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    MRV_WorksheetNode* n = node(index);
    if (!n || role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    // A partly selected node becomes selected when checked again.
    const auto state = static_cast<Qt::CheckState>(value.toInt());
    return setSelected(n, state != Qt::Unchecked);
}

QList<MRV_WorksheetNode*> MRV_WorksheetTreeModel::selectableAt(const MRV_WorksheetNode* n) const {
    QList<MRV_WorksheetNode*> found;
    const QString below = n ? n->leafId + u'.' : QString();
    for (const auto& other : m_worksheet->nodes)
        if (other->leaf && other->allowSelection && other->inConfiguration &&
            (!n || other.get() == n || other->leafId.startsWith(below)))
            found << other.get();
    return found;
}

bool MRV_WorksheetTreeModel::setSelected(MRV_WorksheetNode* n, bool selected) {
    if (!m_worksheet || !n)
        return false;
    const QList<MRV_WorksheetNode*> categories = selectableAt(n);
    if (categories.isEmpty())
        return false;
    remember();
    for (MRV_WorksheetNode* category : categories) {
        category->selection.clear();
        m_worksheet->select(category->leafId, selected ? MRV_WorksheetNode::Selected
                                                       : MRV_WorksheetNode::NotSelected);
    }
    changed();
    return true;
}

void MRV_WorksheetTreeModel::selectAll(bool selected) {
    if (!m_worksheet)
        return;
    remember();
    for (MRV_WorksheetNode* category : selectableAt(nullptr)) {
        category->selection.clear();
        m_worksheet->select(category->leafId, selected ? MRV_WorksheetNode::Selected
                                                       : MRV_WorksheetNode::NotSelected);
    }
    changed();
}

void MRV_WorksheetTreeModel::setRecords(MRV_WorksheetNode* n,
                                        const QList<MRV_SelectionObject>& records, bool all) {
    if (!m_worksheet || !n)
        return;
    remember();
    if (all) {
        n->selection.clear();
        m_worksheet->select(n->leafId, MRV_WorksheetNode::Selected);
    } else {
        m_worksheet->selectRecords(n->leafId, records);
    }
    changed();
}

void MRV_WorksheetTreeModel::remember() {
    Snapshot snapshot;
    snapshot.states.reserve(m_worksheet->nodes.size());
    for (const auto& n : m_worksheet->nodes)
        snapshot.states.emplace_back(n->selected, n->selection);
    m_undo.push_back(std::move(snapshot));
    if (m_undo.size() > kUndoDepth)
        m_undo.erase(m_undo.begin());
}

void MRV_WorksheetTreeModel::undo() {
    if (!m_worksheet || m_undo.empty())
        return;
    const Snapshot snapshot = std::move(m_undo.back());
    m_undo.pop_back();
    for (size_t i = 0; i < snapshot.states.size() && i < m_worksheet->nodes.size(); ++i) {
        m_worksheet->nodes[i]->selected = snapshot.states[i].first;
        m_worksheet->nodes[i]->selection = snapshot.states[i].second;
    }
    changed();
}

void MRV_WorksheetTreeModel::changed() {
    m_worksheet->modified = true;
    // Any node may have changed; the tree is small enough to repaint whole.
    const std::function<void(const QModelIndex&)> touch = [&](const QModelIndex& parent) {
        const int rows = rowCount(parent);
        if (rows == 0)
            return;
        emit dataChanged(index(0, 0, parent), index(rows - 1, 0, parent), {Qt::CheckStateRole});
        for (int row = 0; row < rows; ++row)
            touch(index(row, 0, parent));
    };
    touch({});
    emit selectionChanged();
}
