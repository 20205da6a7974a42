#pragma once

#include "host/objects/LLServer.h"

#include <QString>
#include <QStringList>

namespace LLObjectsCOM {

// Demo companies for trying and testing the copy: "empty" is a new company
// as the host makes one (a copy target); "standard" a company in use, with
// records in every category that can be copied; "large" the standard
// company with 100,000 more items and 20,000 more business partners.
// The same profile and seed give the same data (apart from password salts
// and the current year, which the host's new company takes from the clock).
class Demo {
public:
    static constexpr quint32 DefaultSeed = 1;
    static constexpr int LargeExtraItems = 100000;
    static constexpr int LargeExtraPartners = 20000;

    struct Summary {
        int tables = 0;       // tables of the company, user tables included
        int filledTables = 0; // of those, the ones holding rows
        qint64 rowsWritten = 0;
        qint64 milliseconds = 0;
    };

    static QStringList profiles();
    // The company name a profile gets when none is given.
    static QString defaultName(const QString& profile);

    static bool create(const Server& server, const QString& database, const QString& profile,
                       quint32 seed, QString* error = nullptr);
    // companyName: empty for the profile's default name.
    static bool create(const Server& server, const QString& database, const QString& profile,
                       quint32 seed, const QString& companyName, Summary* summary,
                       QString* error = nullptr);

    // Where Debian's iso-codes package keeps its JSON files (countries,
    // their subdivisions, currencies).
    static QString isoCodesFolder();
    static void setIsoCodesFolderForTesting(const QString& folder);
    // Fewer extra records make the large profile quick to test; 0 and 0
    // restore the sizes above.
    static void setLargeSizesForTesting(int items, int partners);
};

} // namespace LLObjectsCOM
