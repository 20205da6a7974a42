#include "di/MRV_DIInterface.h"

#include "catalogue/MRV_ResourceManager.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIFailureAbortException.h"
#include "di/MRV_DIReferences.h"
#include "di/MRV_DISettings.h"
#include "di/MRV_DITableWriter.h"
#include "di/MRV_ParentOrder.h"
#include "di/MRV_RecordScope.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "xml/MRV_XmlString.h"

#include <QSet>

#include <algorithm>

namespace {

// Between the values of a record's name that several columns make.
constexpr QChar NamePartSeparator(0x1F);

// Selected records are read a group at a time, so that a long selection
// never makes a statement too deep for the database.
constexpr qsizetype KeysPerStatement = 100;
// A table's rows travel in documents of this many rows: read back, written
// and parsed one document at a time, a large table is never held whole as
// one document.
constexpr qsizetype RowsPerDocument = 500;

// The document with a dependency record for each reference it makes (the
// target finds the records named by them), where the table has references.
QString withDependencies(MRV_DIReferences& references, const MRV_TableDeclaration& table,
                         const QString& document) {
    MRV_BOMRecord record;
    if (table.references.isEmpty() || !record.parse(document))
        return document;
    references.addDependencies(table, record);
    return record.toXml();
}

// Why a record document cannot travel in a configuration file: a value
// holds a character XML cannot carry. Empty when every value can.
QString unwritableValue(QStringView xml) {
    const qsizetype at = firstNonXmlChar(xml);
    if (at < 0)
        return QString();
    // Values are escaped text between their element's tags.
    const qsizetype open = xml.lastIndexOf(u'<', at);
    QStringView name = open < 0 ? QStringView() : xml.mid(open + 1, at - open - 1);
    name = name.left(name.indexOf(u'>'));
    return QStringLiteral("The value of %1 holds a character that XML cannot carry (U+%2)")
        .arg(name.isEmpty() ? QStringLiteral("a field") : name.toString())
        .arg(xml[at].unicode(), 4, 16, QLatin1Char('0'));
}

// The text of the first element named name in a row of the host's
// documents, unescaped enough to name a record.
QString elementText(QStringView row, const QString& name) {
    const QString open = u'<' + name + u'>';
    const qsizetype from = row.indexOf(open);
    if (from < 0)
        return QString();
    const qsizetype start = from + open.size();
    const qsizetype end = row.indexOf(QStringLiteral("</") + name + u'>', start);
    return row.mid(start, end < 0 ? -1 : end - start)
        .toString()
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

QString joinedWith(const QString& separator, const QStringList& parts) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.isEmpty())
            kept << p;
    return kept.join(separator);
}

// Clears the engine's hold on a target-side helper when a write ends, also
// when it ends by an exception.
template <typename T> class ScopedPointer {
public:
    ScopedPointer(T*& slot, T* value) : m_slot(slot) { m_slot = value; }
    ~ScopedPointer() { m_slot = nullptr; }
    ScopedPointer(const ScopedPointer&) = delete;
    ScopedPointer& operator=(const ScopedPointer&) = delete;

private:
    T*& m_slot;
};

} // namespace

MRV_DIInterface::MRV_DIInterface(MRV_ConnectionContext* context, QString categoryId)
    : m_context(context), m_categoryId(std::move(categoryId)) {}

MRV_DIInterface::~MRV_DIInterface() = default;

void MRV_DIInterface::declareTable(MRV_TableDeclaration table) {
    if (table.keyElements.isEmpty())
        table.keyElements = table.keyColumns;
    if (table.descriptionElement.isEmpty())
        table.descriptionElement = table.descriptionColumn;
    m_tables << std::move(table);
}

const MRV_TableDeclaration* MRV_DIInterface::table(const QString& name) const {
    for (const MRV_TableDeclaration& t : m_tables)
        if (t.name == name)
            return &t;
    return nullptr;
}

const MRV_TableDeclaration& MRV_DIInterface::mainTable() const {
    static const MRV_TableDeclaration none;
    return m_tables.isEmpty() ? none : m_tables.first();
}

LLObjectsCOM::Company& MRV_DIInterface::baseCompany() const {
    if (!m_context || !m_context->baseCompany || !m_context->baseCompany->Connected())
        throw ComError(E_FAIL, QStringLiteral("There is no base company"));
    return *m_context->baseCompany;
}

LLObjectsCOM::Company& MRV_DIInterface::targetCompany() const {
    if (!m_context || !m_context->targetCompany || !m_context->targetCompany->Connected())
        throw ComError(E_FAIL, QStringLiteral("There is no target company"));
    return *m_context->targetCompany;
}

LLObjectsCOM::Company* MRV_DIInterface::describingCompany() const {
    if (!m_context)
        return nullptr;
    for (const auto& company :
         {m_context->baseCompany, m_context->targetCompany, m_context->company})
        if (company && company->Connected())
            return company.get();
    return nullptr;
}

// ---------------------------------------------------------------- slots

int MRV_DIInterface::initialize() {
    const MRV_TableDeclaration& main = mainTable();
    m_dataSet.setContext(m_context);
    setMainTable(main.name);
    const QStringList keys = m_keyColumns.isEmpty() ? main.keyColumns : m_keyColumns;
    setKeys(keys, main.isObject() ? main.keyElements : keys);
    QList<int> keyTypes;
    QList<MRV_DIDataSet::Column> columns;
    for (qsizetype i = 0; i < m_listColumns.size(); ++i)
        columns << MRV_DIDataSet::Column{
            m_listColumns[i], main.isObject() ? m_listElements.value(i) : m_listColumns[i],
            m_listColumns[i], MRV_DIDataSet::Text, m_columnFlags.value(i) == 1};
    // The host describes the columns; without a company (or when it cannot)
    // the grid shows the column names as text.
    try {
        if (LLObjectsCOM::Company* company = describingCompany()) {
            MRV_CompanySql sql(*company);
            for (const QString& key : keys)
                keyTypes << sql.keyType(main.name, key);
            const QHash<QString, MRV_CompanySql::Field>& fields = sql.fields(main.name);
            for (MRV_DIDataSet::Column& c : columns) {
                const auto f = fields.constFind(c.name);
                if (f == fields.cend())
                    continue;
                c.description = f->description;
                c.type = f->hostType == 3                       ? MRV_DIDataSet::Date
                         : f->hostType == 2 || f->hostType == 4 ? MRV_DIDataSet::Number
                                                                : MRV_DIDataSet::Text;
            }
        }
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_DIInterface::initialize")
            .LogDbg0(u"No field descriptions of %s: %s", main.name, e.errorMessage());
    }
    m_dataSet.setKeyTypes(keyTypes);
    m_dataSet.setColumns(columns);
    return 1;
}

