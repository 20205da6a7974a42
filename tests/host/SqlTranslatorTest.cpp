#include "TestData.h"
#include "host/objects/LLSqlTranslator.h"

#include <gtest/gtest.h>

using LLObjectsCOM::SqlTranslator;

namespace {

const QDateTime kNow(QDate(2024, 5, 6), QTime(14, 30, 15));
const char* const kNowLiteral = "'2024-05-06 14:30:15'";

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
    return o.ok ? o.sql : QStringLiteral("<refused: %1>").arg(o.error);
}

QString tr(int serverType, const char* statement) {
    return tr(serverType, QString::fromUtf8(statement));
}

const int kTypes[] = {2, 5, 6};

} // namespace

// ---------------------------------------------------------------- literals

TEST(SqlTranslatorLiterals, NPrefixIsDroppedAndContentKept) {
    for (int type : kTypes) {
        EXPECT_EQ(tr(type, "SELECT * FROM OCRD WHERE CardName = N'O''Brien'"),
                  u"SELECT * FROM OCRD WHERE CardName = 'O''Brien'");
        EXPECT_EQ(tr(type, "SELECT * FROM OCRD WHERE CardName = n'x'"),
                  u"SELECT * FROM OCRD WHERE CardName = 'x'");
        EXPECT_EQ(tr(type, "INSERT INTO T (A, B) VALUES (N'', N'''')"),
                  u"INSERT INTO T (A, B) VALUES ('', '''')");
    }
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
            EXPECT_EQ(tr(type, QStringLiteral("SELECT A FROM T WHERE B = ") + literal),
                      QStringLiteral("SELECT A FROM T WHERE B = ") + literal)
                << "type " << type << ": " << text;
            EXPECT_EQ(tr(type, QStringLiteral("SELECT A FROM T WHERE B = N") + literal),
                      QStringLiteral("SELECT A FROM T WHERE B = ") + literal)
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
            const QString statement = QStringLiteral("UPDATE OCRD SET CardName = N'") + doubled +
                                      QStringLiteral("' WHERE CardCode = N'") + doubled +
                                      QStringLiteral("'");
            const Outcome o = run(type, statement);
            if (value.contains(QChar(0))) {
                EXPECT_FALSE(o.ok) << "a NUL must be refused";
                EXPECT_TRUE(o.error.contains(QLatin1String("NUL"))) << o.error.toStdString();
                continue;
            }
            ASSERT_TRUE(o.ok) << o.error.toStdString();
            EXPECT_EQ(o.sql, QStringLiteral("UPDATE OCRD SET CardName = '") + doubled +
                                 QStringLiteral("' WHERE CardCode = '") + doubled +
                                 QStringLiteral("'"))
                << "type " << type << ": " << value.toStdString();
        }
    }
}

TEST(SqlTranslatorLiterals, AdjacentLiteralsAreNotFusedIntoOne) {
    // 'a''b' would be one literal in SQLite.
    EXPECT_EQ(tr(6, "SELECT N'a'N'b'"), u"SELECT 'a' 'b'");
    EXPECT_EQ(tr(6, "SELECT 'a'/**/'b'"), u"SELECT 'a' 'b'");
    // X'..' would be a blob.
    EXPECT_EQ(tr(6, "SELECT X'41'"), u"SELECT X '41'");
}

TEST(SqlTranslatorLiterals, TimestampWithFractionIsNormalizedOnlyOnTypeFive) {
    EXPECT_EQ(tr(5, "SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 00:00:00.000000'"),
              u"SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 00:00:00'");
    EXPECT_EQ(tr(5, "SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 23:59:58.123'"),
              u"SELECT * FROM OJDT WHERE \"RefDate\" = '2024-01-31 23:59:58'");
    for (int type : {2, 6})
        EXPECT_EQ(tr(type, "SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00.000000'"),
                  u"SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00.000000'");
    // Only that exact shape.
    const char* const others[] = {"' 2024-01-31 00:00:00.000000'", "'2024-01-31 00:00:00.0000'",
                                  "'2024-01-31 00:00:00.000000 '", "'2024-01-31T00:00:00.000'",
                                  "'2024-01-31 00:00:00'",         "'2024-01-31'"};
    for (const char* other : others) {
        const QString text =
            QStringLiteral("SELECT 1 FROM T WHERE D = ") + QString::fromUtf8(other);
        EXPECT_EQ(tr(5, text), text);
    }
}

// ---------------------------------------------------------------- identifiers

