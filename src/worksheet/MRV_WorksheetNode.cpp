#include "worksheet/MRV_WorksheetNode.h"

#include "di/MRV_DIInterface.h"

#include <algorithm>

MRV_WorksheetNode::MRV_WorksheetNode() = default;
MRV_WorksheetNode::~MRV_WorksheetNode() = default;

MRV_WorksheetNode::MRV_WorksheetNode(const MRV_WorksheetNode& other)
    : name(other.name), leafId(other.leafId), categoryId(other.categoryId),
      stringId(other.stringId), text(other.text), noteNumber(other.noteNumber),
      noteStringId(other.noteStringId), noteText(other.noteText), selected(other.selected),
      dataAreaFormat(other.dataAreaFormat), allowSelection(other.allowSelection),
      localizationTransfer(other.localizationTransfer),
      prohibitedCopyMethods(other.prohibitedCopyMethods),
      substituteCopyMethod(other.substituteCopyMethod), dependencies(other.dependencies),
      selection(other.selection), edits(other.edits), level(other.level), leaf(other.leaf),
      inConfiguration(other.inConfiguration), hasDependencies(other.hasDependencies),
      dependencyCount(other.dependencyCount) {}

void MRV_WorksheetNode::recordEdit(const QString& table,
                                   const QList<std::pair<QString, QString>>& keys,
                                   const QString& field, const QString& original,
                                   const QString& value) {
    auto record = std::find_if(edits.begin(), edits.end(), [&](const MRV_ChangedRecord& r) {
        return r.table == table && r.keys == keys;
    });
    if (record == edits.end()) {
        if (value == original)
            return;
        edits.append({table, keys, {}});
        record = edits.end() - 1;
    }
    auto& fields = record->fields;
    const auto changed = std::find_if(fields.begin(), fields.end(),
                                      [&](const MRV_ChangedField& f) { return f.name == field; });
    if (changed == fields.end())
        fields.append({field, original, value});
    else if (changed->oldValue == value)
        fields.erase(changed);
    else
        changed->newValue = value;
    if (fields.isEmpty())
        edits.erase(record);
}

const MRV_ChangedField* MRV_WorksheetNode::editOf(const QString& table,
                                                  const QList<std::pair<QString, QString>>& keys,
                                                  const QString& field) const {
    for (const MRV_ChangedRecord& record : edits) {
        if (record.table != table || record.keys != keys)
            continue;
        for (const MRV_ChangedField& f : record.fields)
            if (f.name == field)
                return &f;
    }
    return nullptr;
}

int MRV_WorksheetNode::getLevel() const {
    return level != 0 ? level : levelOf(leafId);
}

void MRV_WorksheetNode::addDependency(const QString& id) {
    if (!dependencies.contains(id))
        dependencies.append(id);
}

int MRV_WorksheetNode::effectiveCopyMethod(int copyMethod) const {
    return prohibits(copyMethod) ? substituteCopyMethod : copyMethod;
}

QString MRV_WorksheetNode::parentId(const QString& id) {
    const qsizetype dot = id.lastIndexOf(u'.');
    return dot > 0 ? id.left(dot) : QString();
}

int MRV_WorksheetNode::levelOf(const QString& id) {
    return static_cast<int>(id.count(u'.')) + 1;
}