void MRV_DIInterface::prepareObject(int, LLObjectsCOM::HostObject&, int) {}

void MRV_DIInterface::prepareRecord(int, QString&) {}

std::optional<MRV_KeyList> MRV_DIInterface::relatedRecords(const MRV_TableDeclaration&,
                                                           const BOMTableList&) {
    return std::nullopt;
}

void MRV_DIInterface::assignAutoKey(const MRV_TableDeclaration&, MRV_BOMRecord::Row&) {}

bool MRV_DIInterface::resolveTargetKey(const QString& name, const QString& tableName,
                                       QString& key) {
    const MRV_TableDeclaration* t = table(tableName);
    if (!t || t->generatedKeyName.isEmpty())
        return false;
    const NameIndex& index = namesOf(*t);
    const auto found = index.keys.constFind(index.folded(name));
    if (found != index.keys.cend()) {
        key = *found;
        return true;
    }
    key = QString::number(index.maxKey + 1);
    return false;
}

MRV_DIInterface::NameIndex& MRV_DIInterface::namesOf(const MRV_TableDeclaration& t) {
    const auto known = m_names.find(t.name);
    if (known != m_names.end())
        return *known;
    NameIndex index;
    MRV_CompanySql sql(targetCompany());
    index.caseless = caselessTarget();
    const QString keyColumn = t.keyColumns.value(0);
    MRV_SQLBuilder lookup = sql.builder(t.name);
    lookup.addSelectColumn(keyColumn);
    lookup.addSelectColumn(t.generatedKeyName);
    for (const auto& [column, element] : t.generatedKeyAlso)
        lookup.addSelectColumn(column);
    for (const auto& [column, value] : t.kind)
        lookup.addCondition(column, value, sql.valueType(t.name, column));
    // In the table's order, so that of two records of one name the first
    // counts, as a lookup by name finds it.
    const MRV_CompanySql::Rows rows = sql.query(lookup.buildSelect());
    for (const QVariantList& row : rows.values) {
        QStringList parts;
        for (qsizetype i = 1; i < row.size(); ++i)
            parts << MRV_CompanySql::text(row[i]);
        const QString name = index.folded(generatedName(parts));
        if (!index.keys.contains(name))
            index.keys.insert(name, MRV_CompanySql::text(row.value(0)));
    }
    const QVariant max =
        sql.scalar(!t.highestKey.isEmpty() ? sql.statement(t.highestKey)
                                           : QStringLiteral("SELECT MAX(%1) FROM %2")
                                                 .arg(sql.column(keyColumn), sql.table(t.name)));
    index.maxKey = MRV_CompanySql::text(max).toLongLong();
    return *m_names.insert(t.name, index);
}

QString MRV_DIInterface::generatedName(const MRV_TableDeclaration& t,
                                       const MRV_BOMRecord::Row& row) {
    // A business object's document names its fields by element, table
    // rows by column.
    QStringList parts{row.value(t.isObject() && t.generatedKeyName == t.descriptionColumn
                                    ? t.descriptionElement
                                    : t.generatedKeyName)};
    for (const auto& [column, element] : t.generatedKeyAlso)
        parts << row.value(t.isObject() ? element : column);
    return generatedName(parts);
}

QString MRV_DIInterface::generatedName(const QStringList& parts) {
    return parts.join(NamePartSeparator);
}

bool MRV_DIInterface::caselessTarget() {
    if (!m_caseless)
        m_caseless = MRV_CompanySql(targetCompany()).comparesCaseless();
    return *m_caseless;
}

bool MRV_DIInterface::claimTarget(const MRV_TableDeclaration& table, const QStringList& identity,
                                  Outcome& outcome) {
    QString key = identity.join(QChar(0x1F));
    if (caselessTarget())
        key = key.toCaseFolded();
    QHash<QString, QString>& claimed = m_claimed[table.name];
    const auto first = claimed.constFind(key);
    if (first == claimed.cend()) {
        claimed.insert(key, outcome.baseCode);
        return true;
    }
    // Written as an update of the first, the second would be lost in
    // silence; written as a record of its own, a rerun would find both in
    // one. It fails, naming the first.
    outcome.error = QStringLiteral("The target company takes this record for the base record %1 "
                                   "written before it (their keys or names differ only in case)")
                        .arg(first.value());
    return false;
}

void MRV_DIInterface::rememberName(const MRV_TableDeclaration& t, const QString& name,
                                   const QString& key) {
    const auto index = m_names.find(t.name);
    if (index == m_names.end())
        return;
    const QString folded = index->folded(name);
    if (!index->keys.contains(folded))
        index->keys.insert(folded, key);
    index->maxKey = std::max(index->maxKey, key.toLongLong());
}

// ---------------------------------------------------------------- reading