TEST(SqlTranslatorIdentifiers, BracketsBecomeDoubleQuotes) {
    EXPECT_EQ(tr(6, "SELECT [Code], [Group Name] FROM [OCRG]"),
              u"SELECT \"Code\", \"Group Name\" FROM \"OCRG\"");
    EXPECT_EQ(tr(6, "SELECT [a]]b] FROM T"), u"SELECT \"a]b\" FROM T");
    EXPECT_EQ(tr(6, "SELECT [say \"hi\"] FROM T"), u"SELECT \"say \"\"hi\"\"\" FROM T");
    EXPECT_EQ(tr(6, "SELECT [it's] FROM T"), u"SELECT \"it's\" FROM T");
    EXPECT_EQ(tr(6, "SELECT T.[Code] FROM T"), u"SELECT T.\"Code\" FROM T");
}

TEST(SqlTranslatorIdentifiers, UserTablesAreQuotedInEveryForm) {
    for (int type : kTypes) {
        EXPECT_EQ(tr(type, "SELECT Code FROM @MRVSETT"), u"SELECT Code FROM \"@MRVSETT\"");
        EXPECT_EQ(tr(type, "SELECT Code FROM [@MRVSETT]"), u"SELECT Code FROM \"@MRVSETT\"");
        EXPECT_EQ(tr(type, "SELECT [@MRVNOTE].U_ID FROM [@MRVNOTE]"),
                  u"SELECT \"@MRVNOTE\".U_ID FROM \"@MRVNOTE\"");
        EXPECT_EQ(tr(type, "SELECT @X.Code FROM @X"), u"SELECT \"@X\".Code FROM \"@X\"");
    }
    // SQLite has neither character in bare names.
    EXPECT_EQ(tr(6, "SELECT a$b, c#d, e@f FROM T"), u"SELECT a$b, \"c#d\", \"e@f\" FROM T");
}

TEST(SqlTranslatorIdentifiers, NamesThatAreOperatorsInSqliteAreQuoted) {
    EXPECT_EQ(tr(6, "SELECT NotNull, AliasID FROM CUFD WHERE NotNull = 'Y'"),
              u"SELECT \"NotNull\", AliasID FROM CUFD WHERE \"NotNull\" = 'Y'");
    EXPECT_EQ(tr(6, "SELECT IsNull FROM T"), u"SELECT \"IsNull\" FROM T");
    EXPECT_EQ(tr(6, "SELECT ISNULL(a, 0) FROM T"), u"SELECT IFNULL(a, 0) FROM T");
}

TEST(SqlTranslatorIdentifiers, DoubleQuotedNamesStayAndGluedAliasesStaySeparate) {
    EXPECT_EQ(tr(5, "SELECT \"LawsSet\"DG1 FROM CINF"), u"SELECT \"LawsSet\" DG1 FROM CINF");
    EXPECT_EQ(tr(5, "SELECT \"a\"\"b\" FROM \"T\""), u"SELECT \"a\"\"b\" FROM \"T\"");
    EXPECT_EQ(tr(5, "SELECT \"x\"\"\" FROM T WHERE \"U_ID\"=1"),
              u"SELECT \"x\"\"\" FROM T WHERE \"U_ID\"=1");
    EXPECT_EQ(tr(6, "SELECT [a]b FROM T"), u"SELECT \"a\" b FROM T");
}

TEST(SqlTranslatorIdentifiers, MsdbAndDboNames) {
    EXPECT_EQ(tr(6, "SELECT 1 FROM msdb.dbo.backupset"), u"SELECT 1 FROM msdb.backupset");
    EXPECT_EQ(tr(6, "SELECT 1 FROM msdb..backupset"), u"SELECT 1 FROM msdb.backupset");
    EXPECT_EQ(tr(6, "SELECT 1 FROM MSDB.DBO.backupset"), u"SELECT 1 FROM msdb.backupset");
    EXPECT_EQ(tr(6, "SELECT 1 FROM [msdb].[dbo].[backupset]"), u"SELECT 1 FROM msdb.\"backupset\"");
    EXPECT_EQ(tr(6, "SELECT msdb.dbo.backupset.database_name FROM msdb.dbo.backupset"),
              u"SELECT msdb.backupset.database_name FROM msdb.backupset");
    EXPECT_EQ(tr(6, "SELECT dbo.OCRD.CardCode FROM dbo.OCRD"), u"SELECT OCRD.CardCode FROM OCRD");
    EXPECT_EQ(tr(6, "SELECT T.dbo FROM T"), u"SELECT T.dbo FROM T");
    EXPECT_EQ(tr(6, "SELECT 1 FROM msdb.backupset"), u"SELECT 1 FROM msdb.backupset");
    const Outcome other = run(6, "SELECT 1 FROM master.dbo.sysdatabases");
    EXPECT_FALSE(other.ok);
    EXPECT_TRUE(other.error.contains(QLatin1String("master"))) << other.error.toStdString();
}

// ---------------------------------------------------------------- dates and clock

