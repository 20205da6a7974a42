#include "managers/MRV_DocumentNumberingManager.h"

#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_RecordScope.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLXmlText.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString SeriesTable = u"NNM1"_s;
const QString DefaultElement = u"Default"_s;
// Whether one series may serve several document types in the base: series
// of one structure mean nothing in the other.
const QString StructureElement = u"MultiTypeSeries"_s;

// The series' columns and the properties of the host's series object that
// the write sets.
const QList<std::pair<QString, QString>> SeriesProperties{
    {u"ObjectCode"_s, u"Document"_s},   {u"DocSubType"_s, u"DocumentSubType"_s},
    {u"SeriesName"_s, u"Name"_s},       {u"InitialNum"_s, u"InitialNumber"_s},
    {u"NextNumber"_s, u"NextNumber"_s}, {u"LastNum"_s, u"LastNumber"_s},
    {u"Prefix"_s, u"Prefix"_s},         {u"Suffix"_s, u"Suffix"_s},
    {u"Remarks"_s, u"Remarks"_s},       {u"Indicator"_s, u"PeriodIndicator"_s}};

} // namespace

MRV_DocumentNumberingManager::MRV_DocumentNumberingManager(MRV_ConnectionContext* context,
                                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ObjectCode"_s, u"Series"_s};
    m_descriptionElements = {u"SeriesName"_s};
    m_listColumns = {u"SeriesName"_s, u"InitialNum"_s, u"NextNumber"_s, u"LastNum"_s,
                     u"GroupCode"_s,  u"Locked"_s,     u"Indicator"_s};
    m_listElements = m_listColumns;
    m_columnFlags = {0, 0, 0, 0, 0, 0, 0};
    declareTable({
        .name = SeriesTable,
        .keyColumns = m_keyColumns,
        .descriptionColumn = u"SeriesName"_s,
        // Documents whose numbering the host keeps to itself. The series of
        // every period indicator travel, as the indicators do: users'
        // default series name those of the years too.
        .filter = {u"ObjectCode <> '132' AND ObjectCode <> '68' AND ObjectCode <> '163' AND "
                   u"ObjectCode <> '164' AND ObjectCode <> '165' AND ObjectCode <> '166'"_s},
    });
    declareTable({
        .name = u"OPID"_s,
        .keyColumns = {u"Indicator"_s},
        .descriptionColumn = u"Code"_s,
    });
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .settingsElement = u"DocumentNames"_s,
        .settings = {u"PorName"_s, u"PdnName"_s, u"RpdName"_s, u"PchName"_s, u"RpcName"_s},
    });
}

void MRV_DocumentNumberingManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    MRV_DIInterface::readFromDatabase(std::move(keys), tables);
    for (MRV_BOMTable& entry : tables) {
        if (entry.name != SeriesTable)
            continue;
        MRV_CompanySql base(baseCompany());
        QHash<QString, QString> defaults; // document -> its default series
        MRV_SQLBuilder numbering = base.builder(u"ONNM"_s);
        numbering.addSelectColumn(u"ObjectCode"_s);
        numbering.addSelectColumn(u"DfltSeries"_s);
        for (const QVariantList& row : base.query(numbering.buildSelect()).values)
            defaults.insert(MRV_CompanySql::text(row.value(0)), MRV_CompanySql::text(row.value(1)));
        const QString structure = seriesStructure(base);
        QList<MRV_BOMDocument> series;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(SeriesTable) : nullptr;
            for (const MRV_BOMRecord::Row& row :
                 group ? group->rows : QList<MRV_BOMRecord::Row>()) {
                QString fields;
                for (const MRV_BOMRecord::Field& f : row.fields)
                    fields += LLXmlElement(f.name, f.value);
                const bool isDefault =
                    defaults.value(row.value(u"ObjectCode"_s)) == row.value(u"Series"_s);
                fields += LLXmlElement(DefaultElement, isDefault ? u"1"_s : u"0"_s);
                fields += LLXmlElement(StructureElement, structure);
                series << MRV_BOMDocument{
                    MRV_BOMRecord::tableDocument(SeriesTable, u"<row>"_s + fields + u"</row>"_s),
                    0};
            }
        }
        entry.documents = series;
    }
}

HRESULT MRV_DocumentNumberingManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    CLogBase log(u"MRV", u"MRV_DocumentNumberingManager::writeToTarget");
    if (copyMethod == RemovalPhase) {
        log.LogDbg1(u"Numbering series are never removed");
        return S_OK;
    }
    BOMTableList others;
    QList<MRV_BOMDocument> series;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name == SeriesTable)
            series << entry.documents;
        else
            others << entry;
    }
    // Series name their period indicator: the indicators go first.
    if (MRV_DIInterface::writeToTarget(others, copyMethod) == E_FAIL)
        return E_FAIL;
    try {
        MRV_CompanySql target(targetCompany());
        writeSeries(target, series, copyMethod);
    } catch (const ComError& e) {
        log.LogError(u"Failed to write the series: %s", e.errorMessage());
        return E_FAIL;
    }
    return failedRecords() > 0 ? S_FALSE : S_OK;
}