QString MRV_DIInterface::categoryCondition(const MRV_CompanySql& sql,
                                           const MRV_TableDeclaration& table,
                                           const MRV_Sql& extra) const {
    QStringList parts;
    MRV_SQLBuilder kind = sql.builder(table.name);
    for (const auto& [column, value] : table.kind)
        kind.addCondition(column, value, MRV_SQLBuilder::Text);
    if (kind.itemCount() > 0)
        parts << kind.buildWhere().mid(QStringLiteral(" WHERE ").size());
    for (const MRV_Sql* condition : {&table.filter, &extra})
        if (!condition->isEmpty())
            parts << u'(' + sql.condition(*condition) + u')';
    return parts.join(QStringLiteral(" AND "));
}

QHash<QString, QStringList> MRV_DIInterface::parentsIn(MRV_CompanySql& sql,
                                                       const MRV_TableDeclaration& table) {
    QStringList columns{sql.column(table.keyColumns.value(0))};
    for (const QString& column : table.parentColumns())
        columns << sql.column(column);
    QHash<QString, QStringList> parentOf;
    for (const QVariantList& row :
         sql.query(QStringLiteral("SELECT %1 FROM %2")
                       .arg(columns.join(QStringLiteral(", ")), sql.table(table.name)))
             .values) {
        QStringList parents;
        for (qsizetype i = 1; i < row.size(); ++i)
            parents << MRV_CompanySql::text(row.value(i));
        parentOf.insert(MRV_CompanySql::text(row.value(0)), parents);
    }
    return parentOf;
}

QList<QStringList> MRV_DIInterface::keyRows(MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                                            const QString& statement, bool childrenFirst) {
    QList<QStringList> keys;
    for (const QVariantList& row : sql.query(statement).values) {
        QStringList texts;
        for (qsizetype i = 0; i < table.keyColumns.size(); ++i)
            texts << MRV_CompanySql::text(row.value(i));
        keys << texts;
    }
    if (table.parentColumn.isEmpty())
        return keys;
    // Parents first (or, for removing, children first), whatever order the
    // statement gives.
    const QHash<QString, QStringList> parentOf = parentsIn(sql, table);
    QStringList own;
    QList<QStringList> parents;
    for (const QStringList& k : keys) {
        own << k.value(0);
        parents << parentOf.value(k.value(0));
    }
    QList<QStringList> ordered;
    for (const qsizetype i : MRV_ParentsFirst(own, parents))
        ordered << keys[i];
    if (childrenFirst)
        std::reverse(ordered.begin(), ordered.end());
    return ordered;
}

QString MRV_DIInterface::keySelect(const MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                                   const MRV_Sql& own, const MRV_Sql& extra) const {
    if (!own.isEmpty())
        return sql.statement(own);
    MRV_SQLBuilder select = sql.builder(table.name);
    for (const QString& key : table.keyColumns)
        select.addSelectColumn(key);
    const QString condition = categoryCondition(sql, table, extra);
    return select.buildSelect() +
           (condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition);
}

QVariantList MRV_DIInterface::typedKeys(MRV_CompanySql& sql, const MRV_TableDeclaration& table,
                                        const QStringList& texts) const {
    QVariantList keys;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        bool ok = false;
        const int number = texts[i].toInt(&ok);
        const bool integer =
            sql.keyType(table.name, table.keyColumns.value(i)) == QMetaType::Int && ok;
        keys << (integer ? QVariant(number) : QVariant(texts[i]));
    }
    return keys;
}

void MRV_DIInterface::readObjects(MRV_CompanySql& base, const MRV_TableDeclaration& table,
                                  const MRV_KeyList& keys, MRV_BOMTable& out) {
    QList<QStringList> texts;
    if (keys.isEmpty()) {
        texts = keyRows(base, table, keySelect(base, table, table.readAll));
    } else {
        for (const QVariantList& record : keys) {
            QStringList values;
            for (const QVariant& v : record)
                values << MRV_CompanySql::text(v);
            texts << values;
        }
    }
    const std::unique_ptr<LLObjectsCOM::HostObject> object =
        base.company().GetBusinessObject(table.objectType);
    MRV_DIReferences references(base);
    for (const QStringList& key : texts) {
        const QString code = key.join(QStringLiteral(", "));
        if (!object->Invoke(QStringLiteral("GetByKey"), typedKeys(base, table, key)).toBool()) {
            logReadFailure(code, hostError(base.company()));
            continue;
        }
        QString xml = object->Invoke(QStringLiteral("GetAsXML")).toString();
        if (const QString why = unwritableValue(xml); !why.isEmpty()) {
            logReadFailure(code, why);
            continue;
        }
        out.documents << MRV_BOMDocument{withDependencies(references, table, xml), 0};
    }
}

void MRV_DIInterface::readRows(MRV_CompanySql& base, const MRV_TableDeclaration& table,
                               const QStringList& columns, const MRV_KeyList& values,
                               MRV_BOMTable& out) {
    const QString condition = categoryCondition(base, table);
    const QString selectAll = QStringLiteral("SELECT * FROM ") + base.table(table.name);
    QStringList statements;
    if (columns.isEmpty()) {
        const QString own = base.statement(table.readAll);
        statements << (!own.isEmpty()        ? own
                       : condition.isEmpty() ? selectAll
                                             : selectAll + QStringLiteral(" WHERE ") + condition);
    }
    for (qsizetype from = 0; from < values.size(); from += KeysPerStatement) {
        QStringList groups;
        for (const QVariantList& record : values.mid(from, KeysPerStatement)) {
            MRV_SQLBuilder group = base.builder(table.name);
            for (qsizetype i = 0; i < columns.size(); ++i)
                group.addCondition(columns[i], MRV_CompanySql::text(record.value(i)),
                                   base.valueType(table.name, columns[i]));
            // A key that cannot be one of the column's values selects nothing.
            if (group.isValid() && group.itemCount() > 0)
                groups << u'(' + group.buildWhere().mid(QStringLiteral(" WHERE ").size()) + u')';
        }
        if (groups.isEmpty())
            continue;
        const QString keys = groups.join(QStringLiteral(" OR "));
        statements << selectAll + QStringLiteral(" WHERE ") +
                          (condition.isEmpty()
                               ? keys
                               : condition + QStringLiteral(" AND (") + keys + u')');
    }
    QString rows;
    for (const QString& statement : statements) {
        const QString xml = base.queryXml(statement);
        const qsizetype declarationEnd = xml.indexOf(QLatin1String("?>"));
        rows += declarationEnd < 0 ? xml : xml.mid(declarationEnd + 2);
    }
    rows = writableRows(table, rows);
    // Values are escaped, so "<row>" starts a row and nothing else.
    QList<qsizetype> starts;
    for (qsizetype at = rows.indexOf(QLatin1String("<row>")); at >= 0;
         at = rows.indexOf(QLatin1String("<row>"), at + 5))
        starts << at;
    MRV_DIReferences references(base);
    for (qsizetype first = 0; first < starts.size(); first += RowsPerDocument) {
        const qsizetype from = starts[first];
        const qsizetype to = first + RowsPerDocument < starts.size()
                                 ? starts[first + RowsPerDocument]
                                 : rows.lastIndexOf(QLatin1String("</row>")) + 6;
        out.documents << MRV_BOMDocument{
            withDependencies(references, table,
                             MRV_BOMRecord::tableDocument(table.name, rows.mid(from, to - from))),
            0};
    }
}

