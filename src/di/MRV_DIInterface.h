#pragma once

#include "di/MRV_BOMRecord.h"
#include "di/MRV_BOMTableList.h"
#include "di/MRV_DIDataSet.h"
#include "di/MRV_TableDeclaration.h"
#include "host/objects/LLHResult.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <optional>

namespace LLObjectsCOM {
class Company;
class HostObject;
} // namespace LLObjectsCOM
class ComError;
class MRV_CompanySql;
class MRV_ConnectionContext;
class MRV_DIReferences;

// The selected records of a category: one entry per record, its key values
// in key-column order. Empty means the whole category.
using MRV_KeyList = QList<QVariantList>;

// The base of every category manager, and the record engine that does
// their work through the host's data interface.
//
// A manager declares its category: the six field lists (filled in its
// constructor), and its tables with declareTable() - main table, business
// object type, table rows or settings, key and description columns, references to
// other tables, generated keys, the limits of its rows and of the removal
// phase. The engine reads the category from the base company as record
// documents, lists it for the details grid, and writes documents into the
// target company with a copy method, one copy-log line per record.
// Managers override the virtual operations only where their category needs
// more than its declarations say.
class MRV_DIInterface {
public:
    // The copy methods writeToTarget takes; 0 is the removal phase of
    // "Replace All" that the copy run performs before any category is
    // written.
    enum CopyMethod {
        RemovalPhase = 0,
        ReplaceAll = 1,
        UpdateExisting = 2,
        AddNew = 3,
        AddAndUpdate = 4
    };
    // The method a writer acts on: every value other than the removal
    // phase, "Update Existing" and "Add New" updates what exists and adds
    // the rest.
    static int effectiveMethod(int copyMethod) {
        return copyMethod == RemovalPhase || copyMethod == UpdateExisting || copyMethod == AddNew
                   ? copyMethod
                   : ReplaceAll;
    }
    // The mode prepareObject is called with.
    enum PrepareMode { BeforeUpdate = 2, BeforeAdd = 3 };

    MRV_DIInterface(MRV_ConnectionContext* context, QString categoryId);
    virtual ~MRV_DIInterface();
    MRV_DIInterface(const MRV_DIInterface&) = delete;
    MRV_DIInterface& operator=(const MRV_DIInterface&) = delete;

    // Sets the data set's main table, key definition and grid columns (the
    // columns' descriptions and types as the host gives them); returns 1.
    virtual int initialize();
    // The selected records from the base company, one entry per table (a
    // business object's documents one per record, a table's rows in one
    // document); every record of the category when keys is empty. Throws
    // ComError when a host call fails.
    virtual void readFromDatabase(MRV_KeyList keys, BOMTableList& tables);
    // The details list of the category's records in a configuration file:
    // tables are the category's tables as the file holds them. Records of
    // the last entry of the main table give the rows.
    virtual MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables);
    // The details list of the category's records in the base company.
    // Throws ComError when a host call fails.
    virtual MRV_DIDataSet* listFromDatabase();
    // Writes the entries of tables the category owns into the target with
    // copyMethod (see CopyMethod; values other than 0, 2 and 3 are 1), one
    // copy-log line per record. S_OK when every record was written, S_FALSE
    // when some failed, E_FAIL when the category could not be written at
    // all. Throws MRV_DIFailureAbortException when the user stops the run
    // after a failed record.
    virtual HRESULT writeToTarget(const BOMTableList& tables, int copyMethod);
    // Called just before a business object is saved (mode BeforeUpdate or
    // BeforeAdd): properties that cannot come from the document.
    virtual void prepareObject(int objectType, LLObjectsCOM::HostObject& object, int mode);
    // A row of a table with generated keys: the key the record named name
    // has in the target (true), or the next free key (false). The base
    // works from the table's declaration; false with key untouched when
    // the table has no generated key.
    virtual bool resolveTargetKey(const QString& name, const QString& table, QString& key);
    // Called first when a business-object record is written: elements the
    // target must not receive are removed or changed here.
    virtual void prepareRecord(int objectType, QString& xml);
    // The records of a further table of the category that travel with the
    // tables read before it (a sales employee's employee): their keys, in
    // the order to read them. nullopt, the base's answer, reads the table
    // whole.
    virtual std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                                      const BOMTableList& read);
    // Called just before a new business object is added, with the
    // record's main row as the target receives it: a manager whose records
    // get keys the caller hands out (a counter of the host's) puts the new
    // key into the row. The base leaves the row as it is.
    virtual void assignAutoKey(const MRV_TableDeclaration& table, MRV_BOMRecord::Row& row);

    MRV_ConnectionContext* getConnectionContext() const { return m_context; }
    const QString& getCategoryString() const { return m_categoryId; }
    MRV_DIDataSet& dataSet() { return m_dataSet; }

    const QList<MRV_TableDeclaration>& tables() const { return m_tables; }
    const MRV_TableDeclaration* table(const QString& name) const;
    // The first declared table.
    const MRV_TableDeclaration& mainTable() const;

    // The six field lists.
    const QStringList& keyColumns() const { return m_keyColumns; }
    const QStringList& descriptionElements() const { return m_descriptionElements; }
    const QStringList& listColumns() const { return m_listColumns; }
    const QStringList& listElements() const { return m_listElements; }
    const QStringList& writeFields() const { return m_writeFields; }
    const QList<int>& columnFlags() const { return m_columnFlags; }

    // One record's outcome, as its copy-log line says it.
    struct Outcome {
        int operation = AddNew; // 0 deleted, 2 updated, 3 added
        bool succeeded = false;
        QString baseCode;
        QString baseDescription;
        QString targetCode;
        QString targetDescription;
        QString targetFormerDescription;
        QString error;
        // What the record was written without (an optional reference the
        // target cannot resolve yet).
        QString note;
        // The first key of a business object as the host holds it once
        // added (the number it gave a record it numbers itself).
        QString addedKey;
    };
    // Whether copyMethod writes a record that the target has (exists) or
    // lacks: "Update Existing" needs it there, "Add New" needs it absent.
    // False with the outcome's error saying so.
    static bool admits(int copyMethod, bool exists, Outcome& outcome);
    // Writes the outcome's log line; after a failure, answers the run's
    // response to a failed copy (asking the user or stopping the run).
    void logOutcome(const Outcome& outcome);
    // Runs work for one record, then logs the record's line: a host call
    // that fails in work fails the record with the host's error. True when
    // the record was written.
    bool logged(Outcome& outcome, const std::function<void()>& work);
    // Writes each document as one record and logs its line: work gets the
    // parsed record and the outcome (its operation as the copy method
    // means it). A document that is no record, or a host call that fails in
    // work, fails the record. How many records failed.
    int writeEach(const QList<MRV_BOMDocument>& documents, int copyMethod,
                  const std::function<void(MRV_BOMRecord&, Outcome&)>& work);
    // The record ready for the target through references (user fields, the
    // target's keys of what it names); false with the outcome's error set.
    bool prepareForTarget(MRV_DIReferences& references, const MRV_TableDeclaration& table,
                          MRV_BOMRecord& record, Outcome& outcome);
    // Reads a record's document; one that is none fails its line with the
    // parser's reason.
    bool parseRecord(const MRV_BOMDocument& document, MRV_BOMRecord& record, Outcome& outcome);
    // The records that failed in the last read or write of the category.
    int failedRecords() const { return m_failures; }

