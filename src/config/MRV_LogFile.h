#pragma once

#include "host/objects/LLHResult.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class MRV_ConnectionContext;

// Where a category stands in the worksheet tree: the leaf id of its node and
// the texts of the folders above it, joined by ">".
struct MRV_LogCategory {
    QString leafId;
    QString path;
};

// A copy log read back for showing: the header text and one row of eleven
// values per record line, with ids turned into texts in the language of the
// moment. The log viewer and the command line show and export it.
class MRV_LogFile {
public:
    enum Column {
        CategoryNo,
        CategoryPath,
        Category,
        TransType,
        Result,
        BaseCode,
        BaseDesc,
        TargetCode,
        TargetDesc,
        TargetFormerDesc,
        Error,
        ColumnCount
    };
    using Row = QStringList;

    // The tree position of a category id, or nothing when the id is not a
    // leaf of the worksheet template.
    using CategoryLookup = std::function<std::optional<MRV_LogCategory>(const QString&)>;

    explicit MRV_LogFile(const QString& path = {});

    const QString& path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }

    // Without a lookup every category of the catalogue is accepted, with no
    // leaf id and no path.
    void setCategoryLookup(CategoryLookup lookup) { m_lookup = std::move(lookup); }
    // The lookup in the worksheet template beside the program; none when
    // the template cannot be read.
    static CategoryLookup templateLookup(MRV_ConnectionContext* context);

    // Reads the file named by path() into the rows, in the interaction's
    // current language. An unreadable file, one that is not a copy log (no
    // header line of six fields with a start time) or a bad line is
    // reported to the user; the rows read before a bad line stay. S_OK when
    // every line was read, E_FAIL otherwise. A log without its end line
    // reads whole: hasEndLine() tells that its run was interrupted.
    HRESULT loadLogFile();

    // Parses one record line (number counts record lines from 0) into a row.
    // 0 when a row was added, 1 for an empty line, E_FAIL when the line is
    // bad; failureMessage() then says why.
    HRESULT InsertLogLine(const QString& line, int number, int language);

    // Line 1 without byte-order marks, with "|" and the end time appended
    // when the end line was read.
    const QString& headerText() const { return m_header; }
    // The header's six fields, unescaped: start time, base, target, the
    // copy method's and the response's string ids, the missing-fields flag.
    const QStringList& headerFields() const { return m_headerFields; }
    // The backup of the target made before the run, as the header names
    // it; empty when none was made.
    const QString& backupFile() const { return m_backupFile; }
    // The end time, empty without an end line.
    const QString& endTime() const { return m_endTime; }
    bool hasEndLine() const { return m_hasEnd; }
    // The record lines read (empty ones too), up to the end line or the
    // first bad line.
    int recordLineCount() const { return m_recordLines; }
    // The number a text starts with, read as the C library reads an int.
    static int leadingNumber(const QString& text);
    const QList<Row>& rows() const { return m_rows; }
    // The column titles in the language the file was read in.
    const QStringList& columnTitles() const { return m_titles; }
    static QStringList columnTitles(int language);
    static quint32 columnTitleId(int column);

    // The rows in the order they are first shown: by Category No., then by
    // Trans. Type, both compared as plain case-sensitive text; rows equal in
    // both keep their file order.
    QList<int> shownOrder() const;

    // The last failure: the column (1 to 3, or 0 for a line of the wrong
    // format) and value, and the message for it in the language given.
    int failingColumn() const { return m_failColumn; }
    const QString& failingValue() const { return m_failValue; }
    QString failureMessage(int language) const;

    // The export for spreadsheets: the column titles, then for each row of
    // order (indexes into rows()) "#" and its eleven values, every value
    // followed by a tab, every line by CR LF; 8-bit text (UTF-8). Written
    // through a temporary file. False when it cannot be written.
    bool writeExcel(const QString& fileName, const QList<int>& order) const;
    QByteArray excelText(const QList<int>& order) const;

    // "Save as Excel...": asks for the file (starting in logFileFolder),
    // writes it and reports a failure. 0 when written, 1 when the user
    // cancelled, E_FAIL when it could not be written.
    HRESULT saveAsExcel(const QList<int>& order, const QString& logFileFolder) const;

private:
    struct CategoryText {
        bool known = false;
        QString leafId;
        QString path;
        QString text;
    };

    void clear();
    // The texts found so far are those of one language.
    void useLanguage(int language);
    const CategoryText& category(const QString& categoryId, int language);
    const QString& stringText(quint32 id, int language);
    HRESULT fail(int column, const QString& value, const QString& line, int number);
    static bool isHeader(const QStringList& fields);
    // The fields of a line that should have count of them.
    static QStringList fieldsOf(const QString& line, int count);
    // The file is not a copy log: said to the user with the reason.
    HRESULT notALog(const QString& why);

    QString m_path;
    CategoryLookup m_lookup;
    QString m_header;
    QStringList m_headerFields;
    QString m_endTime;
    QString m_backupFile;
    bool m_hasEnd = false;
    int m_recordLines = 0;
    QStringList m_titles;
    QList<Row> m_rows;

    int m_failColumn = 0;
    QString m_failValue;
    QString m_failLine;
    int m_failNumber = 0;

    // Texts found while reading, so a long log costs one lookup per id.
    QHash<QString, CategoryText> m_categories;
    QHash<quint32, QString> m_texts;
    int m_textLanguage = 0;
};
