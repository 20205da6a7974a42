#pragma once

#include <QList>
#include <QString>

#include <utility>

// A record the user edited in the details grid: the table and key values
// that find it, and each changed field with its old and new value.
struct MRV_ChangedField {
    QString name;
    QString oldValue;
    QString newValue;
    bool operator==(const MRV_ChangedField&) const = default;
};

struct MRV_ChangedRecord {
    QString table;
    QList<std::pair<QString, QString>> keys; // element name -> value
    QList<MRV_ChangedField> fields;
    bool operator==(const MRV_ChangedRecord&) const = default;
};

// Changes a category's record text (its "<table ...>" elements as a
// configuration file holds them) before it is written: the user's edits go
// in, and a partial selection keeps only the selected records.
class MRV_ChangedDataManager {
public:
    // Puts one edited record's new values into text. False (logged, and the
    // XML error shown) when its table or record is not in the text.
    static bool mergeSingle(QString& text, const MRV_ChangedRecord& record);

    // Keeps the records whose key elements hold the values of one of the
    // selected key sets (element name -> value each); the text becomes empty
    // when nothing is selected. A record document with lines is kept or
    // dropped whole, by its main row; a document of plain table rows keeps
    // its matching rows.
    static void removeUnselected(QString& text,
                                 const QList<QList<std::pair<QString, QString>>>& selected);

    // The text of the first element name in a row ("" for an empty one);
    // nothing when the row has no such element.
    static bool elementText(QStringView row, const QString& name, QString* text);
};
