#include "config/MRV_LogFile.h"

#include "worksheet/MRV_WorksheetTemplateManager.h"

#include "catalogue/MRV_ResourceManager.h"
#include "config/MRV_CopyLog.h"
#include "host/objects/LLServer.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <climits>

namespace {

constexpr int recordFieldCount = 9;
constexpr quint32 titleIds[MRV_LogFile::ColumnCount] = {133, 145, 134, 135, 136, 137,
                                                        138, 139, 140, 141, 142};

// The file's UTF-16LE code units as they are; an odd last byte (a file cut
// off in the middle of a character) is dropped.
QString decode(const QByteArray& bytes) {
    const qsizetype units = bytes.size() / 2;
    QString text(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData(), units, text.data());
    return text;
}

// The lines of text, without their line ends (LF, or CR LF); a final line
// end does not start another line.
class LineReader {
public:
    explicit LineReader(const QString& text) : m_text(text) {}
    bool next(QString& line) {
        if (m_pos >= m_text.size())
            return false;
        qsizetype end = m_text.indexOf(u'\n', m_pos);
        if (end < 0)
            end = m_text.size();
        qsizetype stop = end;
        if (stop > m_pos && m_text[stop - 1] == u'\r')
            --stop;
        line = m_text.mid(m_pos, stop - m_pos);
        m_pos = end + 1;
        return true;
    }

private:
    const QString& m_text;
    qsizetype m_pos = 0;
};

// The number a text starts with, read as the C library reads an int: blanks
// skipped, an optional sign, the digits up to the first other character; 0
// when there are none, the nearest int when it is too large.
int leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i].unicode() - u'0'), qint64(INT_MAX) + 1);
    value = negative ? -value : std::min<qint64>(value, INT_MAX);
    return static_cast<int>(value);
}

bool isTransactionType(int type) {
    switch (type) {
    case 2022:
    case 2023:
    case 2024:
    case 2025:
    case 404:
    case 184:
    case 212:
    case 213:
        return true;
    default:
        return false;
    }
}

bool isResult(const QString& result) {
    return result == u"402" || result == u"403" || result == u"10024" || result == u"10020";
}

} // namespace

MRV_LogFile::MRV_LogFile(const QString& path) : m_path(path) {}

int MRV_LogFile::leadingNumber(const QString& text) {
    return ::leadingNumber(text);
}

quint32 MRV_LogFile::columnTitleId(int column) {
    return column >= 0 && column < ColumnCount ? titleIds[column] : 0;
}

QStringList MRV_LogFile::columnTitles(int language) {
    QStringList titles;
    for (quint32 id : titleIds)
        titles << CTSBSTR::load(id, language);
    return titles;
}

void MRV_LogFile::clear() {
    m_header.clear();
    m_headerFields.clear();
    m_endTime.clear();
    m_backupFile.clear();
    m_hasEnd = false;
    m_recordLines = 0;
    m_rows.clear();
    m_failColumn = 0;
    m_failValue.clear();
    m_failLine.clear();
    m_failNumber = 0;
}

HRESULT MRV_LogFile::loadLogFile() {
    CLogBase log(u"MRV", u"MRV_LogFile::loadLogFile");
    clear();
    const int language = MRV_Interaction::current().language();
    m_titles = columnTitles(language);

    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        log.LogError(u"Failed to open log file '%s': %s", m_path, file.errorString());
        MRV_Interaction::current().error(CTSBSTR(language).FormatId(10023, m_path));
        return E_FAIL;
    }
    // A long log takes a moment.
    const MRV_WaitCursor wait;
    const QString text = decode(file.readAll());
    file.close();

    LineReader lines(text);
    QString line;
    if (!lines.next(line))
        return notALog(QStringLiteral("the file holds no line"));
    m_header = line;
    m_header.remove(QChar(0xFEFF));
    m_headerFields = fieldsOf(m_header, 6);
    // The backup named in a seventh field is the log's to tell; the header
    // text stays the six fields every reader knows.
    if (m_headerFields.size() == 7 && m_headerFields[6].startsWith(MRV_CopyLog::backupMarker())) {
        m_backupFile = m_headerFields.takeLast().mid(MRV_CopyLog::backupMarker().size());
        m_header.truncate(MRV_CopyLog::fieldEnd(m_header, 6));
    }
    if (!isHeader(m_headerFields))
        return notALog(QStringLiteral("line 1 is not the header of a copy log (start time, base, "
                                      "target, copy method, response, flag)"));

    for (int number = 0; lines.next(line); m_recordLines = ++number) {
        if (line.startsWith(MRV_CopyLog::endMarker())) {
            m_endTime = line.mid(MRV_CopyLog::endMarker().size());
            m_header += u'|' + m_endTime;
            m_hasEnd = true;
            break;
        }
        if (FAILED(InsertLogLine(line, number, language))) {
            log.LogError(u"Log file '%s': record line %d cannot be read", m_path, number + 1);
            MRV_Interaction::current().error(failureMessage(language));
            return E_FAIL;
        }
    }
    return S_OK;
}

