#pragma once

#include "config/MRV_ChangedDataManager.h"
#include "worksheet/MRV_SelectionObject.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class MRV_DIInterface;
class MRV_DIDataSet;

// One node of the category tree: a folder or a category, with its place in
// the tree (the leaf id), its catalogue id, texts, selection state, flags
// and, for partly selected categories, the selected records.
//
// The worksheet template holds the flags of every node; a worksheet file
// holds only identity and selection, and the template fills in the rest.
class MRV_WorksheetNode {
public:
    // Selection states, as the tree shows them.
    enum State { NotSelected = 0, Selected = 1, PartlySelected = 2 };
    // What the details pane shows for the node: nothing, its note, its
    // fields, or its records to pick one by one.
    enum DataAreaFormat { NoDataArea = 0, NotesOnly = 1, FieldView = 2, RecordGrid = 3 };

    MRV_WorksheetNode();
    ~MRV_WorksheetNode();
    // Copies every field but the category manager and its record list,
    // which belong to one node only; the copy has neither.
    MRV_WorksheetNode(const MRV_WorksheetNode& other);
    MRV_WorksheetNode& operator=(const MRV_WorksheetNode&) = delete;

    // The stored level, or the depth that the leaf id tells (1 for "3",
    // 2 for "3.2", ...).
    int getLevel() const;
    // Adds a leaf id to the dependencies unless it is there already.
    void addDependency(const QString& leafId);
    // Keeps the user's edit of one field of a record (found by table and
    // key values). The first original value is kept; editing a field back
    // to it drops the change, and a record without changes is dropped.
    void recordEdit(const QString& table, const QList<std::pair<QString, QString>>& keys,
                    const QString& field, const QString& original, const QString& value);
    // The edit of a field of a record, or null.
    const MRV_ChangedField* editOf(const QString& table,
                                   const QList<std::pair<QString, QString>>& keys,
                                   const QString& field) const;
    bool prohibits(int copyMethod) const { return prohibitedCopyMethods.contains(copyMethod); }
    // The copy method this category is copied with when the run uses
    // copyMethod: the substitute when the category refuses the run's method.
    int effectiveCopyMethod(int copyMethod) const;
    // Record details are loaded for leaves shown as a grid or a field view.
    bool hasRecordDetails() const {
        return leaf && (dataAreaFormat == FieldView || dataAreaFormat == RecordGrid);
    }

    // The leaf id of the parent ("4.2" for "4.2.1"); empty for a top-level
    // node.
    static QString parentId(const QString& leafId);
    // The depth of a leaf id: the number of '.' in it plus one.
    static int levelOf(const QString& leafId);

    QString name;       // element name in the file, written back unchanged
    QString leafId;     // dotted path such as "4.2.1"
    QString categoryId; // catalogue id, e.g. MRV_TRN_QUERIES_100
    quint32 stringId = 0;
    QString text;
    int noteNumber = 0;
    quint32 noteStringId = 0;
    QString noteText;
    int selected = NotSelected;
    int dataAreaFormat = NoDataArea;
    bool allowSelection = false;
    bool localizationTransfer = false;
    QList<int> prohibitedCopyMethods;
    int substituteCopyMethod = 0;
    QStringList dependencies;
    QList<MRV_SelectionObject> selection;
    // The records the user edited in the grid, with each changed field;
    // the copy run merges them into what it reads from the base.
    QList<MRV_ChangedRecord> edits;
    int level = 0;
    bool leaf = false;
    // Whether the base configuration file holds the category; a company
    // base holds every category.
    bool inConfiguration = true;
    bool hasDependencies = false;
    // The category manager that lists the node's records, made when the
    // worksheet opens; owned by the node.
    std::unique_ptr<MRV_DIInterface> manager;
    // The record list that the manager built; it lives inside the manager.
    const MRV_DIDataSet* details = nullptr;
    // Kept by the tree view while it shows dependencies.
    int dependencyCount = 0;
};
