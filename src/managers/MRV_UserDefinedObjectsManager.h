#pragma once

#include "di/MRV_DIInterface.h"

class MRV_BOMRecord;

// User-Defined Objects: business object 206 in OUDO, with its child tables
// (UDO1), find columns (UDO2) and form columns (UDO3). A definition travels
// in the program's own record ("<BOM><UDO>...</UDO></BOM>", see
// udoRecord), and is written into the target as the host's object built
// from it. The tables it names come with User-Defined Tables, before it.
class MRV_UserDefinedObjectsManager : public MRV_DIInterface {
public:
    MRV_UserDefinedObjectsManager(MRV_ConnectionContext* context, const QString& categoryId);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

    // The record of a definition, from the host's document of object 206:
    // its properties in a fixed order, then "ChildTables" (CT_0, CT_1 ...),
    // "FindColumns" (FiC_n) and "FormColumns" (FoC_n), each list an empty
    // element when it has nothing. Every value is escaped. Empty, with why,
    // when the document holds no definition or a value XML cannot carry.
    static QString udoRecord(const MRV_BOMRecord& object, QString* why = nullptr);
    // The host's document of object 206 from such a record; false, with
    // why, for text that is not a well-formed definition record.
    static bool hostObject(const QString& record, MRV_BOMRecord& object, QString& why);

    // The type's text: 36 "Master Data" for 1, 37 "Document" otherwise.
    static QString typeText(const QString& type);
};
