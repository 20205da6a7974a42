#include "TestData.h"
#include "host/objects/LLSqlTranslator.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using LLObjectsCOM::SqlTranslator;

namespace {

const QDateTime kNow(QDate(2024, 5, 6), QTime(14, 30, 15));

struct Outcome {
    bool ok = false;
    QString sql;
    QString error;
};

Outcome run(int serverType, const QString& statement) {
    SqlTranslator translator(serverType);
    translator.setClock([] { return kNow; });
    Outcome o;
    o.ok = translator.translate(statement, o.sql, o.error);
    return o;
}

// The translation, or a marked text that no expectation matches.
QString tr(int serverType, const QString& statement) {
    const Outcome o = run(serverType, statement);
    return o.ok ? o.sql : u"<refused: %1>"_s.arg(o.error);
}

// A statement, the server types it is sent to (digits) and what SQLite
// gets (nullptr: the same text).
struct Translation {
    const char* types;
    const char* in;
    const char* out;
};
constexpr const char* kAll = "256";
const int kTypes[] = {2, 5, 6};

void expectTranslations(std::initializer_list<Translation> cases) {
    for (const Translation& c : cases)
        for (const char* type = c.types; *type; ++type)
            EXPECT_EQ(tr(*type - '0', QString::fromUtf8(c.in)),
                      QString::fromUtf8(c.out ? c.out : c.in))
                << "type " << *type << ": " << c.in;
}

// A statement that is refused: the error holds words (when given) and
// ends with the 1-based position (when not 0), on one line, with no SQL.
struct Refusal {
    int type;
    const char* text;
    const char* words;
    int position;
};

void expectRefusals(std::initializer_list<Refusal> cases) {
    for (const Refusal& c : cases) {
        const Outcome o = run(c.type, QString::fromUtf8(c.text));
        EXPECT_FALSE(o.ok) << c.text << " gave " << o.sql.toStdString();
        EXPECT_TRUE(o.sql.isEmpty()) << c.text;
        EXPECT_FALSE(o.error.isEmpty()) << c.text;
        EXPECT_FALSE(o.error.contains(QLatin1Char('\n'))) << c.text;
        if (c.words) {
            EXPECT_TRUE(o.error.contains(QLatin1String(c.words)))
                << c.text << ": " << o.error.toStdString();
        }
        if (c.position) {
            EXPECT_TRUE(o.error.endsWith(u"at position %1"_s.arg(c.position)))
                << c.text << ": " << o.error.toStdString();
        }
    }
}

} // namespace

// ---------------------------------------------------------------- literals

TEST(SqlTranslatorLiterals, PrefixesGoContentStaysAndLiteralsStayApart) {
    expectTranslations({
        {kAll, "SELECT * FROM OCRD WHERE CardName = N'O''Brien'",
         "SELECT * FROM OCRD WHERE CardName = 'O''Brien'"},
        {kAll, "SELECT * FROM OCRD WHERE CardName = n'x'",
         "SELECT * FROM OCRD WHERE CardName = 'x'"},
        {kAll, "INSERT INTO T (A, B) VALUES (N'', N'''')",
         "INSERT INTO T (A, B) VALUES ('', '''')"},
        // 'a''b' would be one literal in SQLite, X'..' a blob.
        {"6", "SELECT N'a'N'b'", "SELECT 'a' 'b'"},
        {"6", "SELECT 'a'/**/'b'", "SELECT 'a' 'b'"},
        {"6", "SELECT X'41'", "SELECT X '41'"},
        // A timestamp with a fraction is normalized on type 5 alone, and
        // only in that exact shape.
        {"5", "SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 00:00:00.000000'",
         "SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 00:00:00'"},
        {"5", "SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 23:59:58.123'",
         "SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 23:59:58'"},
        {"26", "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00.000000'", nullptr},
        {"5", "SELECT 1 FROM T WHERE D = ' 2024-01-31 00:00:00.000000'", nullptr},
        {"5", "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00.0000'", nullptr},
        {"5", "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00.000000 '", nullptr},
        {"5", "SELECT 1 FROM T WHERE D = '2024-01-31T00:00:00.000'", nullptr},
        {"5", "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'", nullptr},
        {"5", "SELECT 1 FROM T WHERE D = '2024-01-31'", nullptr},
    });
}

