#pragma once

#include <QList>
#include <QString>

// One field of a selected record: its name, its value and its type, all as
// the category manager that listed the record wrote them.
struct MRV_SelectionField {
    QString fieldName;
    QString value;
    QString type;

    bool operator==(const MRV_SelectionField&) const = default;
};

// One selected record of a partly selected category: the fields that find
// it again in the base (keys), the keys under which it is known elsewhere
// (substitute keys) and whatever else the category manager keeps with it.
// The worksheet keeps and writes these as they are.
struct MRV_SelectionObject {
    QList<MRV_SelectionField> keys;
    QList<MRV_SelectionField> substituteKeys;
    QList<MRV_SelectionField> additionalData;

    bool operator==(const MRV_SelectionObject&) const = default;
};