QString MRV_DIInterface::writableRows(const MRV_TableDeclaration& table, const QString& rows) {
    if (firstNonXmlChar(rows) < 0)
        return rows;
    // Values are escaped, so "<row>" starts a row and nothing else.
    const QString start = QStringLiteral("<row>");
    QString kept;
    for (qsizetype from = 0; from < rows.size();) {
        qsizetype next = rows.indexOf(start, from + 1);
        if (next < 0)
            next = rows.size();
        const QStringView row = QStringView(rows).mid(from, next - from);
        if (const QString why = unwritableValue(row); why.isEmpty()) {
            kept += row;
        } else {
            QStringList code;
            for (const QString& column : table.keyColumns)
                code << elementText(row, column);
            logReadFailure(code.join(QStringLiteral(", ")), why);
        }
        from = next;
    }
    return kept;
}

void MRV_DIInterface::readChildren(MRV_CompanySql& base, const MRV_TableDeclaration& parent,
                                   const MRV_BOMTable& parentRows, BOMTableList& tables) {
    for (const MRV_TableDeclaration& child : m_tables) {
        if (child.parentTable != parent.name)
            continue;
        // The children of exactly the parents read.
        QStringList columns, parentFields;
        for (const auto& [here, there] : child.links) {
            columns << here;
            const qsizetype k = parent.keyColumns.indexOf(there);
            parentFields << (parent.isObject() && k >= 0 ? parent.keyElements.value(k) : there);
        }
        MRV_KeyList values;
        for (const MRV_BOMDocument& document : parentRows.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(MRV_BOMRecord::groupName(parent.name))
                                           : nullptr;
            for (const MRV_BOMRecord::Row& row :
                 group ? group->rows : QList<MRV_BOMRecord::Row>()) {
                QVariantList link;
                for (const QString& field : parentFields)
                    link << row.value(field);
                values << link;
            }
        }
        MRV_BOMTable entry{child.name, {}};
        if (!values.isEmpty())
            readRows(base, child, columns, values, entry);
        if (!entry.documents.isEmpty())
            tables << entry;
    }
}

void MRV_DIInterface::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_DIInterface::readFromDatabase");
    tables.clear();
    m_failures = 0;
    MRV_CompanySql base(baseCompany());
    for (const MRV_TableDeclaration& t : m_tables) {
        if (t.isChild())
            continue;
        // The selection names records of the main table; other tables of
        // the category are read whole, or as far as they go with those.
        MRV_KeyList selected = &t == &m_tables.first() ? keys : MRV_KeyList();
        if (&t != &m_tables.first())
            if (const std::optional<MRV_KeyList> related = relatedRecords(t, tables)) {
                if (related->isEmpty())
                    continue;
                selected = *related;
            }
        MRV_BOMTable entry{t.name, {}};
        if (t.isSettings()) {
            // Settings travel whole, whatever was selected.
            if (const QString xml = MRV_DISettings(*this, base, t).read(); !xml.isEmpty())
                entry.documents << MRV_BOMDocument{xml, 0};
        } else if (t.isObject())
            readObjects(base, t, selected, entry);
        else
            readRows(base, t, selected.isEmpty() ? QStringList() : t.keyColumns, selected, entry);
        if (entry.documents.isEmpty())
            continue;
        tables << entry;
        readChildren(base, t, entry, tables);
    }
    log.LogDbg1(u"%s: %d table(s) read", m_categoryId, int(tables.size()));
}

// ---------------------------------------------------------------- listing

MRV_DIDataSet* MRV_DIInterface::listFromDatabase() {
    CLogBase log(u"MRV", u"MRV_DIInterface::listFromDatabase");
    if (mainTable().isSettings())
        return &m_dataSet; // settings offer no records to select
    initialize();
    m_dataSet.clearRows();
    const MRV_TableDeclaration& main = mainTable();
    MRV_CompanySql base(baseCompany());
    const QStringList keys = m_dataSet.keyColumns();
    MRV_SQLBuilder select = base.builder(main.name);
    for (const QString& column : keys + m_listColumns)
        select.addSelectColumn(column);
    QString statement = select.buildSelect();
    const QString condition = categoryCondition(base, main);
    if (!condition.isEmpty())
        statement += QStringLiteral(" WHERE ") + condition;
    const qsizetype description = m_listColumns.indexOf(main.descriptionColumn);
    base.forEachRow(statement, [&](const QVariantList& values) {
        MRV_DIDataSet::Row row;
        row.keys = values.mid(0, keys.size());
        row.values.reserve(values.size() - keys.size());
        for (qsizetype i = keys.size(); i < values.size(); ++i)
            row.values << MRV_CompanySql::text(values[i]);
        row.description = row.values.value(description);
        m_dataSet.addRow(std::move(row));
    });
    log.LogDbg1(u"%s: %d record(s) listed", m_categoryId, int(m_dataSet.rows().size()));
    return &m_dataSet;
}

