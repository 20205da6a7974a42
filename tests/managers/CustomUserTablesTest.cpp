#include "ManagerTestSupport.h"
#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "managers/MRV_UserDefinedObjectsManager.h"
#include "xml/MRV_DOMParser.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Tables = u"MRV_TRN_UDT_100"_s;
const QString Fields = u"MRV_TRN_UDF_100"_s;
const QString Content = u"MRV_TRN_UDTCONT_100"_s;
const QString Objects = u"MRV_TRN_UDO_100"_s;
const QString Manufacturers = u"MRV_TRN_MANUFACTURERS_100"_s;

// The tables that never travel: the program's own and the framework's.
const QStringList Excluded{u"MRVNOTE"_s, u"MRVSETT"_s, u"TSEXTDBVERSION"_s};

const QString CopiedTables = u"TableName NOT IN ('MRVNOTE', 'MRVSETT', 'TSEXTDBVERSION')"_s;
const QString CopiedFields =
    u"f.TableID NOT IN ('@MRVNOTE', '@MRVSETT', '@TSEXTDBVERSION') AND f.TableID NOT LIKE 'A%' "
    u"AND COALESCE(f.SYS, 'N') <> 'Y'"_s;
// The content tables of the standard company and what their rows hold.
const QString ContentRows =
    u"SELECT 'Z', Code, Name, U_Surcharge, NULL FROM [@SHIPZONES] UNION ALL "
    u"SELECT 'F', Code, Name, U_Currency, U_Margin FROM [@FXMARGINS] ORDER BY 1, 2"_s;

LLObjectsCOM::Database& db(LLObjectsCOM::Company& company) {
    return *company.state()->database;
}

// A user field made through the host, as the fields category would make it.
bool addField(LLObjectsCOM::Company& company, const QString& table, const QString& alias,
              const QString& description, QChar type, int size) {
    QString why;
    const bool made = LLObjectsCOM::UserTables::addField(db(company), true, table, alias,
                                                         description, type, size, &why);
    EXPECT_TRUE(made) << table.toStdString() << " " << alias.toStdString() << ": "
                      << why.toStdString();
    return made;
}

// The base's user tables (those of no object, or all) made in the target
// through the host, as the tables category would.
void userTables(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target, bool ofNoObject) {
    for (const LLObjectsCOM::UserTables::Table& t : LLObjectsCOM::UserTables::tables(db(base))) {
        if ((ofNoObject && t.objectType != 0) ||
            LLObjectsCOM::UserTables::table(db(target), t.name))
            continue;
        QString why;
        EXPECT_TRUE(LLObjectsCOM::UserTables::addTable(db(target), true, t.name, t.description,
                                                       t.objectType, &why))
            << why.toStdString();
    }
}

// The base's tables of no object and their fields, as both categories
// would make them.
void contentTables(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    userTables(base, target, true);
    for (const LLObjectsCOM::UserTables::Table& t : LLObjectsCOM::UserTables::tables(db(base)))
        for (const auto& f : LLObjectsCOM::UserTables::fields(db(base), u'@' + t.name))
            if (t.objectType == 0 &&
                std::ranges::none_of(LLObjectsCOM::UserTables::fields(db(target), f.table),
                                     [&](const auto& there) { return there.alias == f.alias; }))
                addField(target, f.table, f.alias, f.description, f.type, f.size);
}

} // namespace