TEST(SqlTranslatorLiterals, SqlLookalikesInsideLiteralsStayAsTheyAre) {
    const char* const texts[] = {"'[@X]'",
                                 "'N''x'",
                                 "'@T'",
                                 "'GETDATE()'",
                                 "'-- not a comment'",
                                 "'/* nor this */'",
                                 "'a;b'",
                                 "'CONVERT(datetime,''20240131'',112)'",
                                 "'msdb..backupset'",
                                 "'TOP 5'",
                                 "'\"q\"'",
                                 "'(('",
                                 "']'",
                                 "'CURRENT TIMESTAMP'"};
    for (int type : kTypes) {
        for (const char* text : texts) {
            const QString literal = QString::fromUtf8(text);
            EXPECT_EQ(tr(type, u"SELECT A FROM T WHERE B = "_s + literal),
                      u"SELECT A FROM T WHERE B = "_s + literal)
                << "type " << type << ": " << text;
            EXPECT_EQ(tr(type, u"SELECT A FROM T WHERE B = N"_s + literal),
                      u"SELECT A FROM T WHERE B = "_s + literal)
                << "type " << type << ": N" << text;
        }
    }
}

TEST(SqlTranslatorLiterals, EveryNastyStringSurvivesInsideAnNLiteral) {
    const QStringList values = nastyStrings();
    ASSERT_GT(values.size(), 50);
    for (int type : kTypes) {
        for (const QString& value : values) {
            QString doubled = value;
            doubled.replace(QLatin1Char('\''), QLatin1String("''"));
            const QString statement = u"UPDATE OCRD SET CardName = N'"_s + doubled +
                                      u"' WHERE CardCode = N'"_s + doubled + u"'"_s;
            const Outcome o = run(type, statement);
            if (value.contains(QChar(0))) {
                EXPECT_FALSE(o.ok) << "a NUL must be refused";
                EXPECT_TRUE(o.error.contains(QLatin1String("NUL"))) << o.error.toStdString();
                continue;
            }
            ASSERT_TRUE(o.ok) << o.error.toStdString();
            EXPECT_EQ(o.sql, u"UPDATE OCRD SET CardName = '"_s + doubled +
                                 u"' WHERE CardCode = '"_s + doubled + u"'"_s)
                << "type " << type << ": " << value.toStdString();
        }
    }
}

// ---------------------------------------------------------------- identifiers

