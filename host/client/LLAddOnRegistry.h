#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One add-on the client knows: its name, the program that is the add-on,
// whether the client starts it on its own, and where the entry came from
// ("file:line", or the command line).
struct LLAddOnEntry {
    QString name;
    QString program; // absolute
    bool autoStart = true;
    QString source;

    bool operator==(const LLAddOnEntry&) const = default;
};

// The add-ons registered with the client. A registry file holds one
// section per add-on, in UTF-8:
//
//   # a comment (also ';')
//   [AddOn]
//   Name=Sample Tools
//   Exec=../../../bin/sample-tools
//   AutoStart=true
//
// Name and Exec are needed; a relative Exec is taken from the file's own
// folder, so a registry file installed beside the program's data still
// finds the program wherever the whole is installed. AutoStart is true or
// false (also 1/0, yes/no) and defaults to true. Any other key, a key given
// twice, a section that is not [AddOn], a line that is neither, or a name
// given twice in one file makes the entry malformed: it is left out and the
// reason reported with the file and line. A program that does not exist or
// cannot run is reported but kept, for the client to say why it does not
// start.
//
// The sources, read in this order, each later entry of a name replacing an
// earlier one: every *.ini in <program folder>/../share/ledgerline/addons/,
// in ledgerline/addons/ of the XDG data folders (the system's, then the
// user's), the user's own <XDG config>/ledgerline/addons.ini, and the
// programs named on the command line.
class LLAddOnRegistry {
public:
    // Reads every standard source, then adds the command line's programs.
    void loadStandard(const QStringList& commandLinePrograms = {});
    // The registry folders in the order they are read, each once.
    static QStringList dataFolders();
    static QString userFile();

    // Reads every *.ini of folder, by name; a folder that is not there has
    // nothing to read.
    void readFolder(const QString& folder);
    // False when the file cannot be read at all.
    bool readFile(const QString& path);
    // An add-on given as its program alone: named after the file, started
    // on its own.
    void addProgram(const QString& program);

    const QList<LLAddOnEntry>& entries() const { return m_entries; }
    // What was wrong, one line each: "where: why".
    const QStringList& problems() const { return m_problems; }

private:
    void add(LLAddOnEntry entry);
    void report(const QString& where, const QString& why);

    QList<LLAddOnEntry> m_entries;
    QStringList m_problems;
};
