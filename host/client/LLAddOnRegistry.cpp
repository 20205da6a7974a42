#include "host/client/LLAddOnRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A registry file is a few lines; anything bigger is not one.
constexpr qint64 MaxFileSize = 1024 * 1024;

const QStringList Keys{u"Name"_s, u"Exec"_s, u"AutoStart"_s};

std::optional<bool> parseFlag(const QString& value) {
    for (const QString& yes : {u"true"_s, u"1"_s, u"yes"_s})
        if (value.compare(yes, Qt::CaseInsensitive) == 0)
            return true;
    for (const QString& no : {u"false"_s, u"0"_s, u"no"_s})
        if (value.compare(no, Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

// One section of a file as it is read: its keys, or why it is no entry.
struct Section {
    int line = 0;
    QString why;
    QString whyLine; // the line the reason is about
    QHash<QString, QString> values;
};

} // namespace

QStringList LLAddOnRegistry::dataFolders() {
    QStringList folders{QCoreApplication::applicationDirPath() + u"/../share/ledgerline/addons"_s};
    const QStringList data = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    // The user's own folder comes first there and is to win: read it last.
    for (auto it = data.crbegin(); it != data.crend(); ++it)
        folders << *it + u"/ledgerline/addons"_s;
    QStringList unique;
    QStringList seen;
    for (const QString& folder : folders) {
        const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
        const QString canonical = QFileInfo(clean).canonicalFilePath();
        const QString key = canonical.isEmpty() ? clean : canonical;
        if (!seen.contains(key)) {
            seen << key;
            unique << clean;
        }
    }
    return unique;
}

QString LLAddOnRegistry::userFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/ledgerline/addons.ini"_s;
}

void LLAddOnRegistry::loadStandard(const QStringList& commandLinePrograms) {
    for (const QString& folder : dataFolders())
        readFolder(folder);
    if (QFileInfo::exists(userFile()) || QFileInfo(userFile()).isSymLink())
        readFile(userFile());
    for (const QString& program : commandLinePrograms)
        addProgram(program);
}

void LLAddOnRegistry::readFolder(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        return;
    // Everything named *.ini, not only the regular files: one that is
    // something else is reported, not passed over.
    const QFileInfoList files = dir.entryInfoList(
        {u"*.ini"_s}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& file : files)
        readFile(file.filePath());
}

bool LLAddOnRegistry::readFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        report(path, info.exists() ? u"is not a regular file; it is left out"_s
                                   : u"does not exist or is a broken link; it is left out"_s);
        return false;
    }
    if (info.size() > MaxFileSize) {
        report(path, u"is larger than %1 bytes; it is left out"_s.arg(MaxFileSize));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(path, u"cannot be read (%1); it is left out"_s.arg(file.errorString()));
        return false;
    }
    const QByteArray bytes = file.read(MaxFileSize + 1);
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError() || file.error() != QFileDevice::NoError) {
        report(path, file.error() != QFileDevice::NoError
                         ? u"cannot be read (%1); it is left out"_s.arg(file.errorString())
                         : u"is not UTF-8 text; it is left out"_s);
        return false;
    }

    const QString folder = info.absolutePath();
    QStringList namesHere;
    std::optional<Section> section;
    const auto finish = [&] {
        if (!section)
            return;
        Section s = *std::exchange(section, std::nullopt);
        const QString where = u"%1:%2"_s.arg(path).arg(s.line);
        const QString name = s.values.value(u"Name"_s).trimmed();
        const QString exec = s.values.value(u"Exec"_s).trimmed();
        const QString autoStartText = s.values.value(u"AutoStart"_s, u"true"_s).trimmed();
        const std::optional<bool> autoStart = parseFlag(autoStartText);
        if (s.why.isEmpty()) {
            if (name.isEmpty())
                s.why = u"the entry has no Name"_s;
            else if (std::any_of(name.cbegin(), name.cend(),
                                 [](QChar c) { return c.category() == QChar::Other_Control; }))
                s.why = u"the name holds control characters"_s;
            else if (exec.isEmpty())
                s.why = u"the entry '%1' has no Exec"_s.arg(name);
            else if (!autoStart)
                s.why = u"AutoStart '%1' is not true or false"_s.arg(autoStartText);
            else if (namesHere.contains(name))
                s.why = u"the name '%1' is registered above in the same file"_s.arg(name);
        }
        if (!s.why.isEmpty()) {
            report(s.whyLine.isEmpty() ? where : s.whyLine, s.why + u"; the entry is left out"_s);
            return;
        }
        namesHere << name;
        add({name, QDir::cleanPath(QDir(folder).absoluteFilePath(exec)), *autoStart, where});
    };

    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = u"%1:%2"_s.arg(path).arg(i + 1);
        const auto refuse = [&](const QString& why) {
            if (!section) {
                report(where, why);
            } else if (section->why.isEmpty()) {
                section->why = why;
                section->whyLine = where;
            }
        };
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            finish();
            section = Section{int(i + 1), {}, {}, {}};
            if (!line.endsWith(u']'))
                refuse(u"the section header '%1' has no ']'"_s.arg(line));
            else if (line.compare(u"[AddOn]"_s, Qt::CaseInsensitive) != 0)
                refuse(u"unknown section %1 (only [AddOn])"_s.arg(line));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) {
            refuse(u"the line '%1' is neither a section nor key=value"_s.arg(line));
            continue;
        }
        const QString given = line.left(equals).trimmed();
        const auto key = std::find_if(Keys.cbegin(), Keys.cend(), [&](const QString& k) {
            return k.compare(given, Qt::CaseInsensitive) == 0;
        });
        if (!section)
            refuse(u"the key '%1' stands outside an [AddOn] section"_s.arg(given));
        else if (key == Keys.cend())
            refuse(u"unknown key '%1' (Name, Exec, AutoStart)"_s.arg(given));
        else if (section->values.contains(*key))
            refuse(u"the key %1 is given twice"_s.arg(*key));
        else
            section->values.insert(*key, line.mid(equals + 1));
    }
    finish();
    return true;
}

void LLAddOnRegistry::addProgram(const QString& program) {
    const QFileInfo info(program);
    add({info.fileName(), QDir::cleanPath(info.absoluteFilePath()), true, u"--addon"_s});
}

void LLAddOnRegistry::add(LLAddOnEntry entry) {
    const QFileInfo program(entry.program);
    if (!program.exists())
        report(entry.source, u"the program %1 of the add-on '%2' does not exist"_s.arg(
                                 entry.program, entry.name));
    else if (!program.isFile() || !program.isExecutable())
        report(entry.source, u"the program %1 of the add-on '%2' is not an executable file"_s.arg(
                                 entry.program, entry.name));
    for (LLAddOnEntry& known : m_entries)
        if (known.name == entry.name) {
            known = std::move(entry);
            return;
        }
    m_entries << std::move(entry);
}

void LLAddOnRegistry::report(const QString& where, const QString& why) {
    // A report quotes what the file holds and goes to a terminal: no
    // control sequences.
    QString problem = where + u": "_s + why;
    for (QChar& c : problem)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    m_problems << problem;
}
