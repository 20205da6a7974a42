#pragma once

#include "cli/MRV_CliCommand.h"

#include <QList>

class MRV_ConfigurationManager;
class MRV_ConnectionContext;
class MRV_Worksheet;
class MRV_WorksheetNode;
struct MRV_SelectionObject;

// "worksheet new|show|select": a worksheet made for a base and a target,
// its tree shown with the selection states, and categories selected.
class MRV_CliWorksheetCommands : public MRV_CliCommand {
public:
    using MRV_CliCommand::MRV_CliCommand;
    int run(const QStringList& args) override;

private:
    // One "CATEGORY_ID" (a category or a folder, whole), "CATEGORY_ID="
    // (none) or "CATEGORY_ID=KEY,..." (those records of a category).
    struct Request {
        MRV_WorksheetNode* node = nullptr;
        bool whole = false;
        QStringList keys; // one per record; empty with whole unset: none
    };

    int create(const QStringList& args);
    int show(const QString& path);
    int select(const MRV_CliArgs& args);

    // The requests of the command line; a usage error (returned) naming
    // every category that is unknown, cannot be selected, or cannot be
    // copied yet.
    int parseRequests(MRV_Worksheet& worksheet, const QStringList& selections,
                      QList<Request>& requests);
    // Whether any request picks single records.
    static bool picksRecords(const QList<Request>& requests);
    // Applies the requests; records are found among those the base lists
    // (the context's base company, or file: the base configuration file).
    // A usage error (returned) names each key the base does not hold.
    int apply(MRV_Worksheet& worksheet, const QList<Request>& requests,
              MRV_ConnectionContext& context, const MRV_ConfigurationManager* file);
    // The base's records of the node's category with these keys; false
    // with the reason.
    bool pickRecords(MRV_ConnectionContext& context, const MRV_ConfigurationManager* file,
                     const MRV_WorksheetNode& node, const QStringList& keys,
                     QList<MRV_SelectionObject>& records, QString* error);
};
