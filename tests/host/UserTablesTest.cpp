#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <QSqlQuery>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

// A connected company for each test; the user tables are made on its own
// connection, the rows go through its recordsets as a client's would.
class UserTablesTest : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        open(6);
    }
    void open(int serverType) { server = openCompany(company, serverType, u"UDT"_s); }
    Database& db() { return *company.state()->database; }
    bool ci() const { return server->caseInsensitive(); }
    bool addTable(const QString& name, const QString& description = QString(), int type = 0,
                  QString* error = nullptr) {
        return UserTables::addTable(db(), ci(), name, description, type, error);
    }
    bool addField(const QString& table, const QString& alias, QChar type, int size,
                  const QString& description = QString(), QString* error = nullptr) {
        return UserTables::addField(db(), ci(), table, alias, description, type, size, error);
    }

    QVariant scalar(const QString& sql) { return ::scalar(company, sql); }
    int count(const QString& sql) { return scalar(sql).toInt(); }
    bool refused(const QString& sql) { return ::refused(company, sql); }
    bool tableExists(const QString& name) {
        return count(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                     u"name = N'%1'"_s.arg(name)) == 1;
    }
    bool columnExists(const QString& table, const QString& column) {
        return count(u"SELECT COUNT(*) FROM pragma_table_info(N'%1') WHERE name = "
                     u"N'%2'"_s.arg(table, column)) == 1;
    }
    // Everything the catalogue and the structure hold, to show that a
    // refused call changed nothing.
    QString snapshot() {
        return (rowTexts(db(), u"SELECT name, sql FROM sqlite_master ORDER BY name"_s) +
                rowTexts(db(), u"SELECT TableName, Descr, ObjectType FROM OUTB ORDER BY 1"_s) +
                rowTexts(db(), u"SELECT TableID, FieldID, AliasID, Descr, TypeID, EditSize "
                               u"FROM CUFD ORDER BY 1, 2"_s))
            .join(u'\n');
    }

    std::optional<Server> server;
    Company company;
};

// Reports the first line in which two snapshots differ.
::testing::AssertionResult same(const QString& expected, const QString& actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    const QStringList a = expected.split(u'\n'), b = actual.split(u'\n');
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (a.value(i) != b.value(i))
            return ::testing::AssertionFailure()
                   << "first difference: '" << a.value(i).left(200).toStdString() << "' became '"
                   << b.value(i).left(200).toStdString() << "'";
    }
    return ::testing::AssertionFailure();
}

// Characters as the database counts them (an emoji is one).
qsizetype characters(const QString& text) {
    return text.toUcs4().size();
}

} // namespace

// --- A table and its fields are real -----------------------------------