MRV_DIDataSet* MRV_DIInterface::listFromConfiguration(const BOMTableList& tables) {
    if (mainTable().isSettings())
        return &m_dataSet;
    m_dataSet.clearRows();
    if (tables.isEmpty())
        return &m_dataSet;
    initialize();
    const MRV_TableDeclaration& main = mainTable();
    // The last entry of the main table; a file whose entries are all of
    // other tables lists its last one.
    const MRV_BOMTable* listed = &tables.last();
    for (const MRV_BOMTable& entry : tables)
        if (entry.name == main.name)
            listed = &entry;
    const bool objects = main.isObject() && listed->name == main.name;
    const QStringList& keyFields = objects ? main.keyElements : m_dataSet.keyColumns();
    const QStringList& columns = objects ? m_listElements : m_listColumns;
    const QStringList describing =
        !m_descriptionElements.isEmpty()
            ? m_descriptionElements
            : QStringList{objects ? main.descriptionElement : main.descriptionColumn};
    for (const MRV_BOMDocument& document : listed->documents) {
        MRV_BOMRecord record;
        if (!record.parse(document.xml))
            continue;
        const MRV_BOMRecord::Group* group = record.group(MRV_BOMRecord::groupName(listed->name));
        for (const MRV_BOMRecord::Row& r : group ? group->rows : QList<MRV_BOMRecord::Row>()) {
            MRV_DIDataSet::Row row;
            for (qsizetype i = 0; i < keyFields.size(); ++i)
                row.keys << m_dataSet.keyValue(int(i), r.value(keyFields[i]));
            for (const QString& column : columns)
                row.values << r.value(column);
            QStringList description;
            for (const QString& element : describing)
                description << r.value(element);
            row.description = joinedWith(QStringLiteral(" "), description);
            m_dataSet.addRow(row);
            if (objects)
                break; // a business object's lines are not records of their own
        }
    }
    return &m_dataSet;
}

// ---------------------------------------------------------------- writing

HRESULT MRV_DIInterface::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_DIInterface::writeToTarget");
    const int method = effectiveMethod(copyMethod);
    m_failures = 0;
    m_names.clear(); // the target's names are read again for every write
    m_claimed.clear();
    try {
        MRV_CompanySql target(targetCompany());
        MRV_DIReferences references(target);
        QSet<QString> own;
        for (const MRV_TableDeclaration& t : m_tables)
            own.insert(t.name);
        references.setChangingTables(own);
        const ScopedPointer<MRV_DIReferences> hold(m_references, &references);
        QSet<QString> removed;
        for (const MRV_BOMTable& entry : writingOrder(tables, method == RemovalPhase)) {
            const MRV_TableDeclaration* t = table(entry.name);
            // Tables the category does not own are passed over; children
            // travel with their parents.
            if (!t || t->isChild())
                continue;
            if (t->isSettings()) {
                // Settings are there in every company: never removed, and
                // updated whatever the copy method.
                if (method != RemovalPhase)
                    MRV_DISettings(*this, target, *t).write(entry.documents);
            } else if (method == RemovalPhase) {
                if (t->companion || removed.contains(t->name))
                    continue;
                removed.insert(t->name);
                if (t->isObject())
                    removeAllObjects(target, *t);
                else
                    MRV_DITableWriter(*this, target, references, *t).removeAll();
            } else if (t->isObject()) {
                writeObjects(target, *t, entry.documents, method);
            } else {
                MRV_DITableWriter(*this, target, references, *t)
                    .write(entry.documents, tables, method);
            }
        }
    } catch (const ComError& e) {
        log.LogError(u"Failed to write %s: %s", m_categoryId, e.errorMessage());
        return E_FAIL;
    }
    log.LogDbg1(u"%s written with copy method %d, %d record(s) failed", m_categoryId, method,
                m_failures);
    return m_failures > 0 ? S_FALSE : S_OK;
}

BOMTableList MRV_DIInterface::writingOrder(const BOMTableList& tables, bool removal) const {
    BOMTableList companions, rest;
    for (const MRV_BOMTable& entry : tables) {
        const MRV_TableDeclaration* t = table(entry.name);
        (t && t->companion ? companions : rest) << entry;
    }
    if (removal)
        return companions + rest;
    // A table whose records name records of another table of the category
    // (the administration record its holidays) waits for that table.
    const auto waits = [&](const MRV_BOMTable& entry, const BOMTableList& pending) {
        const MRV_TableDeclaration* t = table(entry.name);
        for (const MRV_Reference& reference : t ? t->references : QList<MRV_Reference>())
            for (const MRV_BOMTable& other : pending)
                if (other.name == reference.table && other.name != entry.name)
                    return true;
        return false;
    };
    BOMTableList ordered = companions;
    while (!rest.isEmpty()) {
        const qsizetype before = rest.size();
        for (qsizetype i = 0; i < rest.size();)
            if (waits(rest[i], rest))
                ++i;
            else
                ordered << rest.takeAt(i);
        if (rest.size() == before) // tables naming one another: as declared
            return ordered + rest;
    }
    return ordered;
}

QList<MRV_BOMDocument>
MRV_DIInterface::parentsFirst(const MRV_TableDeclaration& table,
                              const QList<MRV_BOMDocument>& documents) const {
    if (table.parentElement.isEmpty() || documents.size() < 2)
        return documents;
    QStringList keys;
    QList<QStringList> parents;
    // Key and parents only: a look at each document where its shape allows,
    // else a parse (the write parses every document in full anyway).
    QStringList elements{table.keyElements.value(0), table.parentElement};
    for (const auto& [column, element] : table.parentsAlso)
        elements << element;
    for (const MRV_BOMDocument& document : documents) {
        const QStringList values = MRV_BOMRecord::firstRowValues(document.xml, table.name, elements)
                                       .value_or(QStringList(elements.size(), QString()));
        keys << values.value(0);
        parents << values.mid(1);
    }
    QList<MRV_BOMDocument> ordered;
    for (const qsizetype i : MRV_ParentsFirst(keys, parents))
        ordered << documents[i];
    return ordered;
}

