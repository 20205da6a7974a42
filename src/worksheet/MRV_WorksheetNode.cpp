#include "worksheet/MRV_WorksheetNode.h"

#include "di/MRV_DIInterface.h"

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
      selection(other.selection), level(other.level), leaf(other.leaf),
      inConfiguration(other.inConfiguration), hasDependencies(other.hasDependencies),
      dependencyCount(other.dependencyCount) {}

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
