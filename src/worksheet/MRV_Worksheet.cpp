#include "worksheet/MRV_Worksheet.h"

#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// What the header keeps of a company connection.
struct CompanyFields {
    int serverType = 0;
    QString server;
    QString serverUser;
    bool trusted = false;
    QString database;
    QString name;
    QString user;
};

int serverTypeOf(const LLObjectsCOM::Company& company) {
    return company.Connected() ? company.ServerType() : company.DbServerType;
}

CompanyFields describe(const LLObjectsCOM::Company& company) {
    CompanyFields f;
    f.serverType = serverTypeOf(company);
    f.server = company.Server;
    f.serverUser = company.DbUserName;
    f.trusted = company.UseTrusted;
    f.database = company.CompanyDB;
    f.name = company.CompanyName();
    f.user = company.UserName;
    return f;
}

int loggedInServerType(const MRV_ConnectionContext& context) {
    return context.company ? serverTypeOf(*context.company) : 0;
}

QString withSlashes(QString path) {
    return path.replace(u'\\', u'/');
}

bool isAbsolute(const QString& slashed) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:/"));
    return slashed.startsWith(u'/') || drive.match(slashed).hasMatch();
}

} // namespace

QString MRV_Worksheet::relativeConfigurationPath(const QString& path) {
    // Either separator may stand anywhere; the file name follows the last.
    const qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    if (cut < 0)
        return path;
    const QString file = path.mid(cut + 1);
    const QString before = path.left(cut);
    const qsizetype folderCut = std::max(before.lastIndexOf(u'\\'), before.lastIndexOf(u'/'));
    if (folderCut < 0)
        return QStringLiteral("..\\") + file;
    return QStringLiteral("..\\") + before.mid(folderCut + 1) + u'\\' + file;
}

QString MRV_Worksheet::resolveConfigurationPath(const QString& sourceFile,
                                                const QString& worksheetPath) {
    const QString stored = withSlashes(sourceFile);
    if (stored.isEmpty() || isAbsolute(stored) || worksheetPath.isEmpty())
        return stored;
    const QString folder = QFileInfo(withSlashes(worksheetPath)).path();
    return QDir::cleanPath(folder + u'/' + stored);
}

void MRV_Worksheet::updateHeaderData(const MRV_ConnectionContext& context,
                                     const QString& worksheetPath) {
    if (context.baseCompany) {
        const CompanyFields base = describe(*context.baseCompany);
        sourceFile.clear();
        sourceServerType = base.serverType;
        sourceServer = base.server;
        sourceServerUseTrusted = base.trusted;
        sourceServerUser = base.serverUser;
        sourceDB = base.database;
        sourceCompanyName = base.name;
        sourceUser = base.user;
    } else {
        sourceFile = relativeConfigurationPath(context.baseFilePath);
        if (!worksheetPath.isEmpty() && !sourceFile.isEmpty() &&
            resolveConfigurationPath(sourceFile, worksheetPath) !=
                QDir::cleanPath(withSlashes(context.baseFilePath)))
            sourceFile = context.baseFilePath;
        sourceServerType = loggedInServerType(context);
        sourceServer.clear();
        sourceServerUser.clear();
        sourceDB.clear();
        sourceCompanyName.clear();
        sourceUser.clear();
        sourceServerUseTrusted = false;
    }
    targetFile = context.targetFilePath;
    if (context.targetCompany) {
        const CompanyFields target = describe(*context.targetCompany);
        targetServerType = target.serverType;
        targetServer = target.server;
        targetServerUseTrusted = target.trusted;
        targetServerUser = target.serverUser;
        targetDB = target.database;
        targetCompanyName = target.name;
        targetUser = target.user;
    } else {
        targetServerType = loggedInServerType(context);
        targetServer.clear();
        targetServerUser.clear();
        targetDB.clear();
        targetUser.clear();
        targetServerUseTrusted = false;
        targetCompanyName = context.targetCompanyName;
    }
    // A context without settings of its own leaves the worksheet's options.
    if (context.copyMethod != -1)
        copyMethod = context.copyMethod;
    if (context.responseToFailure != -1)
        RTCF = context.responseToFailure;
    FRFMUDF = context.ignoreMissingUdf;
    backup = context.forceBackup;
}

MRV_WorksheetNode* MRV_Worksheet::findNode(const QString& leafId) const {
    const int index = indexOf(leafId);
    return index < 0 ? nullptr : nodes[static_cast<size_t>(index)].get();
}

MRV_WorksheetNode* MRV_Worksheet::findLeaf(const QString& categoryId) const {
    for (const auto& node : nodes)
        if (node->leaf && node->categoryId == categoryId)
            return node.get();
    return nullptr;
}

int MRV_Worksheet::indexOf(const QString& leafId) const {
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i]->leafId == leafId)
            return static_cast<int>(i);
    return -1;
}

int MRV_Worksheet::leafCount() const {
    return static_cast<int>(
        std::count_if(nodes.begin(), nodes.end(), [](const auto& node) { return node->leaf; }));
}

bool MRV_Worksheet::select(const QString& leafId, int state) {
    if (state != MRV_WorksheetNode::NotSelected && state != MRV_WorksheetNode::Selected)
        return false;
    MRV_WorksheetNode* node = findNode(leafId);
    if (!node)
        return false;
    node->selected = state;
    const QString below = leafId + u'.';
    for (const auto& other : nodes)
        if (other->leafId.startsWith(below))
            other->selected = state;
    updateParentStatus(leafId);
    return true;
}

bool MRV_Worksheet::selectRecords(const QString& leafId,
                                  const QList<MRV_SelectionObject>& records) {
    MRV_WorksheetNode* node = findNode(leafId);
    if (!node || !node->leaf)
        return false;
    node->selection = records;
    node->selected =
        records.isEmpty() ? MRV_WorksheetNode::NotSelected : MRV_WorksheetNode::PartlySelected;
    updateParentStatus(leafId);
    return true;
}

void MRV_Worksheet::updateParentStatus(const QString& leafId) {
    const MRV_WorksheetNode* node = findNode(leafId);
    int carried = node ? node->selected : MRV_WorksheetNode::NotSelected;
    for (QString id = MRV_WorksheetNode::parentId(leafId); !id.isEmpty();
         id = MRV_WorksheetNode::parentId(id)) {
        MRV_WorksheetNode* parent = findNode(id);
        if (!parent)
            continue;
        if (carried != MRV_WorksheetNode::PartlySelected) {
            bool full = false;
            bool notFull = false;
            for (const auto& child : nodes) {
                if (MRV_WorksheetNode::parentId(child->leafId) != id)
                    continue;
                if (child->selected == MRV_WorksheetNode::PartlySelected)
                    full = notFull = true;
                else if (child->selected == MRV_WorksheetNode::Selected)
                    full = true;
                else
                    notFull = true;
                if (full && notFull)
                    break;
            }
            carried = full && notFull ? MRV_WorksheetNode::PartlySelected
                      : full          ? MRV_WorksheetNode::Selected
                                      : MRV_WorksheetNode::NotSelected;
        }
        parent->selected = carried;
    }
}