bool MRV_DIInterface::prepareForTarget(const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                                       Outcome& outcome) {
    return prepareForTarget(*m_references, table, record, outcome);
}

bool MRV_DIInterface::prepareForTarget(MRV_DIReferences& references,
                                       const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                                       Outcome& outcome) {
    QString error;
    const bool ready =
        references.checkUserFields(table, record, ignoresMissingUserFields(), error) &&
        references.resolveDependencies(table, record, error);
    const QStringList notes = references.takeNotes();
    if (!notes.isEmpty())
        outcome.note = joinedWith(QStringLiteral("; "), {outcome.note, notes.join(u"; ")});
    if (!ready)
        outcome.error = error;
    return ready;
}

QStringList MRV_DIInterface::codeFields(const MRV_TableDeclaration& table) const {
    const bool main = &table == &mainTable();
    if (main && !m_writeFields.isEmpty())
        return {m_writeFields.first()};
    return table.isObject() ? table.keyElements : table.keyColumns;
}

QString MRV_DIInterface::descriptionField(const MRV_TableDeclaration& table) const {
    const bool main = &table == &mainTable();
    if (main && m_writeFields.size() > 1)
        return m_writeFields[1];
    return table.isObject() ? table.descriptionElement : table.descriptionColumn;
}

QString MRV_DIInterface::baseDescription(const MRV_TableDeclaration& table,
                                         const MRV_BOMRecord::Row& row) const {
    if (&table == &mainTable() && !m_descriptionElements.isEmpty()) {
        QStringList values;
        for (const QString& element : m_descriptionElements)
            values << row.value(element);
        return joinedWith(QStringLiteral(" "), values);
    }
    return row.value(table.isObject() ? table.descriptionElement : table.descriptionColumn);
}

QString MRV_DIInterface::objectProperty(LLObjectsCOM::HostObject& object,
                                        const QString& name) const {
    if (name.isEmpty() || object.GetIDOfName(name) < 0)
        return QString();
    return MRV_CompanySql::text(object.Invoke(name));
}

void MRV_DIInterface::describeTarget(LLObjectsCOM::HostObject& object,
                                     const MRV_TableDeclaration& table, Outcome& outcome) const {
    QStringList code;
    for (const QString& property : codeFields(table))
        code << objectProperty(object, property);
    outcome.targetCode = code.join(QStringLiteral(", "));
    outcome.targetDescription = objectProperty(object, descriptionField(table));
}

QString MRV_DIInterface::hostError(LLObjectsCOM::Company& company) const {
    int code = 0;
    QString text;
    company.GetLastError(code, text);
    if (code == 0 && text.isEmpty())
        return ComError::textForCode(E_FAIL);
    return QStringLiteral("%1: %2").arg(code).arg(text);
}

bool MRV_DIInterface::parseRecord(const MRV_BOMDocument& document, MRV_BOMRecord& record,
                                  Outcome& outcome) {
    QString why;
    if (record.parse(document.xml, &why))
        return true;
    outcome.error = QStringLiteral("The record is not a record document: ") + why;
    logOutcome(outcome);
    return false;
}

QString MRV_DIInterface::errorText(const ComError& error) {
    return QStringLiteral("%1: %2").arg(error.code()).arg(error.description());
}

void MRV_DIInterface::writeObjects(MRV_CompanySql& target, const MRV_TableDeclaration& table,
                                   const QList<MRV_BOMDocument>& documents, int copyMethod) {
    for (const MRV_BOMDocument& document : parentsFirst(table, documents)) {
        Outcome outcome;
        outcome.operation = copyMethod == UpdateExisting ? UpdateExisting : AddNew;
        try {
            MRV_BOMRecord record;
            if (!parseRecord(document, record, outcome))
                continue;
            const MRV_BOMRecord::Row row = record.firstRow(table.name);
            QStringList keyTexts;
            for (const QString& element : table.keyElements)
                keyTexts << row.value(element);
            outcome.baseCode = keyTexts.join(QStringLiteral(", "));
            outcome.baseDescription = baseDescription(table, row);
            const QStringList selfFields = MRV_DIReferences::selfReferences(table, row);
            if (prepareForTarget(table, record, outcome)) {
                // A key field that refers to another record (a price
                // hierarchy's list) names the target's record from here on.
                if (const MRV_BOMRecord::Group* prepared =
                        record.group(MRV_BOMRecord::groupName(table.name));
                    prepared && !prepared->rows.isEmpty())
                    for (qsizetype i = 0; i < keyTexts.size(); ++i)
                        keyTexts[i] = prepared->rows.first().value(table.keyElements[i]);
                writeObject(target, table, record, keyTexts, document.flag, copyMethod, outcome,
                            selfFields);
            }
        } catch (const ComError& e) {
            outcome.succeeded = false;
            outcome.error = errorText(e);
        }
        logOutcome(outcome);
    }
}