TEST_F(UserTablesTest, ATableAndItsFieldsBecomeRealTablesAndColumns) {
    QString error;
    ASSERT_TRUE(addTable(u"MRV_DEMO"_s, u"Demo table"_s, 0, &error)) << error.toStdString();
    EXPECT_TRUE(tableExists(u"@MRV_DEMO"_s));
    const std::optional<UserTables::Table> t = UserTables::table(db(), u"mrv_demo"_s);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name, u"MRV_DEMO"_s);
    EXPECT_EQ(t->description, u"Demo table"_s);
    EXPECT_EQ(t->objectType, 0);

    // Code and Name are there at once, Code is the key.
    scalar(u"INSERT INTO [@MRV_DEMO] (Code, Name) VALUES (N'1', N'One')"_s);
    EXPECT_TRUE(refused(u"INSERT INTO [@MRV_DEMO] (Code, Name) VALUES (N'1', N'x')"_s));
    EXPECT_TRUE(refused(u"INSERT INTO [@MRV_DEMO] (Name) VALUES (N'no code')"_s));

    struct Case {
        const char* alias;
        QChar type;
        int size;
        const char* value; // as SQL
        QVariant expected;
    };
    const QList<Case> cases{{"Colour", u'A', 10, "N'Dark blue'", u"Dark blue"_s},
                            {"Notes", u'M', 0, "N'many words'", u"many words"_s},
                            {"Pieces", u'N', 0, "42", 42},
                            {"Weight", u'B', 0, "12.5", 12.5},
                            {"Due", u'D', 0, "'2024-03-01 00:00:00'", u"2024-03-01 00:00:00"_s}};
    for (const Case& c : cases) {
        ASSERT_TRUE(
            addField(u"@MRV_DEMO"_s, QLatin1String(c.alias), c.type, c.size, u"d"_s, &error))
            << c.alias << ": " << error.toStdString();
        const QString column = u"U_"_s + QLatin1String(c.alias);
        EXPECT_TRUE(columnExists(u"@MRV_DEMO"_s, column));
        scalar(u"UPDATE [@MRV_DEMO] SET %1 = %2 WHERE Code = N'1'"_s.arg(column,
                                                                         QLatin1String(c.value)));
        const QVariant stored =
            scalar(u"SELECT %1 FROM [@MRV_DEMO] WHERE Code = N'1'"_s.arg(column));
        if (c.type == u'N' || c.type == u'B')
            EXPECT_DOUBLE_EQ(stored.toDouble(), c.expected.toDouble()) << c.alias;
        else
            EXPECT_EQ(stored.toString(), c.expected.toString()) << c.alias;
    }
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM CUFD WHERE TableID = N'@MRV_DEMO'"_s), 5);
    EXPECT_EQ(scalar(u"SELECT TypeID FROM CUFD WHERE AliasID = N'Weight'"_s).toString(), u"4"_s);
    EXPECT_EQ(scalar(u"SELECT EditSize FROM CUFD WHERE AliasID = N'Colour'"_s).toInt(), 10);

    // A field on a table of the schema.
    ASSERT_TRUE(addField(u"oitm"_s, u"Shelf"_s, u'A', 5, u"Shelf"_s, &error))
        << error.toStdString();
    EXPECT_TRUE(columnExists(u"OITM"_s, u"U_Shelf"_s));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM CUFD WHERE TableID = N'OITM'"_s), 1);
    scalar(u"INSERT INTO OITM (ItemCode, ItemName, U_Shelf) VALUES (N'A1', N'Bolt', N'B-12')"_s);
    EXPECT_EQ(scalar(u"SELECT U_Shelf FROM OITM WHERE ItemCode = N'A1'"_s), u"B-12"_s);
}

TEST_F(UserTablesTest, AValueLongerThanTheFieldIsRefused) {
    ASSERT_TRUE(addTable(u"SIZES"_s));
    ASSERT_TRUE(addField(u"@SIZES"_s, u"Short"_s, u'A', 4));
    scalar(u"INSERT INTO [@SIZES] (Code, Name, U_Short) VALUES (N'1', N'a', N'abcd')"_s);
    EXPECT_TRUE(
        refused(u"INSERT INTO [@SIZES] (Code, Name, U_Short) VALUES (N'2', N'b', N'abcde')"_s));
    EXPECT_TRUE(refused(u"UPDATE [@SIZES] SET U_Short = N'12345' WHERE Code = N'1'"_s));
    EXPECT_EQ(scalar(u"SELECT U_Short FROM [@SIZES]"_s), u"abcd"_s);
    // The table's own columns have their sizes too.
    EXPECT_TRUE(refused(
        u"INSERT INTO [@SIZES] (Code, Name) VALUES (N'%1', N'x')"_s.arg(QString(51, u'c'))));
    EXPECT_TRUE(refused(
        u"INSERT INTO [@SIZES] (Code, Name) VALUES (N'3', N'%1')"_s.arg(QString(101, u'n'))));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM [@SIZES]"_s), 1);
}

TEST_F(UserTablesTest, TextColumnsCompareAsTheServerDoes) {
    for (const int type : {6, 2}) {
        if (type != 6) {
            company.Disconnect();
            open(type);
        }
        ASSERT_TRUE(addTable(u"KEYS"_s));
        ASSERT_TRUE(addField(u"@KEYS"_s, u"Tag"_s, u'A', 10));
        scalar(u"INSERT INTO [@KEYS] (Code, Name, U_Tag) VALUES (N'a', N'x', N'Red')"_s);
        // On the MSSQL family "A" is the same key as "a"; elsewhere it is not.
        EXPECT_EQ(refused(u"INSERT INTO [@KEYS] (Code, Name) VALUES (N'A', N'y')"_s), type == 6)
            << type;
        EXPECT_EQ(count(u"SELECT COUNT(*) FROM [@KEYS] WHERE U_Tag = N'RED'"_s), type == 6 ? 1 : 0)
            << type;
    }
}