TEST(SqlTranslatorIdentifiers, NamesAreQuotedAsSqliteNeedsThem) {
    expectTranslations({
        {"6", "SELECT [Code], [Group Name] FROM [OCRG]",
         "SELECT \"Code\", \"Group Name\" FROM \"OCRG\""},
        {"6", "SELECT [a]]b] FROM T", "SELECT \"a]b\" FROM T"},
        {"6", "SELECT [say \"hi\"] FROM T", "SELECT \"say \"\"hi\"\"\" FROM T"},
        {"6", "SELECT [it's] FROM T", "SELECT \"it's\" FROM T"},
        {"6", "SELECT T.[Code] FROM T", "SELECT T.\"Code\" FROM T"},
        // User tables in every form.
        {kAll, "SELECT Code FROM @MRVSETT", "SELECT Code FROM \"@MRVSETT\""},
        {kAll, "SELECT Code FROM [@MRVSETT]", "SELECT Code FROM \"@MRVSETT\""},
        {kAll, "SELECT [@MRVNOTE].U_ID FROM [@MRVNOTE]",
         "SELECT \"@MRVNOTE\".U_ID FROM \"@MRVNOTE\""},
        {kAll, "SELECT @X.Code FROM @X", "SELECT \"@X\".Code FROM \"@X\""},
        // SQLite has neither character in bare names.
        {"6", "SELECT a$b, c#d, e@f FROM T", "SELECT a$b, \"c#d\", \"e@f\" FROM T"},
        // Names that are operators in SQLite.
        {"6", "SELECT NotNull, AliasID FROM CUFD WHERE NotNull = 'Y'",
         "SELECT \"NotNull\", AliasID FROM CUFD WHERE \"NotNull\" = 'Y'"},
        {"6", "SELECT IsNull FROM T", "SELECT \"IsNull\" FROM T"},
        {"6", "SELECT ISNULL(a, 0) FROM T", "SELECT IFNULL(a, 0) FROM T"},
        // Double-quoted names stay; glued aliases stay separate.
        {"5", "SELECT \"a\"\"b\" FROM \"T\"", nullptr},
        {"5", "SELECT \"x\"\"\" FROM T WHERE \"U_ID\"=1", nullptr},
        {"6", "SELECT [a]b FROM T", "SELECT \"a\" b FROM T"},
        // msdb and dbo.
        {"6", "SELECT 1 FROM msdb.dbo.backupset", "SELECT 1 FROM msdb.backupset"},
        {"6", "SELECT 1 FROM msdb..backupset", "SELECT 1 FROM msdb.backupset"},
        {"6", "SELECT 1 FROM MSDB.DBO.backupset", "SELECT 1 FROM msdb.backupset"},
        {"6", "SELECT 1 FROM [msdb].[dbo].[backupset]", "SELECT 1 FROM msdb.\"backupset\""},
        {"6", "SELECT msdb.dbo.backupset.database_name FROM msdb.dbo.backupset",
         "SELECT msdb.backupset.database_name FROM msdb.backupset"},
        {"6", "SELECT dbo.OCRD.CardCode FROM dbo.OCRD", "SELECT OCRD.CardCode FROM OCRD"},
        {"6", "SELECT T.dbo FROM T", nullptr},
        {"6", "SELECT 1 FROM msdb.backupset", nullptr},
    });
}

// ---------------------------------------------------------------- dates and clock

TEST(SqlTranslatorDates, ConvertCastAndTimestampIso) {
    expectTranslations({
        {kAll, "SELECT 1 FROM T WHERE D = CONVERT(datetime,'20240131',112)",
         "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'"},
        {kAll, "SELECT 1 FROM T WHERE D = convert ( DATETIME , '20240131' , 112 )",
         "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'"},
        {kAll, "SELECT 1 FROM T WHERE D = CONVERT(datetime, N'20240131', 112)",
         "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'"},
        {kAll, "SELECT 1 FROM T WHERE D = Convert(smalldatetime,'20240131',112)",
         "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'"},
        {"6", "SELECT CONVERT(date, '2024-01-31 10:11:12')", "SELECT '2024-01-31 00:00:00'"},
        {"6", "SELECT CONVERT(datetime, '2024-01-31T10:11:12.345', 126)",
         "SELECT '2024-01-31 10:11:12'"},
        // Of an expression.
        {"6", "SELECT CONVERT(datetime, DocDate, 112) FROM T",
         "SELECT datetime(substr(DocDate, 1, 4) || '-' || substr(DocDate, 5, 2) || '-' || "
         "substr(DocDate, 7, 2)) FROM T"},
        {"6", "SELECT CONVERT(datetime, [Doc Date]) FROM T",
         "SELECT datetime(\"Doc Date\") FROM T"},
        {"6", "SELECT CONVERT(date, GETDATE())",
         "SELECT datetime('2024-05-06 14:30:15', 'start of day')"},
        {"6", "SELECT CONVERT(date, D) FROM T", "SELECT datetime(D, 'start of day') FROM T"},
        // To other types.
        {"6", "SELECT CONVERT(nvarchar(10), Code) FROM T",
         "SELECT SUBSTR(CAST(Code AS TEXT), 1, 10) FROM T"},
        {"6", "SELECT CONVERT(nvarchar(max), Code) FROM T", "SELECT CAST(Code AS TEXT) FROM T"},
        {"6", "SELECT CONVERT(varchar, D, 112) FROM T", "SELECT strftime('%Y%m%d', D) FROM T"},
        {"6", "SELECT CONVERT(int, N'42')", "SELECT CAST('42' AS INTEGER)"},
        {"6", "SELECT CONVERT(decimal(19,6), Price) FROM T", "SELECT CAST(Price AS REAL) FROM T"},
        // CAST to a date type.
        {"6", "SELECT CAST('20240131' AS datetime)", "SELECT '2024-01-31 00:00:00'"},
        {"6", "SELECT CAST(D AS date) FROM T", "SELECT datetime(D, 'start of day') FROM T"},
        {"6", "SELECT CAST(Code AS nvarchar(20)) FROM T", nullptr},
        {kAll, "SELECT 1 FROM T WHERE D = TIMESTAMP_ISO('2024-01-31')",
         "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'"},
        {kAll, "SELECT timestamp_iso( D ) FROM T", "SELECT datetime(D) FROM T"},
        {"2", "SELECT TIMESTAMP_ISO('2024-01-31-10.20.30.000000')", "SELECT '2024-01-31 10:20:30'"},
        // The clock reads the injected time; a column of that name is not it.
        {kAll, "SELECT GETDATE()", "SELECT '2024-05-06 14:30:15'"},
        {kAll, "SELECT getdate ( )", "SELECT '2024-05-06 14:30:15'"},
        {kAll, "SELECT CURRENT_TIMESTAMP", "SELECT '2024-05-06 14:30:15'"},
        {kAll, "SELECT 1 FROM T WHERE D < CURRENT TIMESTAMP",
         "SELECT 1 FROM T WHERE D < '2024-05-06 14:30:15'"},
        {"6", "SELECT GetDateX, T.GETDATE FROM T", nullptr},
    });
}

