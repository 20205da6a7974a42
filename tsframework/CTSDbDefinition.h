#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The user tables an add-on needs, as its database definition resource
// states them:
//
//   <database><usertables>
//     <usertable TableName="…" TableDescription="…">
//       <userfields>
//         <userfield Name="…" Description="…" Type="CHAR" Size="32"
//                    DefaultValue="…">
//           <ValidValues><ValidValue Value="Y" Description="Yes"/></ValidValues>
//         </userfield>
//       </userfields>
//       <userkeys>
//         <userkey Name="…" Unique="Y"><element>…</element></userkey>
//       </userkeys>
//     </usertable>
//   </usertables></database>
struct CTSDbDefinition {
    // Field types and the host's field type (0 alphanumeric, 1 memo, 2
    // numeric, 3 date, 4 amount) each stands for.
    enum class Type { Char, Int, Id, Flag, Memo, Date, Float };

    struct ValidValue {
        QString value;
        QString description;
    };
    struct Field {
        QString name; // without "U_"
        QString description;
        Type type = Type::Char;
        int size = 0; // characters, for Char (and 1 for Flag)
        QString defaultValue;
        QList<ValidValue> validValues;
        // The host's type number and the size it keeps for the field.
        int hostType() const;
        int hostSize() const;
    };
    struct Key {
        QString name;
        bool unique = false;
        QStringList fields; // field names
    };
    struct Table {
        QString name; // without "@"
        QString description;
        QList<Field> fields;
        QList<Key> keys;
    };

    QList<Table> tables;

    // Reads a definition document. False, with a one-line reason, for a
    // document that is not well formed, an unknown element or type, a
    // missing name, a CHAR field without a size of 1 to 254, a field or table
    // named twice, or a key that names no field or a field the table lacks.
    static bool parse(const QString& xml, CTSDbDefinition& definition, QString& error);
    static bool typeFromName(const QString& name, Type& type);
};