// --- What is refused -----------------------------------------------------

// Every refused table names why and changes nothing: a name taken in any
// case, a "@NAME" table the catalogue does not know (not taken over), a
// view of that name, bad names and types.
TEST_F(UserTablesTest, DuplicateAndBadTablesAreRefused) {
    ASSERT_TRUE(addTable(u"Stock"_s, u"one"_s, 1));
    ASSERT_TRUE(db().exec(u"CREATE TABLE \"@STRAY\" (Code TEXT)"_s));
    ASSERT_TRUE(db().exec(u"CREATE VIEW \"@VIEWED\" AS SELECT 1 AS x"_s));
    const QString before = snapshot();
    const struct {
        QString name;
        int type;
        const char* words; // in the error, when not nullptr
    } bad[] = {
        {u"Stock"_s, 0, "exists"},   {u"STOCK"_s, 0, "exists"},
        {u"stock"_s, 0, "exists"},   {u"stray"_s, 0, nullptr},
        {u"VIEWED"_s, 0, "@VIEWED"}, {QString(), 0, nullptr},
        {u"@AT"_s, 0, nullptr},      {u"TWENTY_CHARACTERS_XY"_s, 0, nullptr},
        {u"A B"_s, 0, nullptr},      {u"X-Y"_s, 0, nullptr},
        {u"Grüße"_s, 0, nullptr},    {u"LINE\n"_s, 0, nullptr},
        {u"\nLINE"_s, 0, nullptr},   {u"T\"X"_s, 0, nullptr},
        {u"T;DROP"_s, 0, nullptr},   {QString::fromUtf16(u"T\0X", 3), 0, nullptr},
        {u"OKNAME"_s, 5, nullptr},   {u"OKNAME"_s, -1, nullptr},
    };
    for (const auto& b : bad) {
        QString error;
        EXPECT_FALSE(addTable(b.name, u"two"_s, b.type, &error)) << b.name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << b.name.toStdString();
        if (b.words) {
            EXPECT_TRUE(error.contains(QLatin1String(b.words))) << error.toStdString();
        }
    }
    EXPECT_TRUE(same(before, snapshot()));
    EXPECT_EQ(UserTables::table(db(), u"STOCK"_s)->description, u"one"_s);
    // Nineteen characters is the most a name may have.
    EXPECT_TRUE(addTable(u"NINETEEN_CHARACTERS"_s, QString(), 4));
}