void MRV_DIInterface::writeObject(MRV_CompanySql& target, const MRV_TableDeclaration& table,
                                  MRV_BOMRecord& record, QStringList keyTexts, int flag,
                                  int copyMethod, Outcome& outcome, const QStringList& selfFields) {
    bool found = false;
    QString name; // of a record the host numbers itself
    if (table.generatedKeyName.isEmpty() && !claimTarget(table, keyTexts, outcome))
        return;
    if (!table.generatedKeyName.isEmpty()) {
        // The host numbers these records itself: a record is the target's
        // record of the same name, whatever key it has there.
        QString key = keyTexts.value(0);
        MRV_BOMRecord::Group* group = record.group(MRV_BOMRecord::groupName(table.name));
        MRV_BOMRecord::Row* row = group && !group->rows.isEmpty() ? &group->rows.first() : nullptr;
        name = row ? generatedName(table, *row) : QString();
        if (!claimTarget(table, {name}, outcome))
            return;
        found = row && resolveTargetKey(name, table.name, key);
        if (row) {
            // The target's key, or the next free one: a host that numbers
            // the records itself ignores it, one that leaves it to the
            // caller takes it.
            for (const QString& field : selfFields)
                row->setValue(field, key);
            keyTexts[0] = key;
            row->setValue(table.keyElements.value(0), key);
        }
        if (!admits(copyMethod, found, outcome))
            return;
    }
    const QVariantList keys = typedKeys(target, table, keyTexts);
    bool update = copyMethod == UpdateExisting;
    if (copyMethod == ReplaceAll)
        update = !table.generatedKeyName.isEmpty()
                     ? found
                     : flag == 1 || target.company()
                                        .GetBusinessObject(table.objectType)
                                        ->Invoke(QStringLiteral("GetByKey"), keys)
                                        .toBool();
    outcome.operation = update ? UpdateExisting : AddNew;
    if (!update) {
        MRV_BOMRecord::Group* group = record.group(MRV_BOMRecord::groupName(table.name));
        if (group && !group->rows.isEmpty())
            assignAutoKey(table, group->rows.first());
    }
    if (update) {
        UpdateDataSetFromDI(table, record.toXml(), keys, outcome);
    } else if (AddDataSetFromDI(table, record.toXml(), outcome) &&
               !table.generatedKeyName.isEmpty()) {
        // The key the host gave the new record, as the added object holds
        // it; else the next key, the highest there is.
        const QString keyColumn = table.keyColumns.value(0);
        keyTexts[0] = !outcome.addedKey.isEmpty()
                          ? outcome.addedKey
                          : MRV_CompanySql::text(target.scalar(
                                QStringLiteral("SELECT MAX(%1) FROM %2")
                                    .arg(target.column(keyColumn), target.table(table.name))));
        rememberName(table, name, keyTexts[0]);
    }
    if (outcome.succeeded && m_references) {
        const MRV_BOMRecord::Group* group = record.group(MRV_BOMRecord::groupName(table.name));
        m_references->written(table, keyTexts,
                              group && !group->rows.isEmpty() ? &group->rows.first() : nullptr);
    }
}

bool MRV_DIInterface::UpdateDataSetFromDI(const MRV_TableDeclaration& table, QString xml,
                                          const QVariantList& keys, Outcome& outcome) {
    CLogBase log(u"MRV", u"MRV_DIInterface::UpdateDataSetFromDI");
    outcome.operation = UpdateExisting;
    LLObjectsCOM::Company& company = targetCompany();
    try {
        prepareRecord(table.objectType, xml);
        const std::unique_ptr<LLObjectsCOM::HostObject> object =
            company.GetBusinessObject(table.objectType);
        if (!object->Invoke(QStringLiteral("GetByKey"), keys).toBool()) {
            outcome.error = hostError(company);
            return false;
        }
        outcome.targetFormerDescription = objectProperty(*object, descriptionField(table));
        if (object->GetIDOfName(QStringLiteral("Browser")) < 0)
            return replaceObject(table, *object, xml, outcome);
        auto* browser =
            object->Invoke(QStringLiteral("Browser")).value<LLObjectsCOM::HostObject*>();
        if (!browser)
            throw ComError(E_FAIL, QStringLiteral("The object gives no browser"));
        if (browser->Invoke(QStringLiteral("ReadXml"), {xml, 0}).toInt() != 0) {
            outcome.error = hostError(company);
            return false;
        }
        prepareObject(table.objectType, *object, BeforeUpdate);
        if (object->Invoke(QStringLiteral("Update")).toInt() != 0) {
            outcome.error = hostError(company);
            return false;
        }
        describeTarget(*object, table, outcome);
        outcome.succeeded = true;
        return true;
    } catch (const ComError& e) {
        log.LogError(u"exception caused in UpdateDataSetFromDI");
        outcome.error = errorText(e);
        return false;
    }
}

bool MRV_DIInterface::replaceObject(const MRV_TableDeclaration& table,
                                    LLObjectsCOM::HostObject& found, const QString& xml,
                                    Outcome& outcome) {
    // Without a browser the record is removed and added anew, as one unit,
    // so that a refused add never loses the record.
    LLObjectsCOM::Company& company = targetCompany();
    MRV_RecordScope scope(company);
    bool ok = found.Invoke(QStringLiteral("Remove")).toInt() == 0;
    if (ok)
        ok = addObject(table, xml, outcome);
    else
        outcome.error = hostError(company);
    scope.finish(ok);
    return ok;
}

bool MRV_DIInterface::addObject(const MRV_TableDeclaration& table, const QString& xml,
                                Outcome& outcome) {
    LLObjectsCOM::Company& company = targetCompany();
    const std::unique_ptr<LLObjectsCOM::BusinessObject> object =
        company.GetBusinessObjectFromXML(xml, 0);
    prepareObject(table.objectType, *object, BeforeAdd);
    outcome.succeeded = object->Invoke(QStringLiteral("Add")).toInt() == 0;
    if (outcome.succeeded) {
        describeTarget(*object, table, outcome);
        outcome.addedKey = objectProperty(*object, table.keyElements.value(0));
    } else
        outcome.error = hostError(company);
    return outcome.succeeded;
}

bool MRV_DIInterface::AddDataSetFromDI(const MRV_TableDeclaration& table, QString xml,
                                       Outcome& outcome) {
    CLogBase log(u"MRV", u"MRV_DIInterface::AddDataSetFromDI");
    outcome.operation = AddNew;
    try {
        prepareRecord(table.objectType, xml);
        return addObject(table, xml, outcome);
    } catch (const ComError& e) {
        log.LogError(u"exception caused in AddDataSetFromDI");
        outcome.error = errorText(e);
        return false;
    }
}