TEST(SqlTranslatorDates, DefaultClockIsTheLocalTime) {
    SqlTranslator translator(6);
    QString sql, error;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ASSERT_TRUE(translator.translate(u"SELECT GETDATE()"_s, sql, error));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const QDateTime read = QDateTime::fromString(sql.mid(8, 19), u"yyyy-MM-dd HH:mm:ss"_s);
    ASSERT_TRUE(read.isValid()) << sql.toStdString();
    EXPECT_LE(before.toSecsSinceEpoch() - 1, read.toSecsSinceEpoch());
    EXPECT_GE(after.toSecsSinceEpoch(), read.toSecsSinceEpoch());
}

TEST(SqlTranslatorDates, DateAdd) {
    expectTranslations({
        {"6", "SELECT DATEADD(minute, 60, D) FROM T", "SELECT datetime(D, '+60 minutes') FROM T"},
        {"6", "SELECT DATEADD(mi, -5, D) FROM T", "SELECT datetime(D, '-5 minutes') FROM T"},
        {"6", "SELECT DATEADD(dd, - 2, D) FROM T", "SELECT datetime(D, '-2 days') FROM T"},
        {"6", "SELECT DATEADD(wk, 2, D) FROM T", "SELECT datetime(D, '+14 days') FROM T"},
        {"6", "SELECT DATEADD(hh, 1.9, D) FROM T", "SELECT datetime(D, '+1 hours') FROM T"},
        {"6", "SELECT DATEADD(s, 30, D) FROM T", "SELECT datetime(D, '+30 seconds') FROM T"},
        // Month steps clamp to the month's end like the server.
        {"6", "SELECT DATEADD(month, 1, D) FROM T",
         "SELECT (CASE WHEN strftime('%d', datetime(D, '+1 months')) = strftime('%d', D) THEN "
         "datetime(D, '+1 months') ELSE date(datetime(D, '+1 months'), 'start of month', '-1 "
         "day') || ' ' || time(D) END) FROM T"},
        // A count that is an expression.
        {"6", "SELECT DATEADD(day, Days, D) FROM T",
         "SELECT datetime(D, CAST(Days AS INTEGER) || ' days') FROM T"},
        {"6", "SELECT DATEADD(ww, -N, D) FROM T",
         "SELECT datetime(D, (CAST(-N AS INTEGER) * 7) || ' days') FROM T"},
        // On literal dates.
        {"6", "SELECT DATEADD(minute, 60, GETDATE())",
         "SELECT datetime('2024-05-06 14:30:15', '+60 minutes')"},
        {"6", "SELECT DATEADD(month, 1, '20240131')", "SELECT '2024-02-29 00:00:00'"},
        {"6", "SELECT DATEADD(yyyy, 1, '2024-02-29 08:00:00')", "SELECT '2025-02-28 08:00:00'"},
        {"6", "SELECT DATEADD(q, -1, '2024-05-31')", "SELECT '2024-02-29 00:00:00'"},
        {"6", "SELECT DATEADD(day, 1, '2024-12-31 23:59:59')", "SELECT '2025-01-01 23:59:59'"},
        {"6", "SELECT DATEADD(hour, 24, '2024-03-31 01:30:00')", "SELECT '2024-04-01 01:30:00'"},
        {"6", "SELECT DATEADD(second, -1, CONVERT(datetime,'20240101',112))",
         "SELECT datetime('2024-01-01 00:00:00', '-1 seconds')"},
        {"6", "SELECT DATEADD(day, 1, DATEADD(month, 1, '2024-01-31'))",
         "SELECT datetime('2024-02-29 00:00:00', '+1 days')"},
    });
}