TEST(SqlTranslatorDates, ConvertStyle112LiteralInAnySpelling) {
    const char* const forms[] = {
        "CONVERT(datetime,'20240131',112)", "convert ( DATETIME , '20240131' , 112 )",
        "CONVERT(datetime, N'20240131', 112)", "Convert(smalldatetime,'20240131',112)"};
    for (int type : kTypes)
        for (const char* form : forms)
            EXPECT_EQ(
                tr(type, QStringLiteral("SELECT 1 FROM T WHERE D = ") + QString::fromUtf8(form)),
                u"SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'")
                << form;
    EXPECT_EQ(tr(6, "SELECT CONVERT(date, '2024-01-31 10:11:12')"),
              u"SELECT '2024-01-31 00:00:00'");
    EXPECT_EQ(tr(6, "SELECT CONVERT(datetime, '2024-01-31T10:11:12.345', 126)"),
              u"SELECT '2024-01-31 10:11:12'");
}

TEST(SqlTranslatorDates, ConvertOfAnExpression) {
    EXPECT_EQ(tr(6, "SELECT CONVERT(datetime, DocDate, 112) FROM T"),
              u"SELECT datetime(substr(DocDate, 1, 4) || '-' || substr(DocDate, 5, 2) || '-' || "
              u"substr(DocDate, 7, 2)) FROM T");
    EXPECT_EQ(tr(6, "SELECT CONVERT(datetime, [Doc Date]) FROM T"),
              u"SELECT datetime(\"Doc Date\") FROM T");
    EXPECT_EQ(tr(6, "SELECT CONVERT(date, GETDATE())"),
              u"SELECT datetime('2024-05-06 14:30:15', 'start of day')");
    EXPECT_EQ(tr(6, "SELECT CONVERT(date, D) FROM T"),
              u"SELECT datetime(D, 'start of day') FROM T");
}

TEST(SqlTranslatorDates, ConvertToOtherTypes) {
    EXPECT_EQ(tr(6, "SELECT CONVERT(nvarchar(10), Code) FROM T"),
              u"SELECT SUBSTR(CAST(Code AS TEXT), 1, 10) FROM T");
    EXPECT_EQ(tr(6, "SELECT CONVERT(nvarchar(max), Code) FROM T"),
              u"SELECT CAST(Code AS TEXT) FROM T");
    EXPECT_EQ(tr(6, "SELECT CONVERT(varchar, D, 112) FROM T"),
              u"SELECT strftime('%Y%m%d', D) FROM T");
    EXPECT_EQ(tr(6, "SELECT CONVERT(int, N'42')"), u"SELECT CAST('42' AS INTEGER)");
    EXPECT_EQ(tr(6, "SELECT CONVERT(decimal(19,6), Price) FROM T"),
              u"SELECT CAST(Price AS REAL) FROM T");
}

TEST(SqlTranslatorDates, CastToADateType) {
    EXPECT_EQ(tr(6, "SELECT CAST('20240131' AS datetime)"), u"SELECT '2024-01-31 00:00:00'");
    EXPECT_EQ(tr(6, "SELECT CAST(D AS date) FROM T"), u"SELECT datetime(D, 'start of day') FROM T");
    EXPECT_EQ(tr(6, "SELECT CAST(Code AS nvarchar(20)) FROM T"),
              u"SELECT CAST(Code AS nvarchar(20)) FROM T");
}

TEST(SqlTranslatorDates, TimestampIso) {
    for (int type : kTypes) {
        EXPECT_EQ(tr(type, "SELECT 1 FROM T WHERE D = TIMESTAMP_ISO('2024-01-31')"),
                  u"SELECT 1 FROM T WHERE D = '2024-01-31 00:00:00'");
        EXPECT_EQ(tr(type, "SELECT timestamp_iso( D ) FROM T"), u"SELECT datetime(D) FROM T");
    }
    EXPECT_EQ(tr(2, "SELECT TIMESTAMP_ISO('2024-01-31-10.20.30.000000')"),
              u"SELECT '2024-01-31 10:20:30'");
}

TEST(SqlTranslatorDates, InvalidDateLiteralsAreRefused) {
    for (const char* text :
         {"SELECT CONVERT(datetime,'20240230',112)", "SELECT CONVERT(datetime,'2024-01-31',112)",
          "SELECT CONVERT(datetime,'2024131',112)", "SELECT TIMESTAMP_ISO('2024-13-01')",
          "SELECT TIMESTAMP_ISO('x')", "SELECT CONVERT(datetime,'20240131',103)"}) {
        const Outcome o = run(6, QString::fromUtf8(text));
        EXPECT_FALSE(o.ok) << text << " gave " << o.sql.toStdString();
        EXPECT_TRUE(o.error.contains(QLatin1String("at position"))) << o.error.toStdString();
    }
}