protected:
    void declareTable(MRV_TableDeclaration table);
    void setMainTable(const QString& table) { m_dataSet.setMainTable(table); }
    void setKeys(const QStringList& columns, const QStringList& elements) {
        m_dataSet.setKeys(columns, elements);
    }

    // The run's option to write records without the user-defined fields the
    // target lacks.
    bool ignoresMissingUserFields() const;
    // The companies of the run; ComError when the context has none.
    LLObjectsCOM::Company& baseCompany() const;
    LLObjectsCOM::Company& targetCompany() const;

    // Reading.
    void readObjects(MRV_CompanySql& base, const MRV_TableDeclaration& table,
                     const MRV_KeyList& keys, MRV_BOMTable& out);
    // Rows of a table as documents of some hundred rows: those whose
    // columns hold one of the value lists, or the category's rows when
    // columns is empty.
    void readRows(MRV_CompanySql& base, const MRV_TableDeclaration& table,
                  const QStringList& columns, const MRV_KeyList& values, MRV_BOMTable& out);

    // Business-object writers of one record: xml is the record as the
    // target receives it, keys its key values.
    bool UpdateDataSetFromDI(const MRV_TableDeclaration& table, QString xml,
                             const QVariantList& keys, Outcome& outcome);
    bool AddDataSetFromDI(const MRV_TableDeclaration& table, QString xml, Outcome& outcome);
    bool removeObject(const MRV_TableDeclaration& table, const QVariantList& keys,
                      Outcome& outcome);
    void removeAllObjects(MRV_CompanySql& target, const MRV_TableDeclaration& table);
    void writeObjects(MRV_CompanySql& target, const MRV_TableDeclaration& table,
                      const QList<MRV_BOMDocument>& documents, int copyMethod);
    // One record ready for the target, with its key values as text;
    // selfFields name the record itself and get its key in the target.
    void writeObject(MRV_CompanySql& target, const MRV_TableDeclaration& table,
                     MRV_BOMRecord& record, QStringList keyTexts, int flag, int copyMethod,
                     Outcome& outcome, const QStringList& selfFields = {});

    // The six field lists, in this order: the key columns of the main
    // table; the record elements whose values describe a record of the main
    // table (log and grid); the database columns of the details list; the
    // record elements of the same columns (business-object documents); the
    // properties of a written business object that give its code and its
    // description in the log; one flag per list column (1: editable in the
    // grid). Where a list is empty the main table's declaration serves.
    QStringList m_keyColumns;
    QStringList m_descriptionElements;
    QStringList m_listColumns;
    QStringList m_listElements;
    QStringList m_writeFields;
    QList<int> m_columnFlags;
    // Handed to the copy-log writer with every line (0 writes none).
    int m_logFlag = 1;