TEST_F(UserTablesTest, DuplicateAndBadFieldsAreRefused) {
    ASSERT_TRUE(addTable(u"F"_s));
    ASSERT_TRUE(addField(u"@F"_s, u"Colour"_s, u'A', 10));
    const QString before = snapshot();
    struct Bad {
        QString table;
        QString alias;
        QChar type;
        int size;
    };
    const QList<Bad> bad{
        {u"@F"_s, u"Colour"_s, u'A', 10}, // again
        {u"@F"_s, u"COLOUR"_s, u'N', 0},  // in another case
        {u"@f"_s, u"colour"_s, u'M', 0},  // both
        {u"@F"_s, QString(), u'A', 10},   // no name
        {u"@F"_s, u"NINETEEN_CHARS_XYZW"_s, u'A', 10},
        {u"@F"_s, u"A B"_s, u'A', 10},
        {u"@F"_s, u"Bad\n"_s, u'A', 10},
        {u"@F"_s, u"Größe"_s, u'A', 10},
        {u"@F"_s, u"X\"Y"_s, u'A', 10},
        {u"@F"_s, u"Good"_s, u'X', 10}, // no such type
        {u"@F"_s, u"Good"_s, u'a', 10},
        {u"@F"_s, u"Good"_s, QChar(), 10},
        {u"@F"_s, u"Good"_s, u'A', 0}, // sizes
        {u"@F"_s, u"Good"_s, u'A', 255},
        {u"@F"_s, u"Good"_s, u'A', -3},
        {u"@NOPE"_s, u"Good"_s, u'A', 10}, // no such table
        {u"NOPE"_s, u"Good"_s, u'A', 10},
        {u"F"_s, u"Good"_s, u'A', 10}, // user table without @
        {QString(), u"Good"_s, u'A', 10},
    };
    for (const Bad& b : bad) {
        QString error;
        EXPECT_FALSE(addField(b.table, b.alias, b.type, b.size, QString(), &error))
            << b.table.toStdString() << " " << b.alias.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(same(before, snapshot()));

    // A column U_<alias> that is there without a catalogue row blocks it too.
    // So does a computed one, which the plain column list leaves out.
    ASSERT_TRUE(db().exec(u"ALTER TABLE OCRD ADD COLUMN U_Stray TEXT"_s));
    ASSERT_TRUE(db().exec(
        u"ALTER TABLE OCRD ADD COLUMN U_Computed TEXT GENERATED ALWAYS AS (CardName) VIRTUAL"_s));
    const QString withStray = snapshot();
    for (const char* alias : {"stray", "Computed"}) {
        QString error;
        EXPECT_FALSE(addField(u"OCRD"_s, QLatin1String(alias), u'A', 5, QString(), &error));
        EXPECT_TRUE(error.contains(u"has a field"_s)) << error.toStdString();
    }
    EXPECT_TRUE(same(withStray, snapshot()));

    // The limits themselves are fine.
    EXPECT_TRUE(addField(u"@F"_s, u"EIGHTEEN_CHARS_XYZ"_s, u'A', 254));
    EXPECT_TRUE(addField(u"@F"_s, u"One"_s, u'A', 1));
}

// --- Removal ----------------------------------------------------------------

TEST_F(UserTablesTest, RemovalDropsColumnsTablesAndTheirCatalogueRows) {
    QString error;
    ASSERT_TRUE(addTable(u"GONE"_s));
    ASSERT_TRUE(addField(u"@GONE"_s, u"Keep"_s, u'A', 10));
    ASSERT_TRUE(addField(u"@GONE"_s, u"Drop"_s, u'N', 0));
    scalar(u"INSERT INTO [@GONE] (Code, Name, U_Keep, U_Drop) VALUES (N'1', N'one', "
           u"N'kept', 7)"_s);
    scalar(u"INSERT INTO UFD1 (TableID, FieldID, IndexID, FldValue) VALUES "
           u"(N'@GONE', 1, 0, N'7')"_s);

    ASSERT_TRUE(UserTables::removeField(db(), u"@gone"_s, u"DROP"_s, &error))
        << error.toStdString();
    EXPECT_FALSE(columnExists(u"@GONE"_s, u"U_Drop"_s));
    EXPECT_TRUE(columnExists(u"@GONE"_s, u"U_Keep"_s));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM CUFD WHERE TableID = N'@GONE'"_s), 1);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM UFD1"_s), 0);
    EXPECT_EQ(scalar(u"SELECT U_Keep FROM [@GONE]"_s), u"kept"_s);
    EXPECT_FALSE(UserTables::removeField(db(), u"@GONE"_s, u"Drop"_s));
    EXPECT_FALSE(UserTables::removeField(db(), u"@NOPE"_s, u"Keep"_s));
    // Only user fields can be removed, never a column of the schema.
    EXPECT_FALSE(UserTables::removeField(db(), u"OITM"_s, u"ItemName"_s));
    EXPECT_TRUE(columnExists(u"OITM"_s, u"ItemName"_s));

    ASSERT_TRUE(UserTables::removeTable(db(), u"Gone"_s, &error)) << error.toStdString();
    EXPECT_FALSE(tableExists(u"@GONE"_s));
    EXPECT_FALSE(UserTables::table(db(), u"GONE"_s));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM CUFD WHERE TableID = N'@GONE'"_s), 0);
    EXPECT_FALSE(UserTables::removeTable(db(), u"GONE"_s, &error));
    EXPECT_TRUE(error.contains(u"no user table"_s));
    // The name is free again.
    EXPECT_TRUE(addTable(u"gone"_s));

    // A field of a schema table goes with its column; the rows keep the rest.
    ASSERT_TRUE(addField(u"OCRD"_s, u"Rating"_s, u'N', 0));
    scalar(u"INSERT INTO OCRD (CardCode, CardName, U_Rating) VALUES (N'C1', N'Acme', "
           u"3)"_s);
    ASSERT_TRUE(UserTables::removeField(db(), u"OCRD"_s, u"Rating"_s));
    EXPECT_FALSE(columnExists(u"OCRD"_s, u"U_Rating"_s));
    EXPECT_EQ(scalar(u"SELECT CardName FROM OCRD WHERE CardCode = N'C1'"_s), u"Acme"_s);
}

