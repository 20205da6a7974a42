#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <array>
#include <functional>
#include <stdexcept>

class MRV_ConnectionContext;

// The log of one copy run: a header line (start time, base, target, copy
// options), one line per record written, deleted or failed, and an end line
// with the end time. UTF-16LE without a byte-order mark, CRLF line ends,
// fields joined by "|"; values are written as they are except that line
// feeds become spaces, so that every record stays one line.
//
// A "|" or "\" inside a value is written escaped ("\|", "\\"), so that a
// reader splits a line only where a field ends; values without either are
// written as they are.
//
// Unlike the program's other files the log is written as the run goes, not
// through a temporary file: a run that dies must leave the lines written so
// far. Every line goes to the file in one unbuffered write, so whatever the
// process wrote survives a crash of the process; the file is synced to disk
// when the log ends or is closed. The lines of a category the target commits
// as one are held back and written with its commit (holdLines,
// commitLines): a run killed before the commit leaves none of them, as the
// target keeps none of its records.
class MRV_CopyLog {
public:
    // A line could not be written (disk full, file gone, log not open). The
    // run handles it like any other failure while a category is written.
    class WriteError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    enum Field {
        CategoryId,
        TransactionType,
        Result,
        BaseCode,
        BaseDescription,
        TargetCode,
        TargetDescription,
        TargetFormerDescription,
        ErrorText,
        FieldCount
    };

    // The moment "now" for the start and end times; local time.
    using Clock = std::function<QDateTime()>;

    explicit MRV_CopyLog(MRV_ConnectionContext& context);
    ~MRV_CopyLog();
    MRV_CopyLog(const MRV_CopyLog&) = delete;
    MRV_CopyLog& operator=(const MRV_CopyLog&) = delete;

    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Creates the log in logFileFolder (the log-file folder of the stored
    // settings, read by the caller) and takes the start time. False when the
    // folder is empty or the file cannot be created. On success the
    // connection context records the file's path as the current log file.
    bool open(const QString& logFileFolder);
    bool isOpen() const { return m_file.isOpen(); }
    const QString& filePath() const { return m_path; }
    const QDateTime& startTime() const { return m_start; }

    // Line 1 from the connection context; a backup of the target made for
    // the run is named in a seventh field, after backupMarker().
    void writeHeader(const QString& backupFile = QString());

    void resetRecord();
    void setCategoryId(const QString& value) { m_record[CategoryId] = value; }
    void setTransactionType(const QString& value) { m_record[TransactionType] = value; }
    // Operation 0 logs "404" (deleted), 2 "213" (updated), 3 "212" (added);
    // any other operation leaves the transaction type as it is.
    void setTransactionType(int operation);
    void setResult(const QString& value) { m_record[Result] = value; }
    void setBaseCode(const QString& value) { m_record[BaseCode] = value; }
    void setBaseDescription(const QString& value) { m_record[BaseDescription] = value; }
    void setTargetCode(const QString& value) { m_record[TargetCode] = value; }
    void setTargetDescription(const QString& value) { m_record[TargetDescription] = value; }
    void setTargetFormerDescription(const QString& value) {
        m_record[TargetFormerDescription] = value;
    }
    void setError(const QString& value);
    const QString& field(Field field) const { return m_record[field]; }

    // Writes the current record as one line when write is true.
    void writeRecord(bool write);

    // Lines written from now on are held back until commitLines writes
    // them and syncs the file, or discardLines drops them. Beyond a
    // megabyte they wait in an anonymous temporary file (gone with the
    // process), so a large category does not hold its log in memory.
    void holdLines();
    void commitLines();
    // Drops what was held after the first since bytes (all of it by
    // default) and goes on holding when anything is left; heldSize() is
    // the mark to give it.
    void discardLines(qint64 since = 0);
    qint64 heldSize() const;

    // A value as a field of a line: "\" and "|" escaped.
    static QString escapeField(const QString& value);
    // What begins the end line, and the header's field naming the backup.
    static const QString& endMarker();
    static const QString& backupMarker();
    // The fields of a line: split where a "|" is not escaped, the escapes
    // undone. A backslash before any other character stays as it is, so
    // logs written before values were escaped read as they did.
    static QStringList splitLine(const QString& line);
    // Where field number ends in line (the position of its "|" as
    // splitLine reads it), or the line's length.
    static qsizetype fieldEnd(const QString& line, int number);

    // Writes the end line (which has no line end) and closes the log.
    void writeEnd();
    // Syncs and closes; nothing more can be written.
    void close();

    // The file the log of a run started at start goes to: folder, the
    // target's name made fit for a file name (or "NO_TARGET"), "_", the
    // start time and ".txt". Folders may be written with either slash, and
    // a share path of the host is resolved.
    static QString fileNameFor(const QString& folder, const QString& targetName,
                               bool targetIsCompany, const QDateTime& start);
    // The target's name without the characters a file name cannot hold,
    // shortened to fit the file system's name length.
    static QString fileNamePart(const QString& targetName);

    // The string ids that stand in the header for a copy method and a
    // response if copy fails.
    static quint32 copyMethodId(int copyMethod);
    static quint32 responseId(int response);

private:
    QString targetName() const;
    bool targetIsCompany() const;
    bool create(const QString& path);
    void writeLine(const QString& line);
    void writeBytes(const QByteArray& bytes);
    // The held bytes moved to the temporary file; kept in memory where no
    // such file can be made.
    void spill();
    QDateTime now() const;

    MRV_ConnectionContext& m_context;
    QFile m_file;
    QString m_path;
    QDateTime m_start;
    std::array<QString, FieldCount> m_record;
    Clock m_clock;
    bool m_holding = false;
    QByteArray m_held; // after what the spill file holds
    QFile m_spill;
};
