#pragma once

#include <QChar>
#include <QList>
#include <QString>

#include <optional>

namespace LLObjectsCOM {

class Database;

// User-defined tables and fields of a company: each is a row of the host's
// catalogue (OUTB, CUFD) and a real table or column of the database, made,
// changed and dropped together or not at all. Every call runs in a
// savepoint of its own, so it may be made inside a larger transaction.
//
// caseInsensitive: the server compares text without regard to case; new
// text columns then collate NOCASE like those of the schema.
class UserTables {
public:
    struct Table {
        QString name; // without the leading '@'
        QString description;
        int objectType = 0; // 0 none, 1 master data, 2 its lines, 3 document, 4 its lines
    };
    struct Field {
        QString table; // "OITM" or "@NAME"
        int fieldId = 0;
        QString alias; // without "U_"
        QString description;
        QChar type; // A, M, N, B or D
        int size = 0;
        QString column() const { return QStringLiteral("U_") + alias; }
    };

    // The host's field types: A alphanumeric (size 1 to 254), M memo,
    // N whole number, B amount (numeric(19,6)), D date.
    static bool isFieldType(QChar type);
    // The digit CUFD.TypeID holds for a type (0 A, 1 M, 2 N, 3 D, 4 B), and
    // back; a null QChar for anything else.
    static QChar typeId(QChar type);
    static QChar typeFromId(QChar id);

    // A user table "@name": 1 to 19 letters, digits or '_' (no '@'), not
    // used already in any case.
    static bool addTable(Database& db, bool caseInsensitive, const QString& name,
                         const QString& description, int objectType, QString* error = nullptr);
    // Drops the table, its OUTB row and its fields' rows; refused while a
    // user-defined object is built on it.
    static bool removeTable(Database& db, const QString& name, QString* error = nullptr);
    static std::optional<Table> table(Database& db, const QString& name);
    static QList<Table> tables(Database& db);

    // Column U_<alias> (alias: 1 to 18 letters, digits or '_') on a table of
    // the schema ("OITM") or a user table ("@NAME"). size counts only for A.
    static bool addField(Database& db, bool caseInsensitive, const QString& table,
                         const QString& alias, const QString& description, QChar type, int size,
                         QString* error = nullptr);
    static bool removeField(Database& db, const QString& table, const QString& alias,
                            QString* error = nullptr);
    // The fields of a table in FieldID order; empty for an unknown table.
    static QList<Field> fields(Database& db, const QString& table);

    // A key of a user table ("@NAME"): an index over the columns of the
    // given fields (aliases without "U_"), unique when asked. It goes with
    // its table. name: 1 to 20 letters, digits or '_', not used on the
    // table already.
    static bool addKey(Database& db, const QString& table, const QString& name, bool unique,
                       const QStringList& aliases, QString* error = nullptr);
    static bool hasKey(Database& db, const QString& table, const QString& name);
};

} // namespace LLObjectsCOM