TEST_F(UserTablesTest, ATableOfAUserObjectStays) {
    ASSERT_TRUE(addTable(u"HEAD"_s, QString(), 1));
    ASSERT_TRUE(addTable(u"LINES"_s, QString(), 2));
    scalar(u"INSERT INTO OUDO (Code, Name, TableName) VALUES (N'OBJ', N'Object', N'HEAD')"_s);
    scalar(u"INSERT INTO UDO1 (Code, SonNumber, TableName) VALUES (N'OBJ', 1, N'LINES')"_s);
    const QString before = snapshot();
    QString error;
    EXPECT_FALSE(UserTables::removeTable(db(), u"HEAD"_s, &error));
    EXPECT_TRUE(error.contains(u"OBJ"_s)) << error.toStdString();
    EXPECT_FALSE(UserTables::removeTable(db(), u"lines"_s, &error));
    EXPECT_TRUE(same(before, snapshot()));
    scalar(u"DELETE FROM UDO1"_s);
    scalar(u"DELETE FROM OUDO"_s);
    EXPECT_TRUE(UserTables::removeTable(db(), u"LINES"_s));
    EXPECT_TRUE(UserTables::removeTable(db(), u"HEAD"_s));
}

// --- Listing ------------------------------------------------------------------

TEST_F(UserTablesTest, FieldsAndTablesAreListedInOrder) {
    ASSERT_TRUE(addTable(u"ZETA"_s, u"z"_s, 3));
    ASSERT_TRUE(addTable(u"ALPHA"_s, u"a"_s));
    QStringList tables;
    for (const UserTables::Table& t : UserTables::tables(db()))
        tables << u"%1 %2 %3"_s.arg(t.name, t.description).arg(t.objectType);
    EXPECT_EQ(tables, (QStringList{u"ALPHA a 0"_s, u"ZETA z 3"_s}));

    const QString t = u"@ZETA"_s;
    ASSERT_TRUE(addField(t, u"First"_s, u'A', 20, u"1st"_s));
    ASSERT_TRUE(addField(t, u"Second"_s, u'M', 0, u"2nd"_s));
    ASSERT_TRUE(addField(t, u"Third"_s, u'D', 0, u"3rd"_s));
    ASSERT_TRUE(UserTables::removeField(db(), t, u"Second"_s));
    ASSERT_TRUE(addField(t, u"Fourth"_s, u'B', 0, u"4th"_s));
    ASSERT_TRUE(addField(u"OITM"_s, u"Other"_s, u'N', 0));
    // Table, number, alias, type, size (fixed by the type but for text),
    // description and column of each field.
    const auto fields = [&](const QString& table) {
        QStringList out;
        for (const UserTables::Field& f : UserTables::fields(db(), table))
            out << u"%1 %2 %3 %4 %5 %6 %7"_s.arg(f.table)
                       .arg(f.fieldId)
                       .arg(f.alias, f.type)
                       .arg(f.size)
                       .arg(f.description, f.column());
        return out;
    };
    EXPECT_EQ(fields(u"@zeta"_s),
              (QStringList{u"@ZETA 0 First A 20 1st U_First"_s, u"@ZETA 2 Third D 8 3rd U_Third"_s,
                           u"@ZETA 3 Fourth B 19 4th U_Fourth"_s}));
    EXPECT_EQ(fields(u"OITM"_s), QStringList{u"OITM 0 Other N 11  U_Other"_s});
    EXPECT_TRUE(fields(u"@NOPE"_s).isEmpty());
    EXPECT_TRUE(fields(u"OCRD"_s).isEmpty());

    // The type letters and their catalogue digits go both ways.
    for (const QChar type : u"AMNDB"_s) {
        EXPECT_TRUE(UserTables::isFieldType(type));
        EXPECT_EQ(UserTables::typeFromId(UserTables::typeId(type)), type);
    }
    EXPECT_EQ(UserTables::typeId(u'D'), QChar(u'3'));
    EXPECT_FALSE(UserTables::isFieldType(u'Z'));
    EXPECT_TRUE(UserTables::typeFromId(u'5').isNull());
    EXPECT_TRUE(UserTables::typeFromId(QChar()).isNull());
}