void MRV_DocumentNumberingManager::writeSeries(MRV_CompanySql& target,
                                               const QList<MRV_BOMDocument>& documents,
                                               int copyMethod) {
    const MRV_TableDeclaration series{
        .name = SeriesTable,
        .objectType = SeriesObject,
        .keyColumns = {u"Series"_s},
        .keyElements = {u"Series"_s},
        .descriptionColumn = u"SeriesName"_s,
        .descriptionElement = u"Name"_s,
    };
    QSet<QString> written; // document, sub type and initial number of series written
    const QString structure = seriesStructure(target);
    QString differs;
    MRV_ResourceManager::instance()->getText(10064, CTSBSTR::English, differs);
    for (const MRV_BOMDocument& document : documents) {
        MRV_BOMRecord record;
        if (Outcome outcome; !parseRecord(document, record, outcome))
            continue;
        const MRV_BOMRecord::Group* group = record.group(SeriesTable);
        for (const MRV_BOMRecord::Row& row : group ? group->rows : QList<MRV_BOMRecord::Row>()) {
            Outcome outcome;
            outcome.operation = copyMethod == UpdateExisting ? UpdateExisting : AddNew;
            outcome.baseCode = row.value(u"ObjectCode"_s) + u", "_s + row.value(u"Series"_s);
            outcome.baseDescription = row.value(u"SeriesName"_s);
            // A file of an older version does not say; the host's default
            // then stands for the base.
            const QString from = row.has(StructureElement) ? row.value(StructureElement) : u"N"_s;
            if (from != structure) {
                outcome.error = differs;
                logOutcome(outcome);
                continue;
            }
            try {
                MRV_RecordScope scope(target.company());
                scope.finish(writeOne(target, series, row, copyMethod, written, outcome));
            } catch (const ComError& e) {
                outcome.succeeded = false;
                outcome.error = u"%1: %2"_s.arg(e.code()).arg(e.description());
            }
            logOutcome(outcome);
        }
    }
}

QString MRV_DocumentNumberingManager::seriesStructure(MRV_CompanySql& company) {
    const QString value = MRV_CompanySql::text(company.scalar(
        u"SELECT %1 FROM %2"_s.arg(company.column(StructureElement), company.table(u"OADM"_s))));
    return value == u"Y" ? value : u"N"_s;
}

bool MRV_DocumentNumberingManager::writeOne(MRV_CompanySql& target,
                                            const MRV_TableDeclaration& series,
                                            const MRV_BOMRecord::Row& row, int copyMethod,
                                            QSet<QString>& written, Outcome& outcome) {
    const QString document = row.value(u"ObjectCode"_s);
    const QString subType = row.value(u"DocSubType"_s);
    // The series of a document is known by its sub type, period indicator
    // and initial number: a customers' and a vendors' series may both start
    // at 1, and so may the series of two years.
    MRV_SQLBuilder find = target.builder(SeriesTable);
    find.addSelectColumn(u"Series"_s);
    find.addCondition(u"ObjectCode"_s, document, MRV_SQLBuilder::Text);
    find.addCondition(u"DocSubType"_s, subType, MRV_SQLBuilder::Text);
    find.addCondition(u"InitialNum"_s, row.value(u"InitialNum"_s), MRV_SQLBuilder::Number);
    find.addCondition(u"Indicator"_s, row.value(u"Indicator"_s), MRV_SQLBuilder::Text);
    if (document.isEmpty() || !find.isValid()) {
        outcome.error =
            document.isEmpty() ? u"The series names no document"_s : find.invalidReason();
        return false;
    }
    const QString identity = QStringList{document, subType, row.value(u"Indicator"_s),
                                         row.value(u"InitialNum"_s).trimmed()}
                                 .join(QChar(0x1F));
    if (written.contains(identity)) {
        outcome.error = u"Another series of this document, sub type, period indicator and "
                        u"initial number was written before it"_s;
        return false;
    }
    written.insert(identity);
    const MRV_CompanySql::Rows found = target.query(find.buildSelect());
    const bool exists = !found.values.isEmpty();
    if (!admits(copyMethod, exists, outcome))
        return false;
    QString key;
    if (exists) {
        key = MRV_CompanySql::text(found.values.first().value(0));
    } else {
        const QVariant max = target.scalar(
            u"SELECT MAX(%1) FROM %2"_s.arg(target.column(u"Series"_s), target.table(SeriesTable)));
        key = QString::number(MRV_CompanySql::text(max).toLongLong() + 1);
    }
    QString fields = LLXmlElement(u"Series"_s, key);
    for (const auto& [column, property] : SeriesProperties)
        fields += LLXmlElement(property, row.value(column));
    const QString xml = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>"_s +
                        QString::number(SeriesObject) + u"</Object></AdmInfo><NNM1><row>"_s +
                        fields + u"</row></NNM1></BO></BOM>"_s;
    const bool ok = exists ? UpdateDataSetFromDI(series, xml, {key.toInt()}, outcome)
                           : AddDataSetFromDI(series, xml, outcome);
    if (!ok || row.value(DefaultElement) != u"1")
        return ok;
    MRV_SQLBuilder numbering = target.builder(u"ONNM"_s);
    numbering.addSelectColumn(u"ObjectCode"_s);
    numbering.addCondition(u"ObjectCode"_s, document, MRV_SQLBuilder::Text);
    if (target.query(numbering.buildSelect()).values.isEmpty()) {
        outcome.succeeded = false;
        outcome.error = u"The target company has no numbering of document %1"_s.arg(document);
        return false;
    }
    MRV_SQLBuilder dflt = target.builder(u"ONNM"_s);
    dflt.addCondition(u"DfltSeries"_s, key, MRV_SQLBuilder::Number);
    MRV_SQLBuilder where = target.builder(u"ONNM"_s);
    where.addCondition(u"ObjectCode"_s, document, MRV_SQLBuilder::Text);
    target.execute(dflt.buildUpdate() + where.buildWhere());
    return true;
}