// ---------------------------------------------------------------- functions and limits

TEST(SqlTranslatorFunctions, FunctionsLimitsComparisonsAndComments) {
    expectTranslations({
        {kAll, "SELECT ISNULL(Name, N'') FROM T", "SELECT IFNULL(Name, '') FROM T"},
        {kAll, "SELECT len(Name) FROM T", "SELECT LENGTH(RTRIM(Name)) FROM T"},
        {kAll, "SELECT SUBSTRING(Name, 1, 3) FROM T", "SELECT SUBSTR(Name, 1, 3) FROM T"},
        {kAll, "SELECT UPPER(a), LOWER(b) FROM T WHERE a LIKE N'U[_]%'",
         "SELECT UPPER(a), LOWER(b) FROM T WHERE a LIKE 'U[_]%'"},
        {"6", "SELECT ISNULL(ISNULL(a, b), LEN(c)) FROM T",
         "SELECT IFNULL(IFNULL(a, b), LENGTH(RTRIM(c))) FROM T"},
        // Names that only contain a function's name stay.
        {"6", "SELECT ConvertX, LENGTH, IsNullFlag FROM T", nullptr},
        // TOP becomes the LIMIT of its own SELECT.
        {"6", "SELECT TOP 1 Code FROM OCRG ORDER BY Code DESC",
         "SELECT Code FROM OCRG ORDER BY Code DESC LIMIT 1"},
        {"6", "select distinct top (5) Code from OCRG", "select distinct Code from OCRG LIMIT (5)"},
        {"6", "SELECT Code FROM T WHERE Code IN (SELECT TOP 3 Code FROM U ORDER BY Code )",
         "SELECT Code FROM T WHERE Code IN (SELECT Code FROM U ORDER BY Code LIMIT 3 )"},
        {"6", "INSERT INTO T (A) SELECT TOP 2 A FROM U;",
         "INSERT INTO T (A) SELECT A FROM U LIMIT 2"},
        {"25", "SELECT Code FROM OCRG ORDER BY Code FETCH FIRST 10 ROWS ONLY",
         "SELECT Code FROM OCRG ORDER BY Code LIMIT 10"},
        {"25", "SELECT Code FROM OCRG fetch first row only", "SELECT Code FROM OCRG LIMIT 1"},
        // Comparisons only MSSQL has, comments, and what ends a statement.
        {"6", "SELECT 1 FROM T WHERE a !< 1 AND b !> 2", "SELECT 1 FROM T WHERE a >= 1 AND b <= 2"},
        {"6", "SELECT a -- the code\nFROM T /* all */ WHERE b = 1",
         "SELECT a  \nFROM T   WHERE b = 1"},
        {"6", "SELECT 5-/**/-3", "SELECT 5- -3"},
        {"6", "SELECT 1 ;  ", "SELECT 1"},
        {"6", "DELETE FROM [@MRVSETT];\n-- done\n/* really */", "DELETE FROM \"@MRVSETT\""},
    });
}

