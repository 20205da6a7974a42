#include "config/MRV_ChangedDataManager.h"

#include "host/objects/LLXmlText.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QRegularExpression>

namespace {

using KeySet = QList<std::pair<QString, QString>>;

// One span of the text: [begin, end).
struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
    QStringView in(const QString& text) const { return QStringView(text).mid(begin, end - begin); }
};

// A table element of a category's text: its start tag and its documents.
struct TableSpan {
    Span whole;
    QString name;
    QList<Span> documents;
};

QString unescape(QStringView text) {
    if (!text.contains(u'&'))
        return text.toString();
    static const QRegularExpression reference(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-z]+);"));
    QString out;
    qsizetype from = 0;
    QRegularExpressionMatchIterator it = reference.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from);
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(QLatin1String("#x")))
            code = name.mid(2).toUInt(nullptr, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt();
        else if (name == u"amp")
            code = u'&';
        else if (name == u"lt")
            code = u'<';
        else if (name == u"gt")
            code = u'>';
        else if (name == u"quot")
            code = u'"';
        else if (name == u"apos")
            code = u'\'';
        if (code)
            out += QString::fromUcs4(&code, 1);
        else
            out += m.capturedView();
        from = m.capturedEnd();
    }
    out += text.mid(from);
    return out;
}

// The tables of a category's text with their record documents ("<BOM>" to
// "</BOM>"; an element named "table" inside a record does not confuse it).
QList<TableSpan> tablesOf(const QString& text) {
    QList<TableSpan> tables;
    static const QRegularExpression nameAttribute(QStringLiteral("\\sname=\"([^\"]*)\""));
    for (qsizetype at = text.indexOf(QLatin1String("<table")); at >= 0;) {
        const qsizetype tagEnd = text.indexOf(u'>', at);
        if (tagEnd < 0)
            break;
        TableSpan table;
        table.whole.begin = at;
        const QRegularExpressionMatch m =
            nameAttribute.match(QStringView(text).mid(at, tagEnd - at));
        table.name = m.hasMatch() ? unescape(m.capturedView(1)) : QString();
        qsizetype pos = tagEnd + 1;
        while (text.mid(pos, 5) == QLatin1String("<BOM>")) {
            const qsizetype close = text.indexOf(QLatin1String("</BOM>"), pos);
            if (close < 0)
                return tables;
            table.documents.append({pos, close + 6});
            pos = close + 6;
        }
        const qsizetype close = text.indexOf(QLatin1String("</table>"), pos);
        if (close < 0)
            break;
        table.whole.end = close + 8;
        tables << table;
        at = text.indexOf(QLatin1String("<table"), table.whole.end);
    }
    return tables;
}

// The row elements of a document, or the document itself when it has none.
QList<Span> rowsOf(const QString& text, const Span& document) {
    QList<Span> rows;
    for (qsizetype at = text.indexOf(QLatin1String("<row>"), document.begin);
         at >= 0 && at < document.end;) {
        const qsizetype close = text.indexOf(QLatin1String("</row>"), at);
        if (close < 0 || close >= document.end)
            break;
        rows.append({at, close + 6});
        at = text.indexOf(QLatin1String("<row>"), close);
    }
    if (rows.isEmpty())
        rows << document;
    return rows;
}

bool matches(QStringView row, const KeySet& keys) {
    if (keys.isEmpty())
        return false;
    for (const auto& [name, value] : keys) {
        QString held;
        if (!MRV_ChangedDataManager::elementText(row, name, &held) || held != value)
            return false;
    }
    return true;
}

bool matchesAny(QStringView row, const QList<KeySet>& selected) {
    return std::any_of(selected.begin(), selected.end(),
                       [&](const KeySet& keys) { return matches(row, keys); });
}

// Where an element starts and ends in a row, and where its text is.
struct ElementSpan {
    qsizetype begin = -1;
    qsizetype end = -1;
    qsizetype textBegin = -1;
    qsizetype textEnd = -1;
    bool empty = false; // self-closing or marked nil
};

