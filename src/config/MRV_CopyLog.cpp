#include "config/MRV_CopyLog.h"

#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLServer.h"
#include "tsframework/CLogBase.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString timeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString nameTimeFormat = QStringLiteral("yyyyMMddHHmmss");
const QString lineEnd = QStringLiteral("\r\n");

// Held log lines beyond this many bytes wait in a temporary file.
constexpr qsizetype SpillBytes = qsizetype(1) << 20;

// A file name holds at most this many bytes (UTF-8 on Linux). The target's
// part leaves room for "_", the start time, a number that keeps an older log
// of the same second, and ".txt".
constexpr qsizetype maxNameBytes = 255;
constexpr qsizetype reservedNameBytes = 1 + 14 + 4 + 4;

// A line feed would end the record early and cut the log for every reader.
QString oneLine(QString value) {
    value.replace(u'\n', u' ');
    return value;
}

bool forbiddenInName(QChar c) {
    switch (c.unicode()) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'<':
    case u'>':
    case u'?':
    case u'"':
    case u'\0':
        return true;
    default:
        return false;
    }
}

// The longest start of text, cut between code points, whose UTF-8 form has at
// most maxBytes bytes.
QString cutToBytes(const QString& text, qsizetype maxBytes) {
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const qsizetype size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

} // namespace

MRV_CopyLog::MRV_CopyLog(MRV_ConnectionContext& context) : m_context(context) {}

MRV_CopyLog::~MRV_CopyLog() {
    close();
}

QDateTime MRV_CopyLog::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

quint32 MRV_CopyLog::copyMethodId(int copyMethod) {
    switch (copyMethod) {
    case 1:
        return 2022;
    case 2:
        return 2023;
    case 3:
        return 2024;
    case 4:
        return 2025;
    default:
        return 10009;
    }
}

quint32 MRV_CopyLog::responseId(int response) {
    switch (response) {
    case 0:
        return 2029;
    case 1:
        return 2028;
    case 2:
        return 2027;
    default:
        return 10010;
    }
}

QString MRV_CopyLog::fileNamePart(const QString& targetName) {
    QString part;
    part.reserve(targetName.size());
    for (QChar c : targetName)
        if (!forbiddenInName(c))
            part.append(c);
    return cutToBytes(part, maxNameBytes - reservedNameBytes);
}

QString MRV_CopyLog::fileNameFor(const QString& folder, const QString& targetName,
                                 bool targetIsCompany, const QDateTime& start) {
    QString path = LLObjectsCOM::Server::resolveSharePath(folder);
    if (!path.endsWith(u'/'))
        path.append(u'/');
    path += targetIsCompany ? fileNamePart(targetName) : QStringLiteral("NO_TARGET");
    path += u'_' + start.toString(nameTimeFormat) + QStringLiteral(".txt");
    return path;
}

bool MRV_CopyLog::targetIsCompany() const {
    return m_context.targetCompany != nullptr;
}

QString MRV_CopyLog::targetName() const {
    if (!targetIsCompany())
        return {};
    if (!m_context.targetCompanyName.isEmpty())
        return m_context.targetCompanyName;
    return m_context.targetCompany->CompanyName();
}

bool MRV_CopyLog::open(const QString& logFileFolder) {
    CLogBase log(u"MRV", u"MRV_CopyLog::open");
    close();
    if (logFileFolder.isEmpty()) {
        log.LogError(u"No folder for log files is set");
        return false;
    }
    m_start = now();
    const QString path = fileNameFor(logFileFolder, targetName(), targetIsCompany(), m_start);
    if (!create(path)) {
        log.LogError(u"Failed to open log file '%s': %s", path, m_file.errorString());
        return false;
    }
    m_context.logFilePath = m_path;
    return true;
}

// Never truncates: a log of the same target started in the same second
// (a second run from a script) is kept, and this one takes the next free
// number after the time.
bool MRV_CopyLog::create(const QString& path) {
    const QString stem = path.chopped(4);
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? path : QStringLiteral("%1_%2.txt").arg(stem).arg(n);
        m_file.setFileName(candidate);
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            m_path = candidate;
            return true;
        }
        const QFileInfo entry(candidate);
        if (!entry.exists() && !entry.isSymLink())
            return false;
    }
    return false;
}