// ---------------------------------------------------------------- refusals

TEST(SqlTranslatorRefusals, WhatCannotBeTranslatedIsRefusedSayingWhyAndWhere) {
    expectRefusals({
        {6, "SELECT 'abc FROM T", "unterminated string", 8},
        {6, "SELECT N'abc''", "unterminated string", 8},
        {6, "SELECT \"abc FROM T", "unterminated quoted identifier", 8},
        {6, "SELECT [abc]] FROM T", "unterminated bracketed identifier", 8},
        {6, "SELECT 1 /* open", "unterminated comment", 10},
        {6, "SELECT 1; SELECT 2", "more than one statement", 11},
        {6, "SELECT 1; -- fine\n DELETE FROM T", "more than one statement", 20},
        {6, "SELECT (1; 2)", "';' inside parentheses", 10},
        {6, "SELECT (1 + 2", "unclosed '('", 8},
        {6, "SELECT 1 + 2)", "unbalanced ')'", 13},
        {6, "SELECT ? FROM T", "unexpected character '?'", 8},
        {6, "SELECT :a FROM T", "unexpected character ':'", 8},
        {6, "SELECT `a` FROM T", "unexpected character '`'", 8},
        {6, "SELECT @@VERSION", "server variable", 8},
        {6, "SELECT @ FROM T", "'@' without a name", 8},
        {6, "SELECT CONVERT(geography, x) FROM T", "CONVERT to geography", 15},
        {6, "SELECT 1 FROM master.dbo.sysdatabases", "master", 0},
        // Invalid date literals.
        {6, "SELECT CONVERT(datetime,'20240230',112)", "at position", 0},
        {6, "SELECT CONVERT(datetime,'2024-01-31',112)", "at position", 0},
        {6, "SELECT CONVERT(datetime,'2024131',112)", "at position", 0},
        {6, "SELECT TIMESTAMP_ISO('2024-13-01')", "at position", 0},
        {6, "SELECT TIMESTAMP_ISO('x')", "at position", 0},
        {6, "SELECT CONVERT(datetime,'20240131',103)", "at position", 0},
        // Forms of functions the translator does not take.
        {6, "SELECT GETDATE(1)", nullptr, 0},
        {6, "SELECT DATEADD(millisecond, 1, D) FROM T", nullptr, 0},
        {6, "SELECT DATEADD('day', 1, D) FROM T", nullptr, 0},
        {6, "SELECT DATEADD(day, 1) FROM T", nullptr, 0},
        {6, "SELECT DATEADD(day, , D) FROM T", nullptr, 0},
        {6, "SELECT DATEADD(day, 1, '2024')", nullptr, 0},
        {6, "SELECT ISNULL(a) FROM T", nullptr, 0},
        {6, "SELECT LEN(a, b) FROM T", nullptr, 0},
        {2, "SELECT Code FROM OCRG FETCH FIRST 10", nullptr, 0},
        {6, "SELECT TOP 10 PERCENT a FROM T", "TOP", 0},
        {6, "SELECT TOP 1 WITH TIES a FROM T", "TOP", 0},
        {6, "SELECT TOP 1 a FROM T UNION SELECT b FROM U", "TOP", 0},
        {6, "SELECT TOP a FROM T", "TOP", 0},
        {6, "DELETE TOP (1) FROM T", "TOP", 0},
    });
    // Texts with a NUL in them, which a C string cannot hold.
    EXPECT_FALSE(run(6, u"SELECT 1"_s + QChar(0)).ok);
    const Outcome inLiteral = run(6, u"SELECT 'a"_s + QChar(0) + u"b'"_s);
    EXPECT_FALSE(inLiteral.ok);
    EXPECT_EQ(inLiteral.error, u"NUL character at position 10");
    EXPECT_FALSE(run(6, u"SELECT 1 -- "_s + QChar(0)).ok);
    for (const char* empty : {"", "   ", ";", "-- nothing", "/* */ ;"}) {
        const Outcome o = run(6, QString::fromUtf8(empty));
        EXPECT_FALSE(o.ok) << '"' << empty << '"';
        EXPECT_EQ(o.error, u"empty statement");
    }
}

