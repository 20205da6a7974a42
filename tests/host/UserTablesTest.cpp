#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <QSqlQuery>

using namespace LLObjectsCOM;

namespace {

// A connected company for each test; the user tables are made on its own
// connection, the rows go through its recordsets as a client's would.
class UserTablesTest : public HostWorld {
protected:
    void open(int serverType = 6) {
        server = makeServer(serverType);
        createCompany(*server, QStringLiteral("UDT"));
        connect(company, *server, QStringLiteral("UDT"));
    }
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
    bool refused(const QString& sql) {
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        try {
            rs->DoQuery(sql);
        } catch (const ComError&) {
            return true;
        }
        return false;
    }
    bool tableExists(const QString& name) {
        return count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                    "name = N'%1'")
                         .arg(name)) == 1;
    }
    bool columnExists(const QString& table, const QString& column) {
        return count(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info(N'%1') WHERE name = "
                                    "N'%2'")
                         .arg(table, column)) == 1;
    }
    // Everything the catalogue and the structure hold, to show that a
    // refused call changed nothing.
    QString snapshot() {
        QStringList parts;
        QSqlQuery q(db().connection());
        q.exec(QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY name"));
        while (q.next())
            parts << q.value(0).toString() + u'=' + q.value(1).toString();
        q.exec(QStringLiteral("SELECT TableName, Descr, ObjectType FROM OUTB ORDER BY 1"));
        while (q.next())
            parts << q.value(0).toString() + u'|' + q.value(1).toString() + u'|' +
                         q.value(2).toString();
        q.exec(QStringLiteral(
            "SELECT TableID, FieldID, AliasID, Descr, TypeID, EditSize FROM CUFD ORDER BY 1, 2"));
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < 6; ++i)
                row << q.value(i).toString();
            parts << row.join(u'|');
        }
        return parts.join(u'\n');
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
    open();
    QString error;
    ASSERT_TRUE(addTable(QStringLiteral("MRV_DEMO"), QStringLiteral("Demo table"), 0, &error))
        << error.toStdString();
    EXPECT_TRUE(tableExists(QStringLiteral("@MRV_DEMO")));
    const std::optional<UserTables::Table> t = UserTables::table(db(), QStringLiteral("mrv_demo"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name, QStringLiteral("MRV_DEMO"));
    EXPECT_EQ(t->description, QStringLiteral("Demo table"));
    EXPECT_EQ(t->objectType, 0);

    // Code and Name are there at once, Code is the key.
    scalar(QStringLiteral("INSERT INTO [@MRV_DEMO] (Code, Name) VALUES (N'1', N'One')"));
    EXPECT_TRUE(
        refused(QStringLiteral("INSERT INTO [@MRV_DEMO] (Code, Name) VALUES (N'1', N'x')")));
    EXPECT_TRUE(refused(QStringLiteral("INSERT INTO [@MRV_DEMO] (Name) VALUES (N'no code')")));

    struct Case {
        const char* alias;
        QChar type;
        int size;
        const char* value; // as SQL
        QVariant expected;
    };
    const QList<Case> cases{
        {"Colour", u'A', 10, "N'Dark blue'", QStringLiteral("Dark blue")},
        {"Notes", u'M', 0, "N'many words'", QStringLiteral("many words")},
        {"Pieces", u'N', 0, "42", 42},
        {"Weight", u'B', 0, "12.5", 12.5},
        {"Due", u'D', 0, "'2024-03-01 00:00:00'", QStringLiteral("2024-03-01 00:00:00")}};
    for (const Case& c : cases) {
        ASSERT_TRUE(addField(QStringLiteral("@MRV_DEMO"), QLatin1String(c.alias), c.type, c.size,
                             QStringLiteral("d"), &error))
            << c.alias << ": " << error.toStdString();
        const QString column = QStringLiteral("U_") + QLatin1String(c.alias);
        EXPECT_TRUE(columnExists(QStringLiteral("@MRV_DEMO"), column));
        scalar(QStringLiteral("UPDATE [@MRV_DEMO] SET %1 = %2 WHERE Code = N'1'")
                   .arg(column, QLatin1String(c.value)));
        const QVariant stored =
            scalar(QStringLiteral("SELECT %1 FROM [@MRV_DEMO] WHERE Code = N'1'").arg(column));
        if (c.type == u'N' || c.type == u'B')
            EXPECT_DOUBLE_EQ(stored.toDouble(), c.expected.toDouble()) << c.alias;
        else
            EXPECT_EQ(stored.toString(), c.expected.toString()) << c.alias;
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CUFD WHERE TableID = N'@MRV_DEMO'")), 5);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT TypeID FROM CUFD WHERE AliasID = N'Weight'")).toString(),
        QStringLiteral("4"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT EditSize FROM CUFD WHERE AliasID = N'Colour'")).toInt(),
              10);

    // A field on a table of the schema.
    ASSERT_TRUE(addField(QStringLiteral("oitm"), QStringLiteral("Shelf"), u'A', 5,
                         QStringLiteral("Shelf"), &error))
        << error.toStdString();
    EXPECT_TRUE(columnExists(QStringLiteral("OITM"), QStringLiteral("U_Shelf")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CUFD WHERE TableID = N'OITM'")), 1);
    scalar(QStringLiteral(
        "INSERT INTO OITM (ItemCode, ItemName, U_Shelf) VALUES (N'A1', N'Bolt', N'B-12')"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT U_Shelf FROM OITM WHERE ItemCode = N'A1'")),
              QStringLiteral("B-12"));
}

TEST_F(UserTablesTest, AValueLongerThanTheFieldIsRefused) {
    open();
    ASSERT_TRUE(addTable(QStringLiteral("SIZES")));
    ASSERT_TRUE(addField(QStringLiteral("@SIZES"), QStringLiteral("Short"), u'A', 4));
    scalar(
        QStringLiteral("INSERT INTO [@SIZES] (Code, Name, U_Short) VALUES (N'1', N'a', N'abcd')"));
    EXPECT_TRUE(refused(QStringLiteral(
        "INSERT INTO [@SIZES] (Code, Name, U_Short) VALUES (N'2', N'b', N'abcde')")));
    EXPECT_TRUE(
        refused(QStringLiteral("UPDATE [@SIZES] SET U_Short = N'12345' WHERE Code = N'1'")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT U_Short FROM [@SIZES]")), QStringLiteral("abcd"));
    // The table's own columns have their sizes too.
    EXPECT_TRUE(refused(QStringLiteral("INSERT INTO [@SIZES] (Code, Name) VALUES (N'%1', N'x')")
                            .arg(QString(51, u'c'))));
    EXPECT_TRUE(refused(QStringLiteral("INSERT INTO [@SIZES] (Code, Name) VALUES (N'3', N'%1')")
                            .arg(QString(101, u'n'))));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM [@SIZES]")), 1);
}

TEST_F(UserTablesTest, TextColumnsCompareAsTheServerDoes) {
    for (const int type : {6, 2}) {
        company.Disconnect();
        open(type);
        ASSERT_TRUE(addTable(QStringLiteral("KEYS")));
        ASSERT_TRUE(addField(QStringLiteral("@KEYS"), QStringLiteral("Tag"), u'A', 10));
        scalar(
            QStringLiteral("INSERT INTO [@KEYS] (Code, Name, U_Tag) VALUES (N'a', N'x', N'Red')"));
        // On the MSSQL family "A" is the same key as "a"; elsewhere it is not.
        EXPECT_EQ(refused(QStringLiteral("INSERT INTO [@KEYS] (Code, Name) VALUES (N'A', N'y')")),
                  type == 6)
            << type;
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM [@KEYS] WHERE U_Tag = N'RED'")),
                  type == 6 ? 1 : 0)
            << type;
    }
}

// --- What is refused -----------------------------------------------------

TEST_F(UserTablesTest, DuplicateTablesInAnyCaseAreRefused) {
    open();
    QString error;
    ASSERT_TRUE(addTable(QStringLiteral("Stock"), QStringLiteral("one"), 1));
    const QString before = snapshot();
    for (const char* name : {"Stock", "STOCK", "stock"}) {
        error.clear();
        EXPECT_FALSE(addTable(QLatin1String(name), QStringLiteral("two"), 0, &error)) << name;
        EXPECT_TRUE(error.contains(QStringLiteral("exists"))) << error.toStdString();
    }
    // A table "@NAME" that the catalogue does not know is not taken over.
    ASSERT_TRUE(db().exec(QStringLiteral("CREATE TABLE \"@STRAY\" (Code TEXT)")));
    const QString withStray = snapshot();
    EXPECT_FALSE(addTable(QStringLiteral("stray")));
    EXPECT_TRUE(same(withStray, snapshot()));
    ASSERT_TRUE(db().exec(QStringLiteral("DROP TABLE \"@STRAY\"")));
    EXPECT_TRUE(same(before, snapshot()));
    EXPECT_EQ(UserTables::table(db(), QStringLiteral("STOCK"))->description, QStringLiteral("one"));
}

TEST_F(UserTablesTest, BadTableNamesAndTypesAreRefused) {
    open();
    const QString before = snapshot();
    const QStringList bad{QString(),
                          QStringLiteral("@AT"),
                          QStringLiteral("TWENTY_CHARACTERS_XY"),
                          QStringLiteral("A B"),
                          QStringLiteral("X-Y"),
                          QStringLiteral("Grüße"),
                          QStringLiteral("LINE\n"),
                          QStringLiteral("\nLINE"),
                          QStringLiteral("T\"X"),
                          QStringLiteral("T;DROP"),
                          QString::fromUtf16(u"T\0X", 3)};
    for (const QString& name : bad) {
        QString error;
        EXPECT_FALSE(addTable(name, QString(), 0, &error)) << name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << name.toStdString();
    }
    EXPECT_FALSE(addTable(QStringLiteral("OKNAME"), QString(), 5));
    EXPECT_FALSE(addTable(QStringLiteral("OKNAME"), QString(), -1));
    EXPECT_TRUE(same(before, snapshot()));
    // Nineteen characters is the most a name may have.
    EXPECT_TRUE(addTable(QStringLiteral("NINETEEN_CHARACTERS"), QString(), 4));
}

TEST_F(UserTablesTest, DuplicateAndBadFieldsAreRefused) {
    open();
    ASSERT_TRUE(addTable(QStringLiteral("F")));
    ASSERT_TRUE(addField(QStringLiteral("@F"), QStringLiteral("Colour"), u'A', 10));
    const QString before = snapshot();
    struct Bad {
        QString table;
        QString alias;
        QChar type;
        int size;
    };
    const QList<Bad> bad{
        {QStringLiteral("@F"), QStringLiteral("Colour"), u'A', 10}, // again
        {QStringLiteral("@F"), QStringLiteral("COLOUR"), u'N', 0},  // in another case
        {QStringLiteral("@f"), QStringLiteral("colour"), u'M', 0},  // both
        {QStringLiteral("@F"), QString(), u'A', 10},                // no name
        {QStringLiteral("@F"), QStringLiteral("NINETEEN_CHARS_XYZW"), u'A', 10},
        {QStringLiteral("@F"), QStringLiteral("A B"), u'A', 10},
        {QStringLiteral("@F"), QStringLiteral("Bad\n"), u'A', 10},
        {QStringLiteral("@F"), QStringLiteral("Größe"), u'A', 10},
        {QStringLiteral("@F"), QStringLiteral("X\"Y"), u'A', 10},
        {QStringLiteral("@F"), QStringLiteral("Good"), u'X', 10}, // no such type
        {QStringLiteral("@F"), QStringLiteral("Good"), u'a', 10},
        {QStringLiteral("@F"), QStringLiteral("Good"), QChar(), 10},
        {QStringLiteral("@F"), QStringLiteral("Good"), u'A', 0}, // sizes
        {QStringLiteral("@F"), QStringLiteral("Good"), u'A', 255},
        {QStringLiteral("@F"), QStringLiteral("Good"), u'A', -3},
        {QStringLiteral("@NOPE"), QStringLiteral("Good"), u'A', 10}, // no such table
        {QStringLiteral("NOPE"), QStringLiteral("Good"), u'A', 10},
        {QStringLiteral("F"), QStringLiteral("Good"), u'A', 10}, // user table without @
        {QString(), QStringLiteral("Good"), u'A', 10},
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
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE OCRD ADD COLUMN U_Stray TEXT")));
    ASSERT_TRUE(db().exec(QStringLiteral(
        "ALTER TABLE OCRD ADD COLUMN U_Computed TEXT GENERATED ALWAYS AS (CardName) VIRTUAL")));
    const QString withStray = snapshot();
    for (const char* alias : {"stray", "Computed"}) {
        QString error;
        EXPECT_FALSE(
            addField(QStringLiteral("OCRD"), QLatin1String(alias), u'A', 5, QString(), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("has a field"))) << error.toStdString();
    }
    EXPECT_TRUE(same(withStray, snapshot()));

    // The limits themselves are fine.
    EXPECT_TRUE(addField(QStringLiteral("@F"), QStringLiteral("EIGHTEEN_CHARS_XYZ"), u'A', 254));
    EXPECT_TRUE(addField(QStringLiteral("@F"), QStringLiteral("One"), u'A', 1));
}

// --- Removal ----------------------------------------------------------------

TEST_F(UserTablesTest, RemovalDropsColumnsTablesAndTheirCatalogueRows) {
    open();
    QString error;
    ASSERT_TRUE(addTable(QStringLiteral("GONE")));
    ASSERT_TRUE(addField(QStringLiteral("@GONE"), QStringLiteral("Keep"), u'A', 10));
    ASSERT_TRUE(addField(QStringLiteral("@GONE"), QStringLiteral("Drop"), u'N', 0));
    scalar(QStringLiteral("INSERT INTO [@GONE] (Code, Name, U_Keep, U_Drop) VALUES (N'1', N'one', "
                          "N'kept', 7)"));
    scalar(QStringLiteral("INSERT INTO UFD1 (TableID, FieldID, IndexID, FldValue) VALUES "
                          "(N'@GONE', 1, 0, N'7')"));

    ASSERT_TRUE(
        UserTables::removeField(db(), QStringLiteral("@gone"), QStringLiteral("DROP"), &error))
        << error.toStdString();
    EXPECT_FALSE(columnExists(QStringLiteral("@GONE"), QStringLiteral("U_Drop")));
    EXPECT_TRUE(columnExists(QStringLiteral("@GONE"), QStringLiteral("U_Keep")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CUFD WHERE TableID = N'@GONE'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM UFD1")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT U_Keep FROM [@GONE]")), QStringLiteral("kept"));
    EXPECT_FALSE(UserTables::removeField(db(), QStringLiteral("@GONE"), QStringLiteral("Drop")));
    EXPECT_FALSE(UserTables::removeField(db(), QStringLiteral("@NOPE"), QStringLiteral("Keep")));
    // Only user fields can be removed, never a column of the schema.
    EXPECT_FALSE(UserTables::removeField(db(), QStringLiteral("OITM"), QStringLiteral("ItemName")));
    EXPECT_TRUE(columnExists(QStringLiteral("OITM"), QStringLiteral("ItemName")));

    ASSERT_TRUE(UserTables::removeTable(db(), QStringLiteral("Gone"), &error))
        << error.toStdString();
    EXPECT_FALSE(tableExists(QStringLiteral("@GONE")));
    EXPECT_FALSE(UserTables::table(db(), QStringLiteral("GONE")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CUFD WHERE TableID = N'@GONE'")), 0);
    EXPECT_FALSE(UserTables::removeTable(db(), QStringLiteral("GONE"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no user table")));
    // The name is free again.
    EXPECT_TRUE(addTable(QStringLiteral("gone")));

    // A field of a schema table goes with its column; the rows keep the rest.
    ASSERT_TRUE(addField(QStringLiteral("OCRD"), QStringLiteral("Rating"), u'N', 0));
    scalar(QStringLiteral("INSERT INTO OCRD (CardCode, CardName, U_Rating) VALUES (N'C1', N'Acme', "
                          "3)"));
    ASSERT_TRUE(UserTables::removeField(db(), QStringLiteral("OCRD"), QStringLiteral("Rating")));
    EXPECT_FALSE(columnExists(QStringLiteral("OCRD"), QStringLiteral("U_Rating")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT CardName FROM OCRD WHERE CardCode = N'C1'")),
              QStringLiteral("Acme"));
}

TEST_F(UserTablesTest, ATableOfAUserObjectStays) {
    open();
    ASSERT_TRUE(addTable(QStringLiteral("HEAD"), QString(), 1));
    ASSERT_TRUE(addTable(QStringLiteral("LINES"), QString(), 2));
    scalar(QStringLiteral(
        "INSERT INTO OUDO (Code, Name, TableName) VALUES (N'OBJ', N'Object', N'HEAD')"));
    scalar(QStringLiteral(
        "INSERT INTO UDO1 (Code, SonNumber, TableName) VALUES (N'OBJ', 1, N'LINES')"));
    const QString before = snapshot();
    QString error;
    EXPECT_FALSE(UserTables::removeTable(db(), QStringLiteral("HEAD"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("OBJ"))) << error.toStdString();
    EXPECT_FALSE(UserTables::removeTable(db(), QStringLiteral("lines"), &error));
    EXPECT_TRUE(same(before, snapshot()));
    scalar(QStringLiteral("DELETE FROM UDO1"));
    scalar(QStringLiteral("DELETE FROM OUDO"));
    EXPECT_TRUE(UserTables::removeTable(db(), QStringLiteral("LINES")));
    EXPECT_TRUE(UserTables::removeTable(db(), QStringLiteral("HEAD")));
}

// --- Listing ------------------------------------------------------------------

TEST_F(UserTablesTest, FieldsAndTablesAreListedInOrder) {
    open();
    ASSERT_TRUE(addTable(QStringLiteral("ZETA"), QStringLiteral("z"), 3));
    ASSERT_TRUE(addTable(QStringLiteral("ALPHA"), QStringLiteral("a")));
    const QList<UserTables::Table> tables = UserTables::tables(db());
    ASSERT_EQ(tables.size(), 2);
    EXPECT_EQ(tables[0].name, QStringLiteral("ALPHA"));
    EXPECT_EQ(tables[1].name, QStringLiteral("ZETA"));
    EXPECT_EQ(tables[1].objectType, 3);

    const QString t = QStringLiteral("@ZETA");
    ASSERT_TRUE(addField(t, QStringLiteral("First"), u'A', 20, QStringLiteral("1st")));
    ASSERT_TRUE(addField(t, QStringLiteral("Second"), u'M', 0, QStringLiteral("2nd")));
    ASSERT_TRUE(addField(t, QStringLiteral("Third"), u'D', 0, QStringLiteral("3rd")));
    ASSERT_TRUE(UserTables::removeField(db(), t, QStringLiteral("Second")));
    ASSERT_TRUE(addField(t, QStringLiteral("Fourth"), u'B', 0, QStringLiteral("4th")));
    ASSERT_TRUE(addField(QStringLiteral("OITM"), QStringLiteral("Other"), u'N', 0));

    const QList<UserTables::Field> fields = UserTables::fields(db(), QStringLiteral("@zeta"));
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0].alias, QStringLiteral("First"));
    EXPECT_EQ(fields[0].fieldId, 0);
    EXPECT_EQ(fields[0].type, QChar(u'A'));
    EXPECT_EQ(fields[0].size, 20);
    EXPECT_EQ(fields[0].description, QStringLiteral("1st"));
    EXPECT_EQ(fields[0].table, QStringLiteral("@ZETA"));
    EXPECT_EQ(fields[0].column(), QStringLiteral("U_First"));
    EXPECT_EQ(fields[1].alias, QStringLiteral("Third"));
    EXPECT_EQ(fields[1].fieldId, 2);
    EXPECT_EQ(fields[1].type, QChar(u'D'));
    EXPECT_EQ(fields[2].alias, QStringLiteral("Fourth"));
    EXPECT_EQ(fields[2].fieldId, 3);
    EXPECT_EQ(fields[2].type, QChar(u'B'));

    const QList<UserTables::Field> items = UserTables::fields(db(), QStringLiteral("OITM"));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].fieldId, 0);
    EXPECT_EQ(items[0].type, QChar(u'N'));
    EXPECT_TRUE(UserTables::fields(db(), QStringLiteral("@NOPE")).isEmpty());
    EXPECT_TRUE(UserTables::fields(db(), QStringLiteral("OCRD")).isEmpty());

    // The type letters and their catalogue digits go both ways.
    for (const QChar type : QStringLiteral("AMNDB")) {
        EXPECT_TRUE(UserTables::isFieldType(type));
        EXPECT_EQ(UserTables::typeFromId(UserTables::typeId(type)), type);
    }
    EXPECT_EQ(UserTables::typeId(u'D'), QChar(u'3'));
    EXPECT_EQ(UserTables::typeId(u'B'), QChar(u'4'));
    EXPECT_FALSE(UserTables::isFieldType(u'Z'));
    EXPECT_TRUE(UserTables::typeFromId(u'5').isNull());
    EXPECT_TRUE(UserTables::typeFromId(QChar()).isNull());
}

// --- Hostile descriptions -------------------------------------------------

TEST_F(UserTablesTest, DescriptionsArriveByteForByteOrAreRefused) {
    open();
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    ASSERT_TRUE(addTable(QStringLiteral("HOST")));
    int n = 0, accepted = 0;
    for (const QString& description : nasty) {
        ++n;
        const bool fits = !description.contains(QChar(0)) && characters(description) <= 30;
        const QString name = QStringLiteral("T%1").arg(n);
        const QString alias = QStringLiteral("F%1").arg(n);
        const QString before = snapshot();
        QString error;
        const bool table = addTable(name, description, 0, &error);
        EXPECT_EQ(table, fits) << description.toStdString() << " " << error.toStdString();
        const bool field = addField(QStringLiteral("@HOST"), alias, u'A', 10, description, &error);
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
        const QList<UserTables::Field> fields = UserTables::fields(db(), QStringLiteral("@HOST"));
        ASSERT_FALSE(fields.isEmpty());
        EXPECT_EQ(fields.last().alias, alias);
        EXPECT_EQ(fields.last().description, description);
        // The client sees the same text.
        EXPECT_EQ(scalar(QStringLiteral("SELECT Descr FROM OUTB WHERE TableName = N'%1'").arg(name))
                      .toString(),
                  description);
    }
    EXPECT_EQ(UserTables::tables(db()).size(), accepted + 1);
    EXPECT_LT(accepted, nasty.size()); // the list holds values that must be refused
    EXPECT_GT(accepted, 40);
}

// --- All or nothing ------------------------------------------------------

TEST_F(UserTablesTest, AFailingAddFieldLeavesNoCatalogueRowAndNoColumn) {
    open();
    ASSERT_TRUE(addTable(QStringLiteral("OLD")));
    ASSERT_TRUE(addField(QStringLiteral("@OLD"), QStringLiteral("Tag"), u'A', 3));
    // A row written past its column's size (as an older host could leave
    // one) makes the new column's check fail after the catalogue row is in.
    ASSERT_TRUE(db().exec(QStringLiteral("PRAGMA ignore_check_constraints = ON")));
    scalar(
        QStringLiteral("INSERT INTO [@OLD] (Code, Name, U_Tag) VALUES (N'1', N'x', N'toolong')"));
    ASSERT_TRUE(db().exec(QStringLiteral("PRAGMA ignore_check_constraints = OFF")));
    const QString before = snapshot();
    QString error;
    EXPECT_FALSE(addField(QStringLiteral("@OLD"), QStringLiteral("More"), u'A', 10,
                          QStringLiteral("more"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("U_More"))) << error.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CUFD WHERE AliasID = N'More'")), 0);
    EXPECT_FALSE(columnExists(QStringLiteral("@OLD"), QStringLiteral("U_More")));
    EXPECT_TRUE(same(before, snapshot()));
    // The connection is usable afterwards, outside any transaction (once
    // the planted row, which fails every new column's checks, is gone).
    scalar(QStringLiteral("DELETE FROM [@OLD]"));
    EXPECT_TRUE(addField(QStringLiteral("@OLD"), QStringLiteral("Count"), u'N', 0));
    EXPECT_TRUE(db().exec(QStringLiteral("BEGIN")));
    EXPECT_TRUE(db().exec(QStringLiteral("COMMIT")));
}

TEST_F(UserTablesTest, AFailingAddTableLeavesNoCatalogueRow) {
    open();
    // A view of that name is not a table, but no table can be made with it.
    ASSERT_TRUE(db().exec(QStringLiteral("CREATE VIEW \"@VIEWED\" AS SELECT 1 AS x")));
    const QString before = snapshot();
    QString error;
    EXPECT_FALSE(addTable(QStringLiteral("VIEWED"), QStringLiteral("v"), 0, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("@VIEWED"))) << error.toStdString();
    EXPECT_FALSE(UserTables::table(db(), QStringLiteral("VIEWED")));
    EXPECT_TRUE(same(before, snapshot()));
}

TEST_F(UserTablesTest, AFailingRemovalKeepsTableFieldsAndRows) {
    open();
    ASSERT_TRUE(addTable(QStringLiteral("BUSY")));
    ASSERT_TRUE(addField(QStringLiteral("@BUSY"), QStringLiteral("Tag"), u'A', 3));
    scalar(QStringLiteral("INSERT INTO [@BUSY] (Code, Name, U_Tag) VALUES (N'1', N'x', N'abc')"));
    scalar(QStringLiteral("INSERT INTO [@BUSY] (Code, Name, U_Tag) VALUES (N'2', N'y', N'def')"));
    const QString before = snapshot();
    {
        // A reader still on the table: the host cannot drop it under it.
        QSqlQuery reader(db().connection());
        ASSERT_TRUE(reader.exec(QStringLiteral("SELECT Code FROM \"@BUSY\"")));
        ASSERT_TRUE(reader.next());
        QString error;
        EXPECT_FALSE(UserTables::removeTable(db(), QStringLiteral("BUSY"), &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(same(before, snapshot()));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM [@BUSY]")), 2);
    EXPECT_TRUE(UserTables::removeTable(db(), QStringLiteral("BUSY")));
    EXPECT_FALSE(tableExists(QStringLiteral("@BUSY")));
}

TEST_F(UserTablesTest, CallsNestInTheCallersTransaction) {
    open();
    const QString before = snapshot();
    ASSERT_TRUE(db().exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(addTable(QStringLiteral("NESTED")));
    ASSERT_TRUE(addField(QStringLiteral("@NESTED"), QStringLiteral("A"), u'A', 5));
    // A refused call inside does not undo what came before it.
    EXPECT_FALSE(addField(QStringLiteral("@NESTED"), QStringLiteral("a"), u'A', 5));
    EXPECT_TRUE(tableExists(QStringLiteral("@NESTED")));
    EXPECT_TRUE(columnExists(QStringLiteral("@NESTED"), QStringLiteral("U_A")));
    ASSERT_TRUE(db().exec(QStringLiteral("ROLLBACK")));
    EXPECT_TRUE(same(before, snapshot()));

    ASSERT_TRUE(db().exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(addTable(QStringLiteral("NESTED")));
    ASSERT_TRUE(db().exec(QStringLiteral("COMMIT")));
    EXPECT_TRUE(UserTables::table(db(), QStringLiteral("NESTED")));
}

// An object that holds a record while a field comes or goes keeps every
// value that still has a column, and takes the new field at once.
TEST_F(UserTablesTest, AHeldRecordFollowsFieldsThatComeAndGo) {
    open();
    scalar(QStringLiteral("INSERT INTO OCRD (CardCode, CardName) VALUES (N'C1', N'Acme')"));
    std::unique_ptr<HostObject> o = company.GetBusinessObject(2);
    auto* partner = static_cast<BusinessObject*>(o.get());
    ASSERT_TRUE(partner->GetByKey({QStringLiteral("C1")}));
    EXPECT_THROW(partner->SetProperty(QStringLiteral("U_Tier"), QStringLiteral("Gold")), ComError);

    ASSERT_TRUE(addField(QStringLiteral("OCRD"), QStringLiteral("Tier"), u'A', 10));
    ASSERT_TRUE(addField(QStringLiteral("OCRD"), QStringLiteral("Band"), u'A', 10));
    partner->SetProperty(QStringLiteral("U_Tier"), QStringLiteral("Gold"));
    partner->SetProperty(QStringLiteral("U_Band"), QStringLiteral("B"));
    ASSERT_EQ(partner->Update(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT U_Tier || U_Band FROM OCRD WHERE CardCode = N'C1'")),
              QStringLiteral("GoldB"));
    EXPECT_TRUE(partner->GetAsXML().contains(QStringLiteral("<U_Band>B</U_Band>")));

    // The field in the middle goes while the object holds its value.
    ASSERT_TRUE(UserTables::removeField(db(), QStringLiteral("OCRD"), QStringLiteral("Band")));
    EXPECT_FALSE(partner->GetAsXML().contains(QStringLiteral("U_Band")));
    EXPECT_EQ(partner->GetProperty(QStringLiteral("U_Tier")).toString(), QStringLiteral("Gold"));
    EXPECT_EQ(partner->GetProperty(QStringLiteral("CardName")).toString(), QStringLiteral("Acme"));
    partner->SetProperty(QStringLiteral("CardName"), QStringLiteral("Acme Ltd"));
    ASSERT_EQ(partner->Update(), 0) << company.GetLastErrorDescription().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT CardName || U_Tier FROM OCRD WHERE CardCode = N'C1'")),
              QStringLiteral("Acme LtdGold"));
}
