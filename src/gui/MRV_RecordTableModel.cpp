#include "gui/MRV_RecordTableModel.h"

#include "di/MRV_DIDataSet.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QSet>

#include <algorithm>

namespace {

// One text per record key, for finding picked records among the listed.
QString keyText(const MRV_SelectionObject& record) {
    QStringList parts;
    for (const MRV_SelectionField& key : record.keys)
        parts << key.fieldName + u'=' + key.value;
    return parts.join(QChar(0x1f));
}

} // namespace

MRV_RecordTableModel::MRV_RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void MRV_RecordTableModel::setRecords(MRV_WorksheetNode* node, const MRV_DIDataSet* list) {
    beginResetModel();
    m_node = node;
    m_list = list;
    m_checked.assign(list ? size_t(list->rows().size()) : 0, false);
    endResetModel();
    refresh();
}

void MRV_RecordTableModel::refresh() {
    if (!m_node || !m_list)
        return;
    const auto& rows = m_list->rows();
    if (m_node->selected == MRV_WorksheetNode::PartlySelected) {
        QSet<QString> picked;
        for (const MRV_SelectionObject& record : m_node->selection)
            picked.insert(keyText(record));
        for (qsizetype i = 0; i < rows.size(); ++i)
            m_checked[size_t(i)] =
                picked.contains(keyText(MRV_SelectionManager::selectionOf(*m_list, rows[i])));
    } else {
        std::fill(m_checked.begin(), m_checked.end(),
                  m_node->selected == MRV_WorksheetNode::Selected);
    }
    // Undo may have taken edits back too: every cell is read again.
    if (!rows.isEmpty())
        emit dataChanged(index(0, 0), index(int(rows.size()) - 1, columnCount() - 1));
}

QList<MRV_SelectionObject> MRV_RecordTableModel::checkedRecords() const {
    QList<MRV_SelectionObject> records;
    for (size_t i = 0; i < m_checked.size(); ++i)
        if (m_checked[i])
            records << MRV_SelectionManager::selectionOf(*m_list, m_list->rows()[qsizetype(i)]);
    return records;
}

int MRV_RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_list ? 0
                                       : int(std::min<qsizetype>(m_list->rows().size(), MaxRows));
}

int MRV_RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_list ? 0 : int(m_list->columns().size());
}

QVariant MRV_RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!m_list || !index.isValid())
        return {};
    const MRV_DIDataSet::Row& row = m_list->rows()[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() < row.values.size() ? text(index.row(), index.column())
                                                  : MissingCell.toString();
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return m_checked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

QVariant MRV_RecordTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (!m_list || role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const MRV_DIDataSet::Column& column = m_list->columns().value(section);
    return column.description.isEmpty() ? column.name : column.description;
}

bool MRV_RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_list || !index.isValid())
        return false;
    if (role == Qt::EditRole) {
        if (!(flags(index) & Qt::ItemIsEditable))
            return false;
        const QString original = m_list->rows()[index.row()].values[index.column()];
        emit aboutToEdit();
        m_node->recordEdit(m_list->mainTable(), recordKeys(index.row()), fieldOf(index.column()),
                           original, value.toString());
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        emit edited();
        return true;
    }
    if (role != Qt::CheckStateRole || index.column() != 0)
        return false;
    m_checked[size_t(index.row())] = static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    const bool all = std::all_of(m_checked.begin(), m_checked.end(), [](bool b) { return b; });
    emit picked(all ? QList<MRV_SelectionObject>() : checkedRecords(), all);
    return true;
}

Qt::ItemFlags MRV_RecordTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0 && m_node && m_node->allowSelection && m_node->inConfiguration)
        flags |= Qt::ItemIsUserCheckable;
    // The key column is never edited, nor a cell the record has no value
    // for: there is nothing in the record to change.
    if (m_node && m_list && index.column() > 0 &&
        m_list->columns().value(index.column()).editable &&
        index.column() < m_list->rows()[index.row()].values.size())
        flags |= Qt::ItemIsEditable;
    return flags;
}

QList<std::pair<QString, QString>> MRV_RecordTableModel::recordKeys(int row) const {
    const MRV_DIDataSet::Row& record = m_list->rows()[row];
    const QStringList& columns = m_list->keyColumns();
    const QStringList& elements = m_list->keyElements();
    QList<std::pair<QString, QString>> keys;
    for (qsizetype i = 0; i < columns.size() && i < record.keys.size(); ++i)
        keys.append({i < elements.size() && !elements[i].isEmpty() ? elements[i] : columns[i],
                     record.keys[i].toString()});
    return keys;
}

QString MRV_RecordTableModel::fieldOf(int column) const {
    const MRV_DIDataSet::Column& c = m_list->columns().value(column);
    return c.element.isEmpty() ? c.name : c.element;
}

QString MRV_RecordTableModel::text(int row, int column) const {
    const QString& value = m_list->rows()[row].values[column];
    if (!m_node || m_node->edits.isEmpty())
        return value;
    const MRV_ChangedField* edit =
        m_node->editOf(m_list->mainTable(), recordKeys(row), fieldOf(column));
    return edit ? edit->newValue : value;
}

QList<MRV_ColumnType> MRV_RecordTableModel::columnTypes() const {
    QList<MRV_ColumnType> types;
    if (m_list)
        for (const MRV_DIDataSet::Column& column : m_list->columns())
            types << MRV_columnTypeOf(column.type);
    return types;
}

QStringList MRV_RecordTableModel::columnTexts(int column) const {
    QStringList texts;
    const int rows = rowCount();
    texts.reserve(rows);
    for (int row = 0; row < rows; ++row)
        texts << data(index(row, column), Qt::DisplayRole).toString();
    return texts;
}