// ---------------------------------------------------------------- the program's statements

// The SQL texts the program sends, with sample values for %s and %d, in the
// shapes the cases above do not already have: the program's other
// statements differ from those only in names and values.
TEST(SqlTranslatorProgram, EveryStatementOfTheProgramTranslates) {
    expectTranslations({
        // Localization and settings.
        {"5", "SELECT \"LawsSet\"DG1 FROM CINF", "SELECT \"LawsSet\" DG1 FROM CINF"},
        {"2",
         "INSERT INTO @MRVSETT (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, "
         "U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 1, 0, N'N', N'Y', "
         "N'\\\\srv\\LL_SHR\\Mirrova\\Company configuration files', N'C:\\Users\\O''Brien', N'')",
         "INSERT INTO \"@MRVSETT\" (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, "
         "U_CFFolder, U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 1, 0, 'N', 'Y', "
         "'\\\\srv\\LL_SHR\\Mirrova\\Company configuration files', 'C:\\Users\\O''Brien', '')"},
        // Statement builder output ends with a blank.
        {"5", "SELECT \"Code\" FROM OCRG WHERE \"GroupType\" = 'C' ",
         "SELECT \"Code\" FROM OCRG WHERE \"GroupType\" = 'C'"},
        // The backup check reads the clock and the msdb schema.
        {"1346",
         "SELECT 1 AS Expr1 FROM msdb.dbo.backupset WHERE (database_name = 'Target O''Co') AND "
         "(GETDATE() <= DATEADD(minute, 60, (SELECT     MAX(backup_finish_date) FROM "
         "msdb..backupset WHERE database_name = 'Target O''Co')))",
         "SELECT 1 AS Expr1 FROM msdb.backupset WHERE (database_name = 'Target O''Co') AND "
         "('2024-05-06 14:30:15' <= datetime((SELECT     MAX(backup_finish_date) FROM "
         "msdb.backupset WHERE database_name = 'Target O''Co'), '+60 minutes'))"},
    });
    // The category managers' statements pass unchanged.
    for (const char* same : {
             "SELECT AcctCode FROM OACT WHERE Postable = 'N' AND Levels <> 1 ORDER BY Levels, "
             "FatherNum, GrpLine",
             "SELECT ALT1.* FROM ALT1 LEFT JOIN OALT ON OALT.Code = ALT1.Code WHERE OALT.Type = "
             "'U'",
             "UPDATE OJDT SET TransType = '30' WHERE TransId >= 120",
             "SELECT TableID, FieldID FROM CUFD WHERE TableID <> '@MRVNOTE' AND TableID NOT LIKE "
             "'A%'",
             "SELECT IndexID, FieldID, FormID FROM CSHS WHERE ItemID NOT LIKE 'U_%'",
             "SELECT QName, QString FROM OUQR WHERE IntrnalKey = 9 AND (QCategory <> -2 OR "
             "QCategory IS NULL)",
             "SELECT DocCode FROM RDOC WHERE (Author <> 'System'  AND (TypeCode LIKE 'USRT%')) OR "
             "TypeCode LIKE 'USRP%'",
             "INSERT INTO OACT (AcctCode, AcctName) VALUES ('MVTRANSACCT', 'Mirrova transport "
             "account')",
             "SELECT BankCode, DfltAcct FROM ODSC WHERE DfltAcct IS NOT NULL",
             "SELECT CPRF.FormID, CPRF.UserSign, OUSR.USER_CODE, OUSR.U_NAME, CPRF.FormID FROM "
             "CPRF INNER JOIN OUSR ON CPRF.UserSign = OUSR.INTERNAL_K GROUP BY CPRF.FormID, "
             "CPRF.UserSign, OUSR.USER_CODE, OUSR.U_NAME",
             "SELECT CPRF.FormID FROM CPRF WHERE UserSign=4 GROUP BY CPRF.FormID ORDER BY "
             "CPRF.FormID",
         })
        EXPECT_EQ(tr(6, QString::fromUtf8(same)), QString::fromUtf8(same)) << same;
}