QList<ManagerCase> customUserTableCases() {
    const auto objectTables = [](LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
        userTables(base, target, false);
    };
    return {
        {.name = "UserTables",
         .categoryId = Tables,
         .contents = u"SELECT TableName, Descr, ObjectType, Archivable FROM OUTB WHERE "_s +
                     CopiedTables + u" ORDER BY 1"_s,
         .records = u"SELECT 1 FROM OUTB WHERE "_s + CopiedTables,
         .prepare = [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {},
         .insertNamed = u"INSERT INTO OUTB (TableName, Descr, ObjectType) VALUES ('T%1', %2, 0)"_s,
         .names = u"SELECT Descr FROM OUTB WHERE "_s + CopiedTables,
         .nameWidth = 30,
         .nameRequired = false},
        // A field by its table and name, never by its number; its valid
        // values by their field's name.
        {.name = "UserFields",
         .categoryId = Fields,
         .contents = u"SELECT f.TableID, f.AliasID, f.Descr, f.TypeID, f.EditType, f.EditSize, "
                     u"f.Dflt, f.NotNull, f.RTable FROM CUFD f WHERE "_s +
                     CopiedFields + u" ORDER BY 1, 2"_s,
         .records = u"SELECT 1 FROM CUFD f WHERE "_s + CopiedFields,
         .prepare = objectTables,
         .insertNamed = u"INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, TypeID, EditSize) "
                        u"VALUES ('OCRD', %1, 'Named%1', %2, '0', 10)"_s,
         .names = u"SELECT f.Descr FROM CUFD f WHERE "_s + CopiedFields,
         .nameWidth = 30,
         .nameRequired = false,
         .lines = {u"SELECT f.TableID, f.AliasID, v.IndexID, v.FldValue, v.Descr FROM UFD1 v "
                   u"JOIN CUFD f ON f.TableID = v.TableID AND f.FieldID = v.FieldID "
                   u"ORDER BY 1, 2, 3"_s}},
        {.name = "UserTableContent",
         .categoryId = Content,
         .contents = ContentRows,
         .records = u"SELECT 1 FROM [@SHIPZONES] UNION ALL SELECT 1 FROM [@FXMARGINS]"_s,
         .prepare = contentTables,
         .insertNamed = u"INSERT INTO [@SHIPZONES] (Code, Name) VALUES (%3, %2)"_s,
         .names = u"SELECT Name FROM [@SHIPZONES] UNION ALL SELECT Name FROM [@FXMARGINS]"_s,
         .nameWidth = 100},
        {.name = "UserObjects",
         .categoryId = Objects,
         .contents = u"SELECT Code, Name, TYPE, TableName, LogTableName, ExtensionName, "
                     u"CanCancel, CanClose, CanCreateDefaultForm, CanDelete, CanFind, CanLog, "
                     u"CanYearTransfer, ManageSeries, OverwriteDllfile FROM OUDO ORDER BY 1"_s,
         .records = u"SELECT 1 FROM OUDO"_s,
         .prepare = objectTables,
         .insertNamed = u"INSERT INTO OUDO (Code, Name, TYPE, TableName) "
                        u"VALUES (%3, %2, 1, 'EQUIPMENT')"_s,
         .names = u"SELECT Name FROM OUDO"_s,
         .nameWidth = 100,
         .lines = {u"SELECT Code, SonNumber, TableName, LogTableName FROM UDO1 ORDER BY 1, 2"_s,
                   u"SELECT Code, ColumnAlias, ColumnDescription FROM UDO2 ORDER BY 1, 2"_s,
                   u"SELECT Code, SonNumber, FormColumnAlias, FormColumnDescription FROM UDO3 "
                   u"ORDER BY 1, 3"_s}},
    };
}

namespace {

// A user field's catalogue entry as both companies show it.
struct FieldShape {
    QString table, alias;
    QChar type;
    int size;
    bool operator==(const FieldShape&) const = default;
};

QList<FieldShape> copiedFields(LLObjectsCOM::Company& company) {
    QList<FieldShape> shapes;
    for (const QVariantList& r :
         EngineWorld::rows(company, u"SELECT f.TableID, f.AliasID FROM CUFD f WHERE "_s +
                                        CopiedFields + u" ORDER BY 1, 2"_s))
        for (const auto& f : LLObjectsCOM::UserTables::fields(db(company), r[0].toString()))
            if (f.alias == r[1].toString())
                shapes << FieldShape{f.table, f.alias, f.type, f.type == u'A' ? f.size : 0};
    return shapes;
}

// Every value of every document of a category's tables, with the tables'
// names.
QString everything(const BOMTableList& tables) {
    QString all;
    for (const MRV_BOMTable& t : tables) {
        all += t.name + u'\n';
        for (const MRV_BOMDocument& d : t.documents)
            all += d.xml + u'\n';
    }
    return all;
}

} // namespace

// The particulars, on both SQL dialects.
class CustomUserTables : public ManagerOnServer {
protected:
    void SetUp() override {
        ManagerOnServer::SetUp();
        context.ignoreMissingUdf = false;
    }
    HRESULT write(const QString& category, const BOMTableList& tables, int method) {
        return manager(category)->writeToTarget(tables, method);
    }
    // The result and error of the last line whose base code (or, for a
    // field, base description) is code.
    QString errorOf(const QString& code, LogField by = BaseCode) const {
        QString error = u"(no line)"_s;
        for (const QStringList& r : logRecords())
            if (r[by] == code)
                error = r[Result] + u' ' + r[Error];
        return error;
    }
    QString udoRecord(const QString& code) {
        for (const MRV_BOMDocument& d : read(Objects, {{code}}).value(0).documents)
            return d.xml;
        return QString();
    }
};

// Tables and fields arrive as real tables and columns of their types; the
// fields of "A" tables, the system's fields and the excluded tables never
// travel, neither by themselves nor with their content.
TEST_P(CustomUserTables, TablesAndFieldsExistWithTheirTypesAndExcludedOnesNeverTravel) {
    ASSERT_TRUE(addField(*base, u"OITM"_s, u"SysMark"_s, u"System"_s, u'A', 5));
    exec(*base, u"UPDATE CUFD SET SYS = 'Y' WHERE AliasID = 'SysMark'"_s);
    ASSERT_TRUE(addField(*base, u"AITB"_s, u"History"_s, u"History"_s, u'N', 0));
    for (const QString& excluded : Excluded)
        if (!LLObjectsCOM::UserTables::table(db(*base), excluded)) {
            QString why;
            ASSERT_TRUE(
                LLObjectsCOM::UserTables::addTable(db(*base), true, excluded, excluded, 0, &why))
                << why.toStdString();
            ASSERT_TRUE(addField(*base, u'@' + excluded, u"Kept"_s, u"Kept"_s, u'A', 5));
            exec(*base, u"INSERT INTO [@%1] (Code, Name) VALUES ('K', 'K')"_s.arg(excluded));
        }
    QStringList hadBefore;
    for (const QString& never : Excluded)
        if (LLObjectsCOM::UserTables::table(db(*target), never))
            hadBefore << never;
    for (const QString& category : {Tables, Fields, Content})
        EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    const QList<FieldShape> fields = copiedFields(*base);
    ASSERT_GT(fields.size(), 10);
    EXPECT_EQ(copiedFields(*target), fields);
    // The columns are there, as the host describes the tables.
    MRV_CompanySql described(*target);
    for (const FieldShape& f : fields)
        EXPECT_TRUE(described.fields(f.table).contains(u"U_"_s + f.alias))
            << f.table.toStdString() << " " << f.alias.toStdString();
    expectSame(ContentRows);

    // The target's own tables of those names (the program's) keep what
    // they had; the others are not made.
    for (const QString& never : Excluded) {
        EXPECT_EQ(LLObjectsCOM::UserTables::table(db(*target), never).has_value(),
                  hadBefore.contains(never))
            << never.toStdString();
        EXPECT_FALSE(
            hadBefore.contains(never) &&
            !rows(*target, u"SELECT 1 FROM [@%1] WHERE Code = 'K'"_s.arg(never)).isEmpty());
    }
    for (const QString& category : {Tables, Fields, Content}) {
        const QString read = everything(this->read(category));
        for (const QString& never : Excluded + QStringList{u"SysMark"_s, u"History"_s, u"AITB"_s})
            EXPECT_FALSE(read.contains(never)) << category.toStdString() << never.toStdString();
    }

    // The grid shows the types as their texts.
    const auto texts = [&](const QString& category) {
        QStringList shown;
        for (const MRV_DIDataSet::Row& r : listed(category))
            shown << r.values.value(2);
        shown.removeDuplicates();
        shown.sort();
        return shown;
    };
    EXPECT_EQ(texts(Tables), (QStringList{u"Document"_s, u"Document Lines"_s, u"Master Data"_s,
                                          u"Master Data Lines"_s, u"No Object"_s}));
    EXPECT_EQ(texts(Fields),
              (QStringList{u"Alphanumeric"_s, u"Date"_s, u"Float"_s, u"Memo"_s, u"Numeric"_s}));
}

// User fields and tables exist before any record that carries them is
// written: the writing order puts them first, tables before fields, and a
// user table's field cannot come before its table.
TEST_P(CustomUserTables, FieldsFollowTheirTablesAndPrecedeTheRecordsThatCarryThem) {
    QFile file(QStringLiteral(MIRROVA_SOURCE_DIR) + u"/res/Configuration.tpl"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList order;
    const QRegularExpression object(u"string_id=\"(MRV_TRN_[A-Z0-9_]+)\""_s);
    for (auto m = object.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext();)
        order << m.next().captured(1);
    const QStringList first{u"MRV_TRN_QUERIES_100"_s, Tables,  Fields, u"MRV_TRN_FSUDF_100"_s,
                            u"MRV_TRN_FSSTDF_100"_s,  Objects, Content};
    EXPECT_EQ(order.mid(0, first.size()), first);

    // Fields before their tables: a user table's fields fail with the
    // host's reason, the standard tables' arrive; once the tables are there
    // the rest follow, and nothing arrives twice.
    EXPECT_EQ(copy(Fields, MRV_DIInterface::AddAndUpdate), S_FALSE);
    const QStringList failed = failedLines();
    EXPECT_EQ(failed.size(),
              rows(*base, u"SELECT 1 FROM CUFD f WHERE f.TableID LIKE '@%' AND "_s + CopiedFields)
                  .size());
    for (const QString& line : failed)
        EXPECT_TRUE(line.startsWith(u'@') && line.contains(u"There is no table @"_s))
            << line.toStdString();
    EXPECT_EQ(copy(Tables, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    EXPECT_EQ(copy(Fields, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(copiedFields(*target), copiedFields(*base));
}

// A field is the target's field of the same table and name, whatever its
// number there: it is updated, never added twice, and a field whose column
// differs in type is refused by the host, which leaves it as it is.
TEST_P(CustomUserTables, FieldsTheTargetHasByNameAreUpdatedUnderItsNumbers) {
    userTables(*base, *target, false);
    for (const auto& [alias, size] :
         {std::pair{u"Spare"_s, 10}, {u"Color"_s, 20}, {u"WarrantyMonths"_s, 5}})
        ASSERT_TRUE(addField(*target, u"OITM"_s, alias, u"Old"_s, u'A', size));
    const QString color = u"SELECT FieldID, Descr FROM CUFD WHERE TableID = 'OITM' AND "
                          u"AliasID = 'Color'"_s;
    const QVariant colorNumber = rows(*target, color).value(0).value(0);
    ASSERT_NE(rows(*base, color).value(0).value(0), colorNumber);

    EXPECT_EQ(copy(Fields, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(rows(*target, color),
              (QList<QVariantList>{{colorNumber, rows(*base, color).value(0).value(1)}}));
    // The line names the field as the target numbers it.
    EXPECT_EQ(errorOf(u"OITM, "_s + colorNumber.toString()), u"402 "_s);
    const QStringList failed = failedLines();
    ASSERT_EQ(failed.size(), 1) << failures();
    EXPECT_TRUE(QRegularExpression(u"^OITM, \\d+: -\\d+: The field U_WarrantyMonths of OITM "
                                   u"cannot change its type"_s)
                    .match(failed.first())
                    .hasMatch())
        << failures();
    for (const auto& f : LLObjectsCOM::UserTables::fields(db(*target), u"OITM"_s))
        EXPECT_TRUE(f.alias != u"WarrantyMonths" || f.type == u'A');

    // A rerun adds nothing: every field is found.
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(Fields, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(loggedSince(mark, u"212402"_s) + loggedSince(mark, u"212403"_s), 0);
    EXPECT_EQ(copiedFields(*target).size(), copiedFields(*base).size() + 1); // and Spare
}

// A field the target refuses leaves nothing behind, its line gives the
// host's reason, and every record that needs it fails naming it.
TEST_P(CustomUserTables, ARefusedFieldFailsAloneAndTheRecordsNeedingItSaySo) {
    ASSERT_TRUE(addUserField(*base, u"OMRC"_s, u"Origin"_s));
    exec(*base, u"UPDATE CUFD SET EditSize = 300 WHERE TableID = 'OMRC' AND AliasID = 'Origin'"_s);
    exec(*base, u"UPDATE OMRC SET U_Origin = N'Ohio' WHERE FirmCode = 1"_s);
    // A valid value the target cannot hold fails the field after its column
    // was made: the column goes with it.
    BOMTableList fields = read(Fields);
    qsizetype values = 0;
    for (MRV_BOMDocument& d : fields.first().documents)
        values += d.xml.contains(u"<Value>WEST</Value>"_s);
    ASSERT_EQ(values, 1);
    for (MRV_BOMDocument& d : fields.first().documents)
        d.xml.replace(u"<Value>WEST</Value>"_s, u"<Value>%1</Value>"_s.arg(QString(300, u'v')));

    EXPECT_EQ(copy(Tables, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(write(Fields, fields, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_TRUE(QRegularExpression(u"^403 -\\d+: An alphanumeric field holds 1 to 254 "
                                   u"characters, not 300$"_s)
                    .match(errorOf(u"Origin"_s, BaseDesc))
                    .hasMatch())
        << errorOf(u"Origin"_s, BaseDesc).toStdString();
    EXPECT_TRUE(errorOf(u"Sales region"_s, BaseDesc).startsWith(u"403 -"_s))
        << errorOf(u"Sales region"_s, BaseDesc).toStdString();
    EXPECT_EQ(failedLines().size(), 2);
    for (const auto& [table, column] :
         {std::pair{u"OMRC"_s, u"Origin"_s}, {u"OCRD"_s, u"Region"_s}}) {
        for (const auto& f : LLObjectsCOM::UserTables::fields(db(*target), table))
            EXPECT_NE(f.alias, column);
        EXPECT_FALSE(MRV_CompanySql(*target).fields(table).contains(u"U_"_s + column));
    }
    EXPECT_TRUE(rows(*target, u"SELECT 1 FROM UFD1"_s).isEmpty());

    EXPECT_EQ(copy(Manufacturers, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(errorOf(u"1"_s), u"403 Missing User Defined Fields: U_Origin of OMRC"_s);
    EXPECT_EQ(failedLines().size(), 3);
    EXPECT_TRUE(
        rows(*target,
             u"SELECT 1 FROM OMRC WHERE FirmName = "_s +
                 lit(value(*base, u"SELECT FirmName FROM OMRC WHERE FirmCode = 1"_s).toString()))
            .isEmpty());
}

// A definition travels in its own record, lists empty or full, with every
// value byte for byte, also through a configuration file.
TEST_P(CustomUserTables, ObjectRecordsCarryEmptyAndFullListsAndHostileTexts) {
    userTables(*base, *target, false);
    const QString hostile = u"<a & \"b\"> ]]> &amp; 'c' \u00e9\U0001F600"_s;
    exec(*base, u"INSERT INTO OUDO (Code, Name, TYPE, TableName, ExtensionName, CanFind) "
                u"VALUES ('BARE<&>', %1, 3, 'SVCVISIT', %2, 'Y')"_s.arg(lit(hostile),
                                                                        lit(u"  x&y<z>  "_s)));
    const QString bare = udoRecord(u"BARE<&>"_s);
    for (const char* list : {"ChildTables", "FindColumns", "FormColumns"})
        EXPECT_TRUE(bare.contains(u"<%1/>"_s.arg(QLatin1String(list))) ||
                    bare.contains(u"<%1></%1>"_s.arg(QLatin1String(list))))
            << bare.toStdString();
    const QString full = udoRecord(u"EQUIPMENT"_s);
    QStringList elements;
    MRV_DOMParser dom;
    ASSERT_TRUE(dom.parseString(full) && dom.initCursor() && dom.step(0, true));
    EXPECT_EQ(dom.nodeName(), u"UDO"_s);
    for (bool more = dom.step(0, true); more; more = dom.step(1, true))
        elements << dom.nodeName();
    EXPECT_EQ(elements,
              (QStringList{u"CanCancel"_s, u"CanClose"_s, u"CanCreateDefaultForm"_s, u"CanDelete"_s,
                           u"CanFind"_s, u"CanLog"_s, u"CanYearTransfer"_s, u"Code"_s,
                           u"ExtensionName"_s, u"LogTableName"_s, u"ManageSeries"_s, u"Name"_s,
                           u"ObjectType"_s, u"OverwriteDllfile"_s, u"TableName"_s, u"ChildTables"_s,
                           u"FindColumns"_s, u"FormColumns"_s}));
    for (const char* part : {"<CT_0><Code>EQUIPMENT</Code><Count>1</Count>", "<FiC_2><Code>",
                             "<FoC_0><Code>EQUIPMENT</Code>", "<ObjectType>1</ObjectType>"})
        EXPECT_TRUE(full.contains(QLatin1String(part))) << part;
    EXPECT_FALSE(full.contains(u"<CT_1>"_s));
    // The record and the object it stands for are one.
    MRV_BOMRecord object;
    QString why;
    ASSERT_TRUE(MRV_UserDefinedObjectsManager::hostObject(bare, object, why)) << why.toStdString();
    EXPECT_EQ(MRV_UserDefinedObjectsManager::udoRecord(object), bare);
    // A value is all its text, however it is written.
    QString split = full;
    split.replace(u"<Name>Customer equipment</Name>"_s,
                  u"<Name><!--c-->Cus<![CDATA[tomer <&>]]> equip&#109;ent</Name>"_s);
    ASSERT_TRUE(MRV_UserDefinedObjectsManager::hostObject(split, object, why)) << why.toStdString();
    EXPECT_EQ(object.firstRow(u"OUDO"_s).value(u"Name"_s), u"Customer <&> equipment"_s);

    const BOMTableList tables = read(Objects);
    EXPECT_EQ(write(Objects, tables, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    const QList<ManagerCase> cases = customUserTableCases();
    const ManagerCase& objects = cases.last();
    EXPECT_EQ(caseContents(*target, objects), caseContents(*base, objects));

    QStringList fromFile;
    for (const MRV_DIDataSet::Row& r : listed(Objects, &tables))
        fromFile << r.values.join(u'|');
    fromFile.sort();
    EXPECT_EQ(fromFile, (QStringList{u"BARE<&>|"_s + hostile + u"|Document"_s,
                                     u"EQUIPMENT|Customer equipment|Master Data"_s,
                                     u"SVCVISIT|Service visits|Document"_s}));

    // Through a configuration file: the target's objects are changed, then
    // updated from the file back to the base's.
    const BOMTableList carried = throughFile(Objects, u"objects.xml"_s);
    exec(*target, u"UPDATE OUDO SET Name = 'changed', ExtensionName = NULL"_s);
    exec(*target, u"DELETE FROM UDO2"_s);
    EXPECT_EQ(write(Objects, carried, MRV_DIInterface::UpdateExisting), S_OK) << failures();
    EXPECT_EQ(caseContents(*target, objects), caseContents(*base, objects));
}

// What is not a definition record is refused, each with a line saying why,
// and writes nothing.
TEST_P(CustomUserTables, RecordsThatAreNoDefinitionFailWithWhy) {
    userTables(*base, *target, false);
    const QString good = udoRecord(u"EQUIPMENT"_s);
    ASSERT_FALSE(good.isEmpty());
    const auto changed = [&](const char* from, const char* to) {
        QString record = good;
        EXPECT_TRUE(record.contains(QLatin1String(from))) << from;
        return record.replace(QLatin1String(from), QLatin1String(to));
    };
    const QList<std::pair<QString, QString>> refused{
        {u"<BOM><UDO><Code>X"_s, u"The record is no XML"_s},
        {u"<BOM><Other/></BOM>"_s, u"does not hold a UDO element"_s},
        {changed("<UDO>", "<UDO><Evil>1</Evil>"), u"holds the element Evil, which it cannot"_s},
        {changed("<Name>Customer equipment</Name>", ""), u"has no Name"_s},
        {changed("<Name>Customer equipment</Name>", "<Name><b>x</b></Name>"),
         u"Name of UDO holds elements instead of a value"_s},
        {changed("<Code>EQUIPMENT</Code><Count>", "<Code>OTHER</Code><Count>"),
         u"CT_0 belongs to the object OTHER, not EQUIPMENT"_s},
        {changed("<FiC_1>", "<FiC_7>").replace(u"</FiC_1>"_s, u"</FiC_7>"_s),
         u"FindColumns holds FiC_7 where FiC_1 belongs"_s},
        {changed("<Count>1</Count>", "<Count>one</Count>"), u"Count of CT_0 is 'one'"_s},
        {changed("<ObjectType>1</ObjectType>", "<ObjectType>7</ObjectType>"),
         u"ObjectType is '7', not 1 or 3"_s},
        {changed("<TableName>EQUIPMENT</TableName><ChildTables>",
                 "<TableName>EQUIPMENT</TableName><TableName>X</TableName><ChildTables>"),
         u"UDO holds TableName twice"_s},
        {u"<!DOCTYPE BOM [<!ENTITY e \"x\">]>"_s + good, u"DOCTYPE"_s},
        {good + u"<BOM/>"_s, u"The record is no XML"_s},
    };
    BOMTableList tables{{u"OUDO"_s, {}}};
    for (const auto& [record, reason] : refused)
        tables.first().documents << MRV_BOMDocument{record, 0};
    EXPECT_EQ(write(Objects, tables, MRV_DIInterface::AddAndUpdate), S_FALSE);
    const QStringList failed = failedLines();
    ASSERT_EQ(failed.size(), refused.size()) << failures();
    for (qsizetype i = 0; i < refused.size(); ++i)
        EXPECT_TRUE(failed[i].contains(refused[i].second))
            << failed[i].toStdString() << " / " << refused[i].second.toStdString();
    EXPECT_TRUE(rows(*target, u"SELECT 1 FROM OUDO"_s).isEmpty());
}

// Content travels per table: a selection names rows by table and code; a
// table the target lacks fails per row, and what is no content table of a
// file is refused.
TEST_P(CustomUserTables, ContentIsSelectedByTableAndCodeAndNeedsItsTable) {
    const QVariant margin = value(*base, u"SELECT MIN(Code) FROM [@FXMARGINS]"_s);
    const BOMTableList picked =
        read(Content, {{u"@SHIPZONES"_s, u"Z2"_s}, {u"@FXMARGINS"_s, margin}});
    ASSERT_EQ(picked.size(), 2);
    EXPECT_EQ(picked[0].name, u"@FXMARGINS"_s);
    EXPECT_EQ(picked[1].name, u"@SHIPZONES"_s);
    EXPECT_EQ(picked[1].documents.size(), 1);
    EXPECT_EQ(picked[1].documents.first().xml.count(u"<row>"_s), 1);

    // Without its table a row fails; without its fields it says which.
    EXPECT_EQ(write(Content, picked, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(failedLines().size(), 2);
    userTables(*base, *target, true);
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(write(Content, picked, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(errorOf(u"Z2"_s), u"403 Missing User Defined Fields: U_Surcharge of @SHIPZONES"_s);
    contentTables(*base, *target);
    EXPECT_EQ(write(Content, picked, MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(loggedSince(mark, u"212402"_s), 2);

    BOMTableList foreign = picked;
    foreign[0].name = u"@MRVSETT"_s;
    foreign[1].name = u"OUTB"_s;
    const qsizetype before = logRecords().size();
    EXPECT_EQ(write(Content, foreign, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(
        failedLines(before),
        (QStringList{u"@MRVSETT: The table @MRVSETT is no user table whose content may be "
                     u"copied"_s,
                     u"OUTB: The table OUTB is no user table whose content may be copied"_s}));
    QStringList keys;
    for (const MRV_DIDataSet::Row& r : listed(Content, &picked))
        keys << r.keys.value(0).toString() + u'|' + r.keys.value(1).toString();
    EXPECT_EQ(keys, (QStringList{u"@FXMARGINS|"_s + margin.toString(), u"@SHIPZONES|Z2"_s}));
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, CustomUserTables, ::testing::Values(6, 5), anyServerTypeName);