HRESULT MRV_LogFile::InsertLogLine(const QString& line, int number, int language) {
    if (line.isEmpty())
        return 1;
    useLanguage(language);
    const QStringList fields = fieldsOf(line, recordFieldCount);
    if (fields.size() < recordFieldCount)
        return fail(0, QString(), line, number);

    const CategoryText& categoryText = category(fields[0], language);
    if (!categoryText.known)
        return fail(1, fields[0], line, number);
    const int type = leadingNumber(fields[1]);
    if (!isTransactionType(type))
        return fail(2, QString::number(type), line, number);
    if (!isResult(fields[2]))
        return fail(3, fields[2], line, number);

    Row row;
    row.reserve(ColumnCount);
    row << categoryText.leafId << categoryText.path << categoryText.text
        << stringText(quint32(type), language) << stringText(fields[2].toUInt(), language);
    for (int i = 3; i < recordFieldCount; ++i)
        row << fields[i];
    m_rows.append(std::move(row));
    return 0;
}

QStringList MRV_LogFile::fieldsOf(const QString& line, int count) {
    QStringList fields = MRV_CopyLog::splitLine(line);
    // A log written before values were escaped may hold a value that ends
    // in a backslash; its line then has too few fields, unless read as it
    // was written.
    if (fields.size() < count && line.contains(u'\\')) {
        QStringList plain = line.split(u'|');
        if (plain.size() >= count)
            return plain;
    }
    return fields;
}