// --- Hostile descriptions -------------------------------------------------

TEST_F(UserTablesTest, DescriptionsArriveByteForByteOrAreRefused) {
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    ASSERT_TRUE(addTable(u"HOST"_s));
    int n = 0, accepted = 0;
    for (const QString& description : nasty) {
        ++n;
        const bool fits = !description.contains(QChar(0)) && characters(description) <= 30;
        const QString name = u"T%1"_s.arg(n);
        const QString alias = u"F%1"_s.arg(n);
        const QString before = snapshot();
        QString error;
        const bool table = addTable(name, description, 0, &error);
        EXPECT_EQ(table, fits) << description.toStdString() << " " << error.toStdString();
        const bool field = addField(u"@HOST"_s, alias, u'A', 10, description, &error);
        EXPECT_EQ(field, fits) << description.toStdString() << " " << error.toStdString();
        if (!fits) {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_TRUE(same(before, snapshot())) << description.toStdString();
            continue;
        }
        ++accepted;
        const std::optional<UserTables::Table> t = UserTables::table(db(), name);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->description, description);
        EXPECT_EQ(t->description.toUtf8(), description.toUtf8());
        const QList<UserTables::Field> fields = UserTables::fields(db(), u"@HOST"_s);
        ASSERT_FALSE(fields.isEmpty());
        EXPECT_EQ(fields.last().alias, alias);
        EXPECT_EQ(fields.last().description, description);
        // The client sees the same text.
        EXPECT_EQ(scalar(u"SELECT Descr FROM OUTB WHERE TableName = N'%1'"_s.arg(name)).toString(),
                  description);
    }
    EXPECT_EQ(UserTables::tables(db()).size(), accepted + 1);
    EXPECT_LT(accepted, nasty.size()); // the list holds values that must be refused
    EXPECT_GT(accepted, 40);
}

// --- All or nothing ------------------------------------------------------

TEST_F(UserTablesTest, AFailingAddFieldLeavesNoCatalogueRowAndNoColumn) {
    ASSERT_TRUE(addTable(u"OLD"_s));
    ASSERT_TRUE(addField(u"@OLD"_s, u"Tag"_s, u'A', 3));
    // A row written past its column's size (as an older host could leave
    // one) makes the new column's check fail after the catalogue row is in.
    ASSERT_TRUE(db().exec(u"PRAGMA ignore_check_constraints = ON"_s));
    scalar(u"INSERT INTO [@OLD] (Code, Name, U_Tag) VALUES (N'1', N'x', N'toolong')"_s);
    ASSERT_TRUE(db().exec(u"PRAGMA ignore_check_constraints = OFF"_s));
    const QString before = snapshot();
    QString error;
    EXPECT_FALSE(addField(u"@OLD"_s, u"More"_s, u'A', 10, u"more"_s, &error));
    EXPECT_TRUE(error.contains(u"U_More"_s)) << error.toStdString();
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM CUFD WHERE AliasID = N'More'"_s), 0);
    EXPECT_FALSE(columnExists(u"@OLD"_s, u"U_More"_s));
    EXPECT_TRUE(same(before, snapshot()));
    // The connection is usable afterwards, outside any transaction (once
    // the planted row, which fails every new column's checks, is gone).
    scalar(u"DELETE FROM [@OLD]"_s);
    EXPECT_TRUE(addField(u"@OLD"_s, u"Count"_s, u'N', 0));
    EXPECT_TRUE(db().exec(u"BEGIN"_s));
    EXPECT_TRUE(db().exec(u"COMMIT"_s));
}