void MRV_CopyLog::writeLine(const QString& line) {
    if (!m_file.isOpen())
        throw WriteError("The copy log is not open");
    QByteArray bytes(line.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(line.utf16(), line.size(), bytes.data());
    if (!m_holding) {
        writeBytes(bytes);
        return;
    }
    m_held += bytes;
    if (m_held.size() >= SpillBytes)
        spill();
}

void MRV_CopyLog::spill() {
    if (!m_spill.isOpen()) {
        // O_TMPFILE: a file without a name, which no crash can leave behind.
        const int fd = ::open(QFile::encodeName(QDir::tempPath()).constData(),
                              O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0 || !m_spill.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                                    QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            return;
        }
    }
    if (m_spill.write(m_held) != m_held.size())
        throw WriteError("Failed to hold the copy log's lines in a temporary file: " +
                         m_spill.errorString().toStdString());
    m_held.clear();
}

void MRV_CopyLog::holdLines() {
    m_holding = true;
}

qint64 MRV_CopyLog::heldSize() const {
    return (m_spill.isOpen() ? m_spill.size() : 0) + m_held.size();
}

void MRV_CopyLog::discardLines(qint64 since) {
    const qint64 spilled = m_spill.isOpen() ? m_spill.size() : 0;
    if (since <= 0) {
        m_holding = false;
        m_held.clear();
        m_spill.close();
    } else if (since >= spilled) {
        m_held.truncate(since - spilled);
    } else {
        m_held.clear();
        // The next spill goes on where the kept lines end.
        if (!m_spill.resize(since) || !m_spill.seek(since))
            throw WriteError("Failed to drop held lines of the copy log: " +
                             m_spill.errorString().toStdString());
    }
}

void MRV_CopyLog::commitLines() {
    const QByteArray held = std::exchange(m_held, QByteArray());
    m_holding = false;
    if (held.isEmpty() && !m_spill.isOpen())
        return;
    if (!m_file.isOpen())
        throw WriteError("The copy log is not open");
    if (m_spill.isOpen()) {
        const bool rewound = m_spill.seek(0);
        QByteArray chunk;
        while (rewound && !(chunk = m_spill.read(SpillBytes)).isEmpty())
            writeBytes(chunk);
        const bool read = rewound && m_spill.atEnd();
        const QString why = m_spill.errorString();
        m_spill.close();
        if (!read)
            throw WriteError("Failed to read the copy log's held lines back: " + why.toStdString());
    }
    writeBytes(held);
    // What the target now keeps, the log says for good.
    ::fsync(m_file.handle());
}

QString MRV_CopyLog::escapeField(const QString& value) {
    if (!value.contains(u'|') && !value.contains(u'\\'))
        return value;
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'|' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

namespace {

// Walks line as the writer escaped it: each value character (with its
// escape undone) goes to onChar, each separating "|" to onSeparator, which
// may stop the walk by returning false.
template <typename OnChar, typename OnSeparator>
void walkFields(const QString& line, OnChar onChar, OnSeparator onSeparator) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\\' && i + 1 < line.size() && (line[i + 1] == u'|' || line[i + 1] == u'\\'))
            onChar(line[++i]);
        else if (c == u'|') {
            if (!onSeparator(i))
                return;
        } else
            onChar(c);
    }
}

} // namespace

QStringList MRV_CopyLog::splitLine(const QString& line) {
    QStringList fields{QString()};
    walkFields(
        line, [&](QChar c) { fields.last() += c; },
        [&](qsizetype) {
            fields << QString();
            return true;
        });
    return fields;
}

qsizetype MRV_CopyLog::fieldEnd(const QString& line, int number) {
    qsizetype end = line.size();
    int seen = 0;
    walkFields(
        line, [](QChar) {},
        [&](qsizetype at) {
            if (++seen < number)
                return true;
            end = at;
            return false;
        });
    return end;
}

void MRV_CopyLog::writeBytes(const QByteArray& bytes) {
    if (m_file.write(bytes) != bytes.size()) {
        CLogBase(u"MRV", u"MRV_CopyLog::writeLine")
            .LogError(u"Failed to write to log file '%s': %s", m_path, m_file.errorString());
        throw WriteError("Failed to write to the copy log " + m_path.toStdString() + ": " +
                         m_file.errorString().toStdString());
    }
}

const QString& MRV_CopyLog::endMarker() {
    static const QString marker = QStringLiteral("<MRV_LOG_END>");
    return marker;
}

const QString& MRV_CopyLog::backupMarker() {
    static const QString marker = QStringLiteral("<MRV_BACKUP>");
    return marker;
}

void MRV_CopyLog::writeHeader(const QString& backupFile) {
    const QString base = m_context.baseCompany ? (m_context.baseCompanyName.isEmpty()
                                                      ? m_context.baseCompany->CompanyName()
                                                      : m_context.baseCompanyName)
                                               : QString();
    QStringList fields{m_start.toString(timeFormat),
                       escapeField(oneLine(base)),
                       escapeField(oneLine(targetName())),
                       QString::number(copyMethodId(m_context.copyMethod)),
                       QString::number(responseId(m_context.responseToFailure)),
                       m_context.ignoreMissingUdf ? QStringLiteral("1") : QStringLiteral("0")};
    if (!backupFile.isEmpty())
        fields << backupMarker() + escapeField(oneLine(backupFile));
    writeLine(fields.join(u'|') + lineEnd);
}

void MRV_CopyLog::resetRecord() {
    for (QString& value : m_record)
        value.clear();
}

void MRV_CopyLog::setTransactionType(int operation) {
    switch (operation) {
    case 0:
        m_record[TransactionType] = QStringLiteral("404");
        break;
    case 2:
        m_record[TransactionType] = QStringLiteral("213");
        break;
    case 3:
        m_record[TransactionType] = QStringLiteral("212");
        break;
    default:
        break;
    }
}

void MRV_CopyLog::setError(const QString& value) {
    m_record[ErrorText] = oneLine(value);
}

void MRV_CopyLog::writeRecord(bool write) {
    if (!write)
        return;
    QString line;
    for (int i = 0; i < FieldCount; ++i) {
        if (i > 0)
            line.append(u'|');
        line.append(escapeField(oneLine(m_record[i])));
    }
    writeLine(line + lineEnd);
}

void MRV_CopyLog::writeEnd() {
    commitLines();
    writeLine(endMarker() + now().toString(timeFormat));
    close();
}

void MRV_CopyLog::close() {
    if (!m_file.isOpen())
        return;
    // The run is over: what the log says should outlast a power cut as well.
    ::fsync(m_file.handle());
    m_file.close();
}
