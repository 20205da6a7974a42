#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <utility>

// What a configuration file holds, as the configuration manager keeps it in
// memory.

// The header: where the data came from and with which copy options.
struct ConfigurationHeader {
    QString configurationName;
    QString dbVersion;
    QString localization;
    QString creationUser;
    QString creationDate;
    QString additionalDescr;
    bool partialConfiguration = false;
    bool backup = false;
    bool approval = false;
    int copyMethod = 0;
    int RTCF = 0;
    bool FRFMUDF = false;
};

// One table of a category: its attributes (always "name") and the record
// documents, each from "<BOM>" to "</BOM>", one after the other.
struct ConfigurationTable {
    QMap<QString, QString> attributes;
    QString records;

    QString name() const { return attributes.value(QStringLiteral("name")); }
};

// One category (OBJECT): its attributes (always "string_id") and its tables
// in file order and by name.
struct ConfigurationObject {
    QMap<QString, QString> attributes;
    QMap<int, ConfigurationTable> tables;
    QMap<QString, std::pair<int, ConfigurationTable>> tablesByName;

    QString stringId() const { return attributes.value(QStringLiteral("string_id")); }
};

// The records of one table as separate documents, as the category managers
// take and give them.
struct ConfigurationTableData {
    QString table;
    QList<QString> documents;
};