TEST(SqlTranslatorDates, ClockReadsTheInjectedTime) {
    for (int type : kTypes) {
        EXPECT_EQ(tr(type, "SELECT GETDATE()"), QStringLiteral("SELECT %1").arg(kNowLiteral));
        EXPECT_EQ(tr(type, "SELECT getdate ( )"), QStringLiteral("SELECT %1").arg(kNowLiteral));
        EXPECT_EQ(tr(type, "SELECT CURRENT_TIMESTAMP"),
                  QStringLiteral("SELECT %1").arg(kNowLiteral));
        EXPECT_EQ(tr(type, "SELECT 1 FROM T WHERE D < CURRENT TIMESTAMP"),
                  QStringLiteral("SELECT 1 FROM T WHERE D < %1").arg(kNowLiteral));
    }
    // A column of that name is not the function.
    EXPECT_EQ(tr(6, "SELECT GetDateX, T.GETDATE FROM T"), u"SELECT GetDateX, T.GETDATE FROM T");
    EXPECT_FALSE(run(6, "SELECT GETDATE(1)").ok);
}

TEST(SqlTranslatorDates, DefaultClockIsTheLocalTime) {
    SqlTranslator translator(6);
    QString sql, error;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ASSERT_TRUE(translator.translate(QStringLiteral("SELECT GETDATE()"), sql, error));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const QDateTime read =
        QDateTime::fromString(sql.mid(8, 19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ASSERT_TRUE(read.isValid()) << sql.toStdString();
    EXPECT_LE(before.toSecsSinceEpoch() / 1 - 1, read.toSecsSinceEpoch());
    EXPECT_GE(after.toSecsSinceEpoch(), read.toSecsSinceEpoch());
}

TEST(SqlTranslatorDates, DateAddWithLiteralCountOnAnExpression) {
    EXPECT_EQ(tr(6, "SELECT DATEADD(minute, 60, D) FROM T"),
              u"SELECT datetime(D, '+60 minutes') FROM T");
    EXPECT_EQ(tr(6, "SELECT DATEADD(mi, -5, D) FROM T"),
              u"SELECT datetime(D, '-5 minutes') FROM T");
    EXPECT_EQ(tr(6, "SELECT DATEADD(dd, - 2, D) FROM T"), u"SELECT datetime(D, '-2 days') FROM T");
    EXPECT_EQ(tr(6, "SELECT DATEADD(wk, 2, D) FROM T"), u"SELECT datetime(D, '+14 days') FROM T");
    EXPECT_EQ(tr(6, "SELECT DATEADD(hh, 1.9, D) FROM T"), u"SELECT datetime(D, '+1 hours') FROM T");
    EXPECT_EQ(tr(6, "SELECT DATEADD(s, 30, D) FROM T"),
              u"SELECT datetime(D, '+30 seconds') FROM T");
    // Month steps clamp to the month's end like the server.
    EXPECT_EQ(tr(6, "SELECT DATEADD(month, 1, D) FROM T"),
              u"SELECT (CASE WHEN strftime('%d', datetime(D, '+1 months')) = strftime('%d', D) "
              u"THEN datetime(D, '+1 months') ELSE date(datetime(D, '+1 months'), 'start of "
              u"month', '-1 day') || ' ' || time(D) END) FROM T");
}

TEST(SqlTranslatorDates, DateAddWithAnExpressionCount) {
    EXPECT_EQ(tr(6, "SELECT DATEADD(day, Days, D) FROM T"),
              u"SELECT datetime(D, CAST(Days AS INTEGER) || ' days') FROM T");
    EXPECT_EQ(tr(6, "SELECT DATEADD(ww, -N, D) FROM T"),
              u"SELECT datetime(D, (CAST(-N AS INTEGER) * 7) || ' days') FROM T");
}

TEST(SqlTranslatorDates, DateAddOnLiteralDates) {
    struct Case {
        const char* in;
        const char* out;
    } const cases[] = {
        {"SELECT DATEADD(minute, 60, GETDATE())",
         "SELECT datetime('2024-05-06 14:30:15', '+60 minutes')"},
        {"SELECT DATEADD(month, 1, '20240131')", "SELECT '2024-02-29 00:00:00'"},
        {"SELECT DATEADD(yyyy, 1, '2024-02-29 08:00:00')", "SELECT '2025-02-28 08:00:00'"},
        {"SELECT DATEADD(q, -1, '2024-05-31')", "SELECT '2024-02-29 00:00:00'"},
        {"SELECT DATEADD(day, 1, '2024-12-31 23:59:59')", "SELECT '2025-01-01 23:59:59'"},
        {"SELECT DATEADD(hour, 24, '2024-03-31 01:30:00')", "SELECT '2024-04-01 01:30:00'"},
        {"SELECT DATEADD(second, -1, CONVERT(datetime,'20240101',112))",
         "SELECT datetime('2024-01-01 00:00:00', '-1 seconds')"},
        {"SELECT DATEADD(day, 1, DATEADD(month, 1, '2024-01-31'))",
         "SELECT datetime('2024-02-29 00:00:00', '+1 days')"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tr(6, c.in), QString::fromUtf8(c.out)) << c.in;
}

TEST(SqlTranslatorDates, UnsupportedDateAddFormsAreRefused) {
    for (const char* text : {"SELECT DATEADD(millisecond, 1, D) FROM T",
                             "SELECT DATEADD('day', 1, D) FROM T", "SELECT DATEADD(day, 1) FROM T",
                             "SELECT DATEADD(day, , D) FROM T", "SELECT DATEADD(day, 1, '2024')"}) {
        const Outcome o = run(6, QString::fromUtf8(text));
        EXPECT_FALSE(o.ok) << text << " gave " << o.sql.toStdString();
    }
}

// ---------------------------------------------------------------- functions and limits

TEST(SqlTranslatorFunctions, MssqlNamesBecomeSqliteNames) {
    for (int type : kTypes) {
        EXPECT_EQ(tr(type, "SELECT ISNULL(Name, N'') FROM T"), u"SELECT IFNULL(Name, '') FROM T");
        EXPECT_EQ(tr(type, "SELECT len(Name) FROM T"), u"SELECT LENGTH(RTRIM(Name)) FROM T");
        EXPECT_EQ(tr(type, "SELECT SUBSTRING(Name, 1, 3) FROM T"),
                  u"SELECT SUBSTR(Name, 1, 3) FROM T");
        EXPECT_EQ(tr(type, "SELECT UPPER(a), LOWER(b) FROM T WHERE a LIKE N'U[_]%'"),
                  u"SELECT UPPER(a), LOWER(b) FROM T WHERE a LIKE 'U[_]%'");
    }
    EXPECT_EQ(tr(6, "SELECT ISNULL(ISNULL(a, b), LEN(c)) FROM T"),
              u"SELECT IFNULL(IFNULL(a, b), LENGTH(RTRIM(c))) FROM T");
    // Names that only contain a function's name stay.
    EXPECT_EQ(tr(6, "SELECT ConvertX, LENGTH, IsNullFlag FROM T"),
              u"SELECT ConvertX, LENGTH, IsNullFlag FROM T");
    EXPECT_FALSE(run(6, "SELECT ISNULL(a) FROM T").ok);
    EXPECT_FALSE(run(6, "SELECT LEN(a, b) FROM T").ok);
}

TEST(SqlTranslatorFunctions, TopBecomesLimitOfItsOwnSelect) {
    EXPECT_EQ(tr(6, "SELECT TOP 1 Code FROM OCRG ORDER BY Code DESC"),
              u"SELECT Code FROM OCRG ORDER BY Code DESC LIMIT 1");
    EXPECT_EQ(tr(6, "select distinct top (5) Code from OCRG"),
              u"select distinct Code from OCRG LIMIT (5)");
    EXPECT_EQ(tr(6, "SELECT Code FROM T WHERE Code IN (SELECT TOP 3 Code FROM U ORDER BY Code )"),
              u"SELECT Code FROM T WHERE Code IN (SELECT Code FROM U ORDER BY Code LIMIT 3 )");
    EXPECT_EQ(tr(6, "INSERT INTO T (A) SELECT TOP 2 A FROM U;"),
              u"INSERT INTO T (A) SELECT A FROM U LIMIT 2");
    for (const char* text : {"SELECT TOP 10 PERCENT a FROM T", "SELECT TOP 1 WITH TIES a FROM T",
                             "SELECT TOP 1 a FROM T UNION SELECT b FROM U", "SELECT TOP a FROM T",
                             "DELETE TOP (1) FROM T"}) {
        const Outcome o = run(6, QString::fromUtf8(text));
        EXPECT_FALSE(o.ok) << text << " gave " << o.sql.toStdString();
        EXPECT_TRUE(o.error.contains(QLatin1String("TOP"))) << o.error.toStdString();
    }
}

TEST(SqlTranslatorFunctions, FetchFirstBecomesLimit) {
    for (int type : {2, 5}) {
        EXPECT_EQ(tr(type, "SELECT Code FROM OCRG ORDER BY Code FETCH FIRST 10 ROWS ONLY"),
                  u"SELECT Code FROM OCRG ORDER BY Code LIMIT 10");
        EXPECT_EQ(tr(type, "SELECT Code FROM OCRG fetch first row only"),
                  u"SELECT Code FROM OCRG LIMIT 1");
    }
    EXPECT_FALSE(run(2, "SELECT Code FROM OCRG FETCH FIRST 10").ok);
}

TEST(SqlTranslatorFunctions, MssqlOnlyComparisonsAndComments) {
    EXPECT_EQ(tr(6, "SELECT 1 FROM T WHERE a !< 1 AND b !> 2"),
              u"SELECT 1 FROM T WHERE a >= 1 AND b <= 2");
    EXPECT_EQ(tr(6, "SELECT a -- the code\nFROM T /* all */ WHERE b = 1"),
              u"SELECT a  \nFROM T   WHERE b = 1");
    EXPECT_EQ(tr(6, "SELECT 5-/**/-3"), u"SELECT 5- -3");
}

// ---------------------------------------------------------------- refusals

TEST(SqlTranslatorRefusals, BrokenOrSeveralStatementsAreRefusedWithAPosition) {
    struct Case {
        const char* text;
        const char* words; // in the error
        int position;      // 1-based, in the error
    } const cases[] = {
        {"SELECT 'abc FROM T", "unterminated string", 8},
        {"SELECT N'abc''", "unterminated string", 8},
        {"SELECT \"abc FROM T", "unterminated quoted identifier", 8},
        {"SELECT [abc]] FROM T", "unterminated bracketed identifier", 8},
        {"SELECT 1 /* open", "unterminated comment", 10},
        {"SELECT 1; SELECT 2", "more than one statement", 11},
        {"SELECT 1; -- fine\n DELETE FROM T", "more than one statement", 20},
        {"SELECT (1; 2)", "';' inside parentheses", 10},
        {"SELECT (1 + 2", "unclosed '('", 8},
        {"SELECT 1 + 2)", "unbalanced ')'", 13},
        {"SELECT ? FROM T", "unexpected character '?'", 8},
        {"SELECT :a FROM T", "unexpected character ':'", 8},
        {"SELECT `a` FROM T", "unexpected character '`'", 8},
        {"SELECT @@VERSION", "server variable", 8},
        {"SELECT @ FROM T", "'@' without a name", 8},
        {"SELECT CONVERT(geography, x) FROM T", "CONVERT to geography", 15},
    };
    for (const Case& c : cases) {
        const Outcome o = run(6, QString::fromUtf8(c.text));
        EXPECT_FALSE(o.ok) << c.text << " gave " << o.sql.toStdString();
        EXPECT_TRUE(o.error.contains(QLatin1String(c.words)))
            << c.text << ": " << o.error.toStdString();
        EXPECT_TRUE(o.error.endsWith(QStringLiteral("at position %1").arg(c.position)))
            << c.text << ": " << o.error.toStdString();
        EXPECT_TRUE(o.sql.isEmpty());
        EXPECT_FALSE(o.error.contains(QLatin1Char('\n')));
    }
}

TEST(SqlTranslatorRefusals, NulAnywhereAndEmptyStatements) {
    EXPECT_FALSE(run(6, QStringLiteral("SELECT 1") + QChar(0)).ok);
    const Outcome inLiteral = run(6, QStringLiteral("SELECT 'a") + QChar(0) + QStringLiteral("b'"));
    EXPECT_FALSE(inLiteral.ok);
    EXPECT_EQ(inLiteral.error, u"NUL character at position 10");
    EXPECT_FALSE(run(6, QStringLiteral("SELECT 1 -- ") + QChar(0)).ok);
    for (const char* empty : {"", "   ", ";", "-- nothing", "/* */ ;"}) {
        const Outcome o = run(6, QString::fromUtf8(empty));
        EXPECT_FALSE(o.ok) << '"' << empty << '"';
        EXPECT_EQ(o.error, u"empty statement");
    }
}

TEST(SqlTranslatorRefusals, TrailingSemicolonAndBlanksAreDropped) {
    EXPECT_EQ(tr(6, "SELECT 1 ;  "), u"SELECT 1");
    EXPECT_EQ(tr(6, "DELETE FROM [@MRVSETT];\n-- done\n/* really */"), u"DELETE FROM \"@MRVSETT\"");
}

// ---------------------------------------------------------------- the program's statements

TEST(SqlTranslatorProgram, BackupCheckReadsTheClockAndTheMsdbSchema) {
    const QString in = QStringLiteral(
        "SELECT 1 AS Expr1 FROM msdb.dbo.backupset WHERE (database_name = 'Target O''Co') AND "
        "(GETDATE() <= DATEADD(minute, 60, (SELECT     MAX(backup_finish_date) FROM "
        "msdb..backupset WHERE database_name = 'Target O''Co')))");
    const QString out = QStringLiteral(
        "SELECT 1 AS Expr1 FROM msdb.backupset WHERE (database_name = 'Target O''Co') AND "
        "('2024-05-06 14:30:15' <= datetime((SELECT     MAX(backup_finish_date) FROM "
        "msdb.backupset WHERE database_name = 'Target O''Co'), '+60 minutes'))");
    for (int type : {1, 3, 4, 6})
        EXPECT_EQ(tr(type, in), out);
}

namespace {

// The SQL texts the program sends, with sample values for %s and %d, and
// what SQLite gets (nullptr: the same text). One of each shape: the
// program's other statements differ from these only in names and values.
struct ProgramStatement {
    int serverType;
    const char* in;
    const char* out;
};

const ProgramStatement kProgramStatements[] = {
    // Localization, notes and settings.
    {6, "SELECT LawsSet FROM CINF", nullptr},
    {5, "SELECT \"LawsSet\"DG1 FROM CINF", "SELECT \"LawsSet\" DG1 FROM CINF"},
    {2, "SELECT U_String FROM @MRVNOTE WHERE U_ID = 7",
     "SELECT U_String FROM \"@MRVNOTE\" WHERE U_ID = 7"},
    {5, "SELECT \"U_String\" FROM @MRVNOTE WHERE \"U_ID\" = 7",
     "SELECT \"U_String\" FROM \"@MRVNOTE\" WHERE \"U_ID\" = 7"},
    {6, "DELETE FROM [@MRVNOTE] WHERE U_ID = 7", "DELETE FROM \"@MRVNOTE\" WHERE U_ID = 7"},
    {2,
     "INSERT INTO @MRVSETT (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, "
     "U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 1, 0, N'N', N'Y', "
     "N'\\\\srv\\LL_SHR\\Mirrova\\Company configuration files', N'C:\\Users\\O''Brien', N'')",
     "INSERT INTO \"@MRVSETT\" (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, "
     "U_CFFolder, U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 1, 0, 'N', 'Y', "
     "'\\\\srv\\LL_SHR\\Mirrova\\Company configuration files', 'C:\\Users\\O''Brien', '')"},
    {5,
     "INSERT INTO @MRVSETT (\"Code\", \"Name\", \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", "
     "\"U_FBACKUP\", \"U_CFFolder\", \"U_WSFolder\", \"U_LFFolder\")    VALUES ('00000000', "
     "'00000000', 4, 2, 'Y', 'N', '/srv/a', '/srv/b', '/srv/c')",
     "INSERT INTO \"@MRVSETT\" (\"Code\", \"Name\", \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", "
     "\"U_FBACKUP\", \"U_CFFolder\", \"U_WSFolder\", \"U_LFFolder\")    VALUES ('00000000', "
     "'00000000', 4, 2, 'Y', 'N', '/srv/a', '/srv/b', '/srv/c')"},
    {6, "UPDATE [@MRVSETT] SET U_FBACKUP = 'Y'", "UPDATE \"@MRVSETT\" SET U_FBACKUP = 'Y'"},
    // Record engine: target keys, key counters, user-defined fields.
    {6, "SELECT Code FROM OALT WHERE Name = N'Stock ''low'''",
     "SELECT Code FROM OALT WHERE Name = 'Stock ''low'''"},
    {5, "SELECT \"Code\" FROM OALT WHERE \"Name\" = 'Stock ''low'''", nullptr},
    {5, "SELECT MAX(\"AbsEntry\") FROM OPYB", nullptr},
    {6, "UPDATE ONNM SET AutoKey = 12 WHERE ObjectCode = '43'", nullptr},
    {5, "SELECT \"FieldID\" FROM CUFD WHERE \"AliasID\" = 'Color' AND \"TableID\" = '@MRVX'",
     nullptr},
    // Statement builder output.
    {6, "SELECT * FROM OCRG WHERE GroupCode = N'a' OR GroupCode = N'b' AND GroupType = N'C'",
     "SELECT * FROM OCRG WHERE GroupCode = 'a' OR GroupCode = 'b' AND GroupType = 'C'"},
    {6, "DELETE  FROM [@MRVNOTE] WHERE Code = N'O''Brien'",
     "DELETE  FROM \"@MRVNOTE\" WHERE Code = 'O''Brien'"},
    {6,
     "INSERT INTO OJDT (Memo, RefDate, DueDate, Ref1) VALUES (N'm', "
     "CONVERT(datetime,'20240131',112), NULL, NULL)",
     "INSERT INTO OJDT (Memo, RefDate, DueDate, Ref1) VALUES ('m', '2024-01-31 00:00:00', NULL, "
     "NULL)"},
    {2, "UPDATE OJDT SET Memo = N'm' , RefDate = TIMESTAMP_ISO('2024-01-31') WHERE TransId = 5",
     "UPDATE OJDT SET Memo = 'm' , RefDate = '2024-01-31 00:00:00' WHERE TransId = 5"},
    {5,
     "UPDATE OJDT SET \"Memo\" = 'm' , \"RefDate\" = '2024-01-31 00:00:00.000000' WHERE "
     "\"TransId\" = 5",
     "UPDATE OJDT SET \"Memo\" = 'm' , \"RefDate\" = '2024-01-31 00:00:00' WHERE \"TransId\" = 5"},
    {5, "SELECT \"Code\" FROM OCRG WHERE \"GroupType\" = 'C' ",
     "SELECT \"Code\" FROM OCRG WHERE \"GroupType\" = 'C'"},
    {6, "SELECT Code, Name FROM OCRG WHERE (GroupCode = N'1') OR (GroupCode = N'2')",
     "SELECT Code, Name FROM OCRG WHERE (GroupCode = '1') OR (GroupCode = '2')"},
    {6, "SELECT * FROM OJDT WHERE RefDate IS NULL", nullptr},
    // Category managers.
    {6, "SELECT GroupCode, GroupCode, GroupName FROM OCRG WHERE GroupType = 'C'", nullptr},
    {6,
     "SELECT AcctCode FROM OACT WHERE Postable = 'N' AND Levels <> 1 ORDER BY Levels, FatherNum, "
     "GrpLine",
     nullptr},
    {6, "SELECT AbsId FROM OUPT ORDER BY Levels DESC", nullptr},
    {6,
     "SELECT ObjectCode, Series FROM NNM1 WHERE ObjectCode <> '132' AND ObjectCode <> '68' AND "
     "Indicator = 'Default'",
     nullptr},
    {6, "SELECT ALT1.* FROM ALT1 LEFT JOIN OALT ON OALT.Code = ALT1.Code WHERE OALT.Type = 'U'",
     nullptr},
    {6, "SELECT GroupNum FROM OCTG WHERE GroupNum >= 0", nullptr},
    {6, "DELETE FROM AITB", nullptr},
    {6, "SELECT TransId FROM OJDT WHERE TransType = '-2'", nullptr},
    {6, "UPDATE OJDT SET TransType = '30' WHERE TransId >= 120", nullptr},
    {6, "SELECT IntrnalKey, QCategory FROM OUQR WHERE QCategory <> -2", nullptr},
    {6,
     "SELECT TableName FROM OUTB WHERE TableName <> 'MRVNOTE' AND TableName <> 'TSEXTDBVERSION' "
     "AND TableName NOT LIKE 'ABC%'",
     nullptr},
    {6, "SELECT TableID, FieldID FROM CUFD WHERE TableID <> '@MRVNOTE' AND TableID NOT LIKE 'A%'",
     nullptr},
    {6, "SELECT IndexID, FieldID, FormID FROM CSHS WHERE ItemID NOT LIKE 'U_%'", nullptr},
    {6, "SELECT IndexID FROM CSHS WHERE ItemID LIKE 'U_%'", nullptr},
    {6,
     "SELECT QName, QString FROM OUQR WHERE IntrnalKey = 9 AND (QCategory <> -2 OR QCategory IS "
     "NULL)",
     nullptr},
    {6, "SELECT Code, Name FROM OUDO WHERE Code = N'MRV_OBJ'",
     "SELECT Code, Name FROM OUDO WHERE Code = 'MRV_OBJ'"},
    {6, "SELECT DocCode FROM RDOC WHERE (Author <> 'System' AND  (TypeCode NOT LIKE 'USR%'))",
     nullptr},
    {6,
     "SELECT DocCode FROM RDOC WHERE (Author <> 'System'  AND (TypeCode LIKE 'USRT%')) OR "
     "TypeCode LIKE 'USRP%'",
     nullptr},
    {6, "SELECT DocCode FROM RDOC WHERE (DocName = N'Invoice ''A''' AND TypeCode = 'INV1')",
     "SELECT DocCode FROM RDOC WHERE (DocName = 'Invoice ''A''' AND TypeCode = 'INV1')"},
    {6, "INSERT INTO OACT (AcctCode, AcctName) VALUES ('MVTRANSACCT', 'Mirrova transport account')",
     nullptr},
    {6, "SELECT BankCode, DfltAcct FROM ODSC WHERE DfltAcct IS NOT NULL", nullptr},
    {5, "SELECT \"Name\" FROM OUBR WHERE \"Code\" = 3", nullptr},
    {6,
     "SELECT CPRF.FormID, CPRF.UserSign, OUSR.USER_CODE, OUSR.U_NAME, CPRF.FormID FROM CPRF INNER "
     "JOIN OUSR ON CPRF.UserSign = OUSR.INTERNAL_K GROUP BY CPRF.FormID, CPRF.UserSign, "
     "OUSR.USER_CODE, OUSR.U_NAME",
     nullptr},
    {6, "SELECT CPRF.FormID FROM CPRF WHERE UserSign=4 GROUP BY CPRF.FormID ORDER BY CPRF.FormID",
     nullptr},
    {6, "SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = 'manager'", nullptr},
};

} // namespace

TEST(SqlTranslatorProgram, EveryStatementOfTheProgramTranslates) {
    for (const ProgramStatement& s : kProgramStatements) {
        const QString in = QString::fromUtf8(s.in);
        EXPECT_EQ(tr(s.serverType, in), s.out ? QString::fromUtf8(s.out) : in)
            << "type " << s.serverType << ": " << s.in;
    }
}