bool MRV_DIInterface::removeObject(const MRV_TableDeclaration& table, const QVariantList& keys,
                                   Outcome& outcome) {
    outcome.operation = RemovalPhase;
    LLObjectsCOM::Company& company = targetCompany();
    const std::unique_ptr<LLObjectsCOM::HostObject> object =
        company.GetBusinessObject(table.objectType);
    if (!object->Invoke(QStringLiteral("GetByKey"), keys).toBool()) {
        outcome.error = hostError(company);
        return false;
    }
    describeTarget(*object, table, outcome);
    if (object->Invoke(QStringLiteral("Remove")).toInt() != 0) {
        outcome.error = hostError(company);
        return false;
    }
    outcome.succeeded = true;
    return true;
}

void MRV_DIInterface::removeAllObjects(MRV_CompanySql& target, const MRV_TableDeclaration& table) {
    CLogBase log(u"MRV", u"MRV_DIInterface::removeAllObjects");
    const QList<QStringList> keys = keyRows(
        target, table, keySelect(target, table, table.removalSelect, table.removalFilter), true);
    for (const QStringList& key : keys) {
        Outcome outcome;
        outcome.operation = RemovalPhase;
        try {
            removeObject(table, typedKeys(target, table, key), outcome);
        } catch (const ComError& e) {
            outcome.succeeded = false;
            outcome.error = errorText(e);
        }
        if (outcome.targetCode.isEmpty())
            outcome.targetCode = key.join(QStringLiteral(", "));
        if (!outcome.succeeded)
            log.LogDbg1(u"%s %s not removed: %s", table.name, outcome.targetCode, outcome.error);
        logOutcome(outcome);
    }
}

// ---------------------------------------------------------------- the log

void MRV_DIInterface::logReadFailure(const QString& code, const QString& error) {
    CLogBase(u"MRV", u"MRV_DIInterface::readFromDatabase")
        .LogError(u"%s: record %s not read: %s", m_categoryId, code, error);
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR text(ui.language());
    text.FormatId(10207, MRV_ResourceManager::instance()->textOf(m_categoryId, ui.language()), code,
                  error);
    ui.error(text, false);
    // In a copy run the record failed as surely as one the target refused:
    // its line, and the run's response to a failure.
    Outcome outcome;
    outcome.baseCode = code;
    outcome.error = error;
    if (m_context && m_context->copyLog)
        logOutcome(outcome);
    else
        ++m_failures;
}

bool MRV_DIInterface::admits(int copyMethod, bool exists, Outcome& outcome) {
    if (copyMethod == UpdateExisting && !exists)
        outcome.error = QStringLiteral("The record is not in the target company");
    else if (copyMethod == AddNew && exists)
        outcome.error = QStringLiteral("The record exists in the target company already");
    else
        return true;
    return false;
}

int MRV_DIInterface::writeEach(const QList<MRV_BOMDocument>& documents, int copyMethod,
                               const std::function<void(MRV_BOMRecord&, Outcome&)>& work) {
    int failed = 0;
    for (const MRV_BOMDocument& document : documents) {
        Outcome outcome;
        outcome.operation = copyMethod == UpdateExisting ? UpdateExisting : AddNew;
        MRV_BOMRecord record;
        if (!parseRecord(document, record, outcome) ||
            !logged(outcome, [&] { work(record, outcome); }))
            ++failed;
    }
    return failed;
}

bool MRV_DIInterface::ignoresMissingUserFields() const {
    return m_context && m_context->ignoreMissingUdf;
}

bool MRV_DIInterface::logged(Outcome& outcome, const std::function<void()>& work) {
    try {
        work();
    } catch (const ComError& e) {
        outcome.succeeded = false;
        outcome.error = errorText(e);
    }
    logOutcome(outcome);
    return outcome.succeeded;
}

void MRV_DIInterface::logOutcome(const Outcome& outcome) {
    if (!outcome.succeeded)
        ++m_failures;
    if (m_context && m_context->copyLog) {
        MRV_CopyLog& log = *m_context->copyLog;
        log.resetRecord();
        log.setCategoryId(m_categoryId);
        log.setTransactionType(outcome.operation);
        log.setResult(outcome.succeeded ? QStringLiteral("402") : QStringLiteral("403"));
        log.setBaseCode(outcome.baseCode);
        log.setBaseDescription(outcome.baseDescription);
        log.setTargetCode(outcome.targetCode);
        log.setTargetDescription(outcome.targetDescription);
        log.setTargetFormerDescription(outcome.targetFormerDescription);
        // A note of what a written record left out stands with its line.
        log.setError(joinedWith(QStringLiteral("; "), {outcome.error, outcome.note}));
        log.writeRecord(m_logFlag != 0);
    }
    if (!outcome.succeeded)
        respondToFailure(outcome);
}

void MRV_DIInterface::respondToFailure(const Outcome& outcome) {
    const int response = m_context ? m_context->responseToFailure : 0;
    if (response != 1 && response != 2)
        return;
    MRV_Interaction& ui = MRV_Interaction::current();
    const QString category = MRV_ResourceManager::instance()->textOf(m_categoryId, ui.language());
    const QString record = joinedWith(
        QStringLiteral(" - "),
        {outcome.baseCode.isEmpty() ? outcome.targetCode : outcome.baseCode,
         outcome.baseDescription.isEmpty() ? outcome.targetDescription : outcome.baseDescription});
    CTSBSTR text(ui.language());
    if (response == 1) {
        text.FormatId(10046, category, record, outcome.error);
        if (ui.question(text, false, 1) == MRV_Interaction::ButtonYes)
            return;
        throw MRV_DIFailureAbortException(CTSBSTR::load(10048, ui.language()));
    }
    text.FormatId(10047, category, record, outcome.error);
    ui.error(text);
    throw MRV_DIFailureAbortException(text);
}
