#pragma once

#include "worksheet/MRV_WorksheetNode.h"

#include <QString>

#include <memory>
#include <vector>

class MRV_ConnectionContext;

// The user's document: where the data comes from (a company or a
// configuration file), where it goes, the copy options, and the category
// tree with a selection state for every node.
class MRV_Worksheet {
public:
    using NodeList = std::vector<std::unique_ptr<MRV_WorksheetNode>>;

    MRV_Worksheet() = default;
    MRV_Worksheet(const MRV_Worksheet&) = delete;
    MRV_Worksheet& operator=(const MRV_Worksheet&) = delete;

    // The base is a company when sourceDB is set, otherwise a configuration
    // file when sourceFile is.
    bool baseIsCompany() const { return !sourceDB.isEmpty(); }
    bool baseIsFile() const { return sourceDB.isEmpty() && !sourceFile.isEmpty(); }

    // Fills the base and target fields and the copy options from the
    // connection context. A base configuration file is stored in the
    // relative form of relativeConfigurationPath(); when worksheetPath
    // names the file the worksheet is about to be saved as and that form
    // would not lead back to the base file from there, the full path is
    // stored instead, so that the worksheet still finds its base.
    void updateHeaderData(const MRV_ConnectionContext& context,
                          const QString& worksheetPath = QString());

    // "..\" + the name of the file's folder + "\" + the file name, or
    // "..\" + the file name when path holds a single separator; a bare file
    // name stays as it is. Both '\' and '/' separate.
    static QString relativeConfigurationPath(const QString& path);
    // The base configuration file that a stored sourceFile names, for a
    // worksheet stored at worksheetPath: "..\Folder\file" is read from the
    // folder beside the worksheet's folder, a bare or relative name from
    // the worksheet's folder, an absolute path as it is. Both '\' and '/'
    // are read as separators.
    static QString resolveConfigurationPath(const QString& sourceFile,
                                            const QString& worksheetPath);

    MRV_WorksheetNode* findNode(const QString& leafId) const;
    // The first leaf whose category id is categoryId.
    MRV_WorksheetNode* findLeaf(const QString& categoryId) const;
    // The index of the node in the list, -1 when it is not there.
    int indexOf(const QString& leafId) const;
    int leafCount() const;

    // Selects (Selected) or deselects (NotSelected) a node with everything
    // below it, and gives every ancestor the state its children add up to:
    // selected when all are, not selected when none is, partly otherwise.
    // False when the leaf id is not in the worksheet or state is not 0 or 1.
    bool select(const QString& leafId, int state);
    // Selects only the given records of a leaf (partly selected); an empty
    // list deselects the leaf. The ancestors follow as with select().
    bool selectRecords(const QString& leafId, const QList<MRV_SelectionObject>& records);
    // Recomputes the states of the ancestors of a node from their children.
    void updateParentStatus(const QString& leafId);

    QString worksheetName;
    QString path;
    int sourceServerType = 0;
    QString sourceServer;
    QString sourceServerUser;
    bool sourceServerUseTrusted = false;
    QString sourceDB;
    QString sourceCompanyName;
    QString sourceUser;
    QString sourceFile;
    int targetServerType = 0;
    QString targetServer;
    QString targetServerUser;
    bool targetServerUseTrusted = false;
    QString targetDB;
    QString targetCompanyName;
    QString targetUser;
    QString targetFile;
    QString creationUser;
    QString additionalDescr;
    int copyMethod = 1; // Replace All, the program's default
    int RTCF = 0;       // continue copy process
    bool FRFMUDF = false;
    bool backup = false;
    bool approval = false;
    bool modified = false;
    NodeList nodes;
};