ElementSpan findElement(QStringView row, const QString& name) {
    ElementSpan e;
    const QString open = u'<' + name;
    for (qsizetype at = row.indexOf(open); at >= 0; at = row.indexOf(open, at + 1)) {
        const qsizetype after = at + open.size();
        if (after >= row.size())
            break;
        const QChar next = row[after];
        if (next != u'>' && next != u'/' && next != u' ')
            continue; // a longer name that starts the same
        const qsizetype tagEnd = row.indexOf(u'>', after);
        if (tagEnd < 0)
            break;
        const QStringView tag = row.mid(at, tagEnd + 1 - at);
        e.begin = at;
        if (tag.endsWith(QLatin1String("/>"))) {
            e.end = tagEnd + 1;
            e.empty = true;
            return e;
        }
        const QString close = QStringLiteral("</") + name + u'>';
        const qsizetype closeAt = row.indexOf(close, tagEnd);
        if (closeAt < 0)
            break;
        e.textBegin = tagEnd + 1;
        e.textEnd = closeAt;
        e.end = closeAt + close.size();
        e.empty = tag.contains(QLatin1String(" nil=\"true\""));
        return e;
    }
    return ElementSpan{};
}

bool failMerge() {
    CLogBase(u"MRV", u"MRV_ChangedDataManager::mergeSingle")
        .LogError(u"Failed to merge data changed by user");
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR text(ui.language());
    text.LoadStringW(10024);
    ui.error(text, false);
    return false;
}

} // namespace

bool MRV_ChangedDataManager::elementText(QStringView row, const QString& name, QString* text) {
    const ElementSpan e = findElement(row, name);
    if (e.begin < 0)
        return false;
    *text = e.textBegin < 0 || e.empty ? QString()
                                       : unescape(row.mid(e.textBegin, e.textEnd - e.textBegin));
    return true;
}

bool MRV_ChangedDataManager::mergeSingle(QString& text, const MRV_ChangedRecord& record) {
    for (const TableSpan& table : tablesOf(text)) {
        if (table.name != record.table)
            continue;
        for (const Span& document : table.documents) {
            for (const Span& row : rowsOf(text, document)) {
                QString changed = row.in(text).toString();
                if (!matches(changed, record.keys))
                    continue;
                for (const MRV_ChangedField& field : record.fields) {
                    const QString value = LLEscapeXmlText(field.newValue, true);
                    const ElementSpan e = findElement(changed, field.name);
                    const QString element =
                        u'<' + field.name + u'>' + value + QStringLiteral("</") + field.name + u'>';
                    if (e.begin < 0) {
                        // A field the row lacks goes in before the row's end.
                        const qsizetype end = changed.lastIndexOf(QLatin1String("</row>"));
                        if (end < 0)
                            return failMerge();
                        changed.insert(end, element);
                    } else if (e.empty) {
                        changed.replace(e.begin, e.end - e.begin, element);
                    } else {
                        changed.replace(e.textBegin, e.textEnd - e.textBegin, value);
                    }
                }
                text.replace(row.begin, row.end - row.begin, changed);
                return true;
            }
        }
    }
    return failMerge();
}

void MRV_ChangedDataManager::removeUnselected(QString& text, const QList<KeySet>& selected) {
    if (selected.isEmpty()) {
        text.clear();
        return;
    }
    QString kept;
    for (const TableSpan& table : tablesOf(text)) {
        QString documents;
        for (const Span& document : table.documents) {
            const QStringView doc = document.in(text);
            const QList<Span> rows = rowsOf(text, document);
            QString object;
            elementText(doc, QStringLiteral("Object"), &object);
            if (object.trimmed() != u"-1") {
                // An object with lines stands or falls with its main row: the
                // lines carry no key of their own to match.
                if (matchesAny(rows.first().in(text), selected))
                    documents += doc;
                continue;
            }
            QString rowsKept;
            for (const Span& row : rows)
                if (matchesAny(row.in(text), selected))
                    rowsKept += row.in(text);
            if (rowsKept.isEmpty())
                continue;
            if (rows.first().begin == document.begin) {
                documents += doc; // no row elements: the document matched itself
                continue;
            }
            documents += QStringView(text).mid(document.begin, rows.first().begin - document.begin);
            documents += rowsKept;
            documents += QStringView(text).mid(rows.last().end, document.end - rows.last().end);
        }
        if (documents.isEmpty())
            continue;
        const qsizetype startEnd = text.indexOf(u'>', table.whole.begin) + 1;
        kept += QStringView(text).mid(table.whole.begin, startEnd - table.whole.begin);
        kept += documents;
        kept += QLatin1String("</table>");
    }
    text = kept;
}