private:
    friend class MRV_DITableWriter;
    friend class MRV_DISettings;

    // The WHERE conditions that make a row one of the category's (kind and
    // filter), as text to follow " WHERE ", or empty.
    QString categoryCondition(const MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                              const MRV_Sql& extra = MRV_Sql()) const;
    // The keys a statement selects (parents first, or children first).
    // The parent keys of each record of the table in sql's company, by the
    // record's key.
    static QHash<QString, QStringList> parentsIn(MRV_CompanySql& sql,
                                                 const MRV_TableDeclaration& table);
    QList<QStringList> keyRows(MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                               const QString& statement, bool childrenFirst = false);
    // The manager's own key statement, or one selecting the keys of the
    // category's rows (and of extra).
    QString keySelect(const MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                      const MRV_Sql& own, const MRV_Sql& extra = MRV_Sql()) const;
    void readChildren(MRV_CompanySql& base, const MRV_TableDeclaration& parent,
                      const MRV_BOMTable& parentRows, BOMTableList& tables);
    QList<MRV_BOMDocument> parentsFirst(const MRV_TableDeclaration& table,
                                        const QList<MRV_BOMDocument>& documents) const;
    // The entries in the order they are written: companions first; in a
    // writing pass, a table after the tables of the category its records
    // name.
    BOMTableList writingOrder(const BOMTableList& tables, bool removal) const;
    // The key values of a record's main row, typed for the target.
    QVariantList typedKeys(MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                           const QStringList& texts) const;
    // The record ready for the target (user fields, references); false with
    // the outcome's error set.
    bool prepareForTarget(const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                          Outcome& outcome);
    // Adds the record to the target (the host's document of it); false with
    // the outcome's error set.
    bool addObject(const MRV_TableDeclaration& table, const QString& xml, Outcome& outcome);
    // Remove and add again, for an object without a browser.
    bool replaceObject(const MRV_TableDeclaration& table, LLObjectsCOM::HostObject& found,
                       const QString& xml, Outcome& outcome);
    // The fields that give a record's code and description in the log.
    QStringList codeFields(const MRV_TableDeclaration& table) const;
    QString descriptionField(const MRV_TableDeclaration& table) const;
    QString baseDescription(const MRV_TableDeclaration& table, const MRV_BOMRecord::Row& row) const;
    QString objectProperty(LLObjectsCOM::HostObject& object, const QString& name) const;
    void describeTarget(LLObjectsCOM::HostObject& object, const MRV_TableDeclaration& table,
                        Outcome& outcome) const;
    // The company's last error, or a host call's error, as the log shows it.
    QString hostError(LLObjectsCOM::Company& company) const;
    void respondToFailure(const Outcome& outcome);
    // The rows that can travel; the others are logged as failed.
    QString writableRows(const MRV_TableDeclaration& table, const QString& rows);
    // The company that can describe the grid's columns: base, else target,
    // else the user's own; null when none is connected.
    LLObjectsCOM::Company* describingCompany() const;

    MRV_ConnectionContext* m_context;
    QString m_categoryId;
    MRV_DIDataSet m_dataSet;
    QList<MRV_TableDeclaration> m_tables;
    // The target side of the write in progress.
    MRV_DIReferences* m_references = nullptr;
    int m_failures = 0;
    // The target's records of the tables whose keys the host generates, by
    // name: read once per write of the category instead of a lookup per
    // record (the name column has no index), and kept up to date as records
    // are added.
    struct NameIndex {
        QHash<QString, QString> keys; // name (folded where the server ignores case) -> key
        qlonglong maxKey = 0;
        bool caseless = false;
        QString folded(const QString& name) const { return caseless ? name.toCaseFolded() : name; }
    };
    NameIndex& namesOf(const MRV_TableDeclaration& table);
    // Within one write a target record is written from one base record at
    // most: identity is what the target finds the record by (its key, or
    // the name of a record the host numbers), compared as the server
    // compares. False, with the outcome's error naming the first, for a
    // second.
    bool claimTarget(const MRV_TableDeclaration& table, const QStringList& identity,
                     Outcome& outcome);
    QHash<QString, QHash<QString, QString>> m_claimed; // table -> identity -> base code
    // What names a record of a table whose keys the host generates
    // (generatedKeyName and generatedKeyAlso), as one text.
    static QString generatedName(const MRV_TableDeclaration& table, const MRV_BOMRecord::Row& row);

protected:
    // The values that together name a record whose key the host generates
    // (generatedKeyName, then generatedKeyAlso), as resolveTargetKey takes
    // them.
    static QString generatedName(const QStringList& parts);
    // A host call's error as a record's line shows it: "code: description".
    static QString errorText(const ComError& error);
    // A base record that cannot be read or cannot travel: it is left out,
    // logged as failed with why, and shown to the user; in a copy run the
    // response to a failure follows (MRV_DIFailureAbortException).
    void logReadFailure(const QString& code, const QString& error);

private:
    // The target's server compares text without regard to case.
    bool caselessTarget();
    std::optional<bool> m_caseless;
    // A record of a table with generated keys was added under key.
    void rememberName(const MRV_TableDeclaration& table, const QString& name, const QString& key);
    QHash<QString, NameIndex> m_names;
};
