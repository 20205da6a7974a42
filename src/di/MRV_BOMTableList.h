#pragma once

#include <QList>
#include <QString>

// One record document of the host ("<BOM>" ... "</BOM>", with or without
// the host's declaration in front): a business object with its lines, or
// the rows of a table wrapped as a document of object -1.
struct MRV_BOMDocument {
    QString xml;
    // 1 when the record is known to exist in the target (the per-record
    // writer of "Replace All" and "Add New Records and Update Existing
    // Records" then updates it instead of adding it); 0 when unknown.
    int flag = 0;
};

// The documents of one database table.
struct MRV_BOMTable {
    QString name;
    QList<MRV_BOMDocument> documents;
};

// A category's records, table by table, in the order they are read and
// written: what a category reads from its base and what a target write
// receives.
using BOMTableList = QList<MRV_BOMTable>;