TEST_F(UserTablesTest, AFailingRemovalKeepsTableFieldsAndRows) {
    ASSERT_TRUE(addTable(u"BUSY"_s));
    ASSERT_TRUE(addField(u"@BUSY"_s, u"Tag"_s, u'A', 3));
    scalar(u"INSERT INTO [@BUSY] (Code, Name, U_Tag) VALUES (N'1', N'x', N'abc')"_s);
    scalar(u"INSERT INTO [@BUSY] (Code, Name, U_Tag) VALUES (N'2', N'y', N'def')"_s);
    const QString before = snapshot();
    {
        // A reader still on the table: the host cannot drop it under it.
        QSqlQuery reader(db().connection());
        ASSERT_TRUE(reader.exec(u"SELECT Code FROM \"@BUSY\""_s));
        ASSERT_TRUE(reader.next());
        QString error;
        EXPECT_FALSE(UserTables::removeTable(db(), u"BUSY"_s, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(same(before, snapshot()));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM [@BUSY]"_s), 2);
    EXPECT_TRUE(UserTables::removeTable(db(), u"BUSY"_s));
    EXPECT_FALSE(tableExists(u"@BUSY"_s));
}

TEST_F(UserTablesTest, CallsNestInTheCallersTransaction) {
    const QString before = snapshot();
    ASSERT_TRUE(db().exec(u"BEGIN"_s));
    ASSERT_TRUE(addTable(u"NESTED"_s));
    ASSERT_TRUE(addField(u"@NESTED"_s, u"A"_s, u'A', 5));
    // A refused call inside does not undo what came before it.
    EXPECT_FALSE(addField(u"@NESTED"_s, u"a"_s, u'A', 5));
    EXPECT_TRUE(tableExists(u"@NESTED"_s));
    EXPECT_TRUE(columnExists(u"@NESTED"_s, u"U_A"_s));
    ASSERT_TRUE(db().exec(u"ROLLBACK"_s));
    EXPECT_TRUE(same(before, snapshot()));

    ASSERT_TRUE(db().exec(u"BEGIN"_s));
    ASSERT_TRUE(addTable(u"NESTED"_s));
    ASSERT_TRUE(db().exec(u"COMMIT"_s));
    EXPECT_TRUE(UserTables::table(db(), u"NESTED"_s));
}

// An object that holds a record while a field comes or goes keeps every
// value that still has a column, and takes the new field at once.
TEST_F(UserTablesTest, AHeldRecordFollowsFieldsThatComeAndGo) {
    scalar(u"INSERT INTO OCRD (CardCode, CardName) VALUES (N'C1', N'Acme')"_s);
    std::unique_ptr<BusinessObject> partner = businessObject(company, 2);
    ASSERT_TRUE(partner->GetByKey({u"C1"_s}));
    EXPECT_THROW(partner->SetProperty(u"U_Tier"_s, u"Gold"_s), ComError);

    ASSERT_TRUE(addField(u"OCRD"_s, u"Tier"_s, u'A', 10));
    ASSERT_TRUE(addField(u"OCRD"_s, u"Band"_s, u'A', 10));
    partner->SetProperty(u"U_Tier"_s, u"Gold"_s);
    partner->SetProperty(u"U_Band"_s, u"B"_s);
    ASSERT_EQ(partner->Update(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(u"SELECT U_Tier || U_Band FROM OCRD WHERE CardCode = N'C1'"_s), u"GoldB"_s);
    EXPECT_TRUE(partner->GetAsXML().contains(u"<U_Band>B</U_Band>"_s));

    // The field in the middle goes while the object holds its value.
    ASSERT_TRUE(UserTables::removeField(db(), u"OCRD"_s, u"Band"_s));
    EXPECT_FALSE(partner->GetAsXML().contains(u"U_Band"_s));
    EXPECT_EQ(partner->GetProperty(u"U_Tier"_s).toString(), u"Gold"_s);
    EXPECT_EQ(partner->GetProperty(u"CardName"_s).toString(), u"Acme"_s);
    partner->SetProperty(u"CardName"_s, u"Acme Ltd"_s);
    ASSERT_EQ(partner->Update(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(u"SELECT CardName || U_Tier FROM OCRD WHERE CardCode = N'C1'"_s),
              u"Acme LtdGold"_s);
}