bool MRV_LogFile::isHeader(const QStringList& fields) {
    const auto digits = [](const QString& text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                              [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    return fields.size() == 6 &&
           QDateTime::fromString(fields[0], QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid() &&
           digits(fields[3]) && digits(fields[4]) && (fields[5] == u"0" || fields[5] == u"1");
}

HRESULT MRV_LogFile::notALog(const QString& why) {
    CLogBase(u"MRV", u"MRV_LogFile::loadLogFile").LogError(u"'%s': %s", m_path, why);
    MRV_Interaction& ui = MRV_Interaction::current();
    ui.error(CTSBSTR(ui.language()).FormatId(10220, m_path, why));
    m_header.clear();
    m_headerFields.clear();
    return E_FAIL;
}

HRESULT MRV_LogFile::fail(int column, const QString& value, const QString& line, int number) {
    m_failColumn = column;
    m_failValue = value;
    m_failLine = line;
    m_failNumber = number;
    return E_FAIL;
}

QString MRV_LogFile::failureMessage(int language) const {
    CTSBSTR message(language);
    if (m_failColumn == 0)
        return message.FormatId(143, m_failNumber + 1, m_failLine);
    // The failing columns are the first three fields of a line, which are the
    // table's first, fourth and fifth columns.
    static constexpr int tableColumn[] = {CategoryNo, TransType, Result};
    const QString title = CTSBSTR::load(titleIds[tableColumn[m_failColumn - 1]], language);
    return message.FormatId(144, m_path, m_failNumber + 1, m_failLine, m_failColumn, m_failValue,
                            title);
}

void MRV_LogFile::useLanguage(int language) {
    if (language == m_textLanguage)
        return;
    m_categories.clear();
    m_texts.clear();
    m_textLanguage = language;
}

const MRV_LogFile::CategoryText& MRV_LogFile::category(const QString& categoryId, int language) {
    auto found = m_categories.constFind(categoryId);
    if (found != m_categories.constEnd())
        return *found;

    CategoryText entry;
    const MRV_ResourceManager& catalogue = *MRV_ResourceManager::instance();
    if (m_lookup) {
        if (const std::optional<MRV_LogCategory> place = m_lookup(categoryId)) {
            entry.known = true;
            entry.leafId = place->leafId;
            entry.path = place->path;
        }
    } else {
        const quint32 id = catalogue.getStringId(categoryId);
        entry.known = id != 0 && id != MRV_ResourceManager::SentinelStringId;
    }
    if (entry.known)
        entry.text = catalogue.textOf(categoryId, language);
    return *m_categories.insert(categoryId, entry);
}

const QString& MRV_LogFile::stringText(quint32 id, int language) {
    auto found = m_texts.constFind(id);
    if (found != m_texts.constEnd())
        return *found;
    return *m_texts.insert(id, CTSBSTR::load(id, language));
}

QList<int> MRV_LogFile::shownOrder() const {
    QList<int> order(m_rows.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        const Row& x = m_rows[a];
        const Row& y = m_rows[b];
        if (const int c = x[CategoryNo].compare(y[CategoryNo]); c != 0)
            return c < 0;
        return x[TransType].compare(y[TransType]) < 0;
    });
    return order;
}

QByteArray MRV_LogFile::excelText(const QList<int>& order) const {
    const QStringList titles =
        m_titles.isEmpty() ? columnTitles(MRV_Interaction::current().language()) : m_titles;
    QString text;
    for (const QString& title : titles)
        text += title + u'\t';
    text += u'\n';
    for (int index : order) {
        if (index < 0 || index >= m_rows.size())
            continue;
        text += u'#';
        for (const QString& value : m_rows[index])
            text += value + u'\t';
        text += u'\n';
    }
    // Written as a text-mode file is: every line feed, also one inside a
    // value, becomes CR LF.
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text.toUtf8();
}

bool MRV_LogFile::writeExcel(const QString& fileName, const QList<int>& order) const {
    CLogBase log(u"MRV", u"MRV_LogFile::writeExcel");
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        log.LogError(u"Failed to open file '%s': %s", fileName, file.errorString());
        return false;
    }
    const QByteArray bytes = excelText(order);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        log.LogError(u"Failed to write file '%s': %s", fileName, file.errorString());
        return false;
    }
    return true;
}

HRESULT MRV_LogFile::saveAsExcel(const QList<int>& order, const QString& logFileFolder) const {
    MRV_Interaction& interaction = MRV_Interaction::current();
    const int language = interaction.language();
    const QString folder =
        logFileFolder.isEmpty() ? QString() : LLObjectsCOM::Server::resolveSharePath(logFileFolder);
    QString fileName = interaction.chooseSaveFile(CTSBSTR::load(228, language), folder,
                                                  CTSBSTR::load(229, language));
    if (fileName.isEmpty())
        return 1;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".xls");
    if (!writeExcel(fileName, order)) {
        interaction.error(CTSBSTR(language).FormatId(10023, fileName));
        return E_FAIL;
    }
    return S_OK;
}

MRV_LogFile::CategoryLookup MRV_LogFile::templateLookup(MRV_ConnectionContext* context) {
    const MRV_WorksheetTemplateManager* manager = MRV_WorksheetTemplateManager::instance(context);
    if (!manager->isInitialized())
        return {};
    return [manager](const QString& categoryId) -> std::optional<MRV_LogCategory> {
        MRV_LogCategory category;
        QString text;
        if (manager->getLeafId(categoryId, category.leafId) != S_OK ||
            manager->getNodeNameFromID(category.leafId, text, category.path) != S_OK)
            return std::nullopt;
        return category;
    };
}
