// The dialect translator, statement by statement: SQL Server text in, SQLite and PostgreSQL out.
#include "host/data/sql_dialect.h"
#include "host/data/sql_literal.h"
#include "tests/runtime/test_helpers.h"

#include <gtest/gtest.h>

namespace {

using host::Dialect;

// The loader's INSERT, with its CR LF line breaks.
QString insertShape(const char* table, const QString& values) {
    return u"INSERT INTO %1\r\n(\r\nLI10_DITTA_CG18,LI10_CODART_MG66,LI10_DATAINIZIOVAL,"
           "LI10_DATAFINEVAL,LI10_PREZZO,LI10_DATASTLIS,LI10_NOTE,PREZZO_NETTO\r\n)\r\n VALUES "
           "\r\n(\r\n%2\r\n)\r\n"_qs.arg(QLatin1String(table), values);
}

const struct {
    const char* name;
    QString input;
    QString sqlite = {}, postgres = {}; // empty: sqlite as the input, postgres as sqlite
} translationCases[] = {
    {"drop if exists of a working table",
     u"IF NOT OBJECT_ID('tempdb..##LISVEN_0A1B') IS NULL DROP TABLE ##LISVEN_0A1B"_qs,
     u"DROP TABLE IF EXISTS tmp_LISVEN_0A1B"_qs},
    {"working table create: brackets, types, defaults, trailing comma",
     u"CREATE TABLE ##LISVEN_AB    (     [LI10_DITTA_CG18] [decimal](5, 0) NULL,     "
     "[LI10_CODART_MG66] [char](25) NULL,     [LI10_DATAFINEVAL] [datetime] NULL,     "
     "[LI10_PREZZO] [decimal](17, 6) NULL,     [LI10_INDUM] [decimal](2, 0) NULL DEFAULT (1),"
     "     [LI10_NOTE] [varchar](40) NULL,     [LI10_FLGDACONF] [tinyint] NULL DEFAULT ((0)), )"_qs,
     u"CREATE TEMP TABLE tmp_LISVEN_AB (LI10_DITTA_CG18 decimal(5,0) NULL, LI10_CODART_MG66 "
     "char(25) COLLATE RTRIM NULL, LI10_DATAFINEVAL datetime NULL, LI10_PREZZO DECTEXT(17,6) NULL "
     "CHECK (length(ltrim(replace(substr(CAST(LI10_PREZZO AS TEXT), 1, instr(CAST(LI10_PREZZO AS "
     "TEXT) || '.', '.') - 1), '-', ''), '0')) <= 11), "
     "LI10_INDUM decimal(2,0) NULL DEFAULT (1), LI10_NOTE varchar(40) COLLATE RTRIM NULL, "
     "LI10_FLGDACONF smallint NULL DEFAULT ((0)))"_qs,
     u"CREATE TEMP TABLE tmp_LISVEN_AB (LI10_DITTA_CG18 numeric(5,0) NULL, LI10_CODART_MG66 "
     "char(25) NULL, LI10_DATAFINEVAL timestamp NULL, LI10_PREZZO numeric(17,6) NULL, LI10_INDUM "
     "numeric(2,0) NULL DEFAULT (1), LI10_NOTE varchar(40) NULL, LI10_FLGDACONF smallint NULL "
     "DEFAULT ((0)))"_qs},
    {"permanent table with a clustered primary key",
     u"CREATE TABLE [dbo].[T] ([A] [decimal](3, 0) NOT NULL, [B] [nvarchar](max) NULL, "
     "CONSTRAINT [PK_T] PRIMARY KEY CLUSTERED ([A]))"_qs,
     u"CREATE TABLE T (A decimal(3,0) NOT NULL, B text COLLATE RTRIM NULL, CONSTRAINT PK_T "
     "PRIMARY KEY (A))"_qs,
     u"CREATE TABLE T (A numeric(3,0) NOT NULL, B text NULL, CONSTRAINT PK_T PRIMARY KEY "
     "(A))"_qs},
    {"loader insert: CR LF, empty and compact dates, NULLs, decimals",
     insertShape("##LISVEN_AB",
                 u"1, 'ART''1', '20240301', '', 12345678901.123456,  NULL ,  NULL , 0.500"_qs),
     insertShape("tmp_LISVEN_AB", u"1, 'ART''1', '2024-03-01 00:00:00', '1900-01-01 00:00:00', "
                                  "'12345678901.123456',  NULL ,  NULL , '0.5'"_qs),
     insertShape("tmp_LISVEN_AB", u"1, 'ART''1', '2024-03-01 00:00:00', '1900-01-01 00:00:00', "
                                  "12345678901.123456,  NULL ,  NULL , 0.500"_qs)},
    {"saver update: date columns in SET and WHERE, with and without blank after the equals "
     "sign; a date given with dashes gets its time of day",
     u" UPDATE LI10_LISTARTIC SET LI10_INDTIPOLIS = 0, LI10_PREZZO = 12.5, LI10_DATACREAZ = "
     "'20240301', LI10_LASTCHANGE = '' WHERE  LI10_CODART_MG66 ='X' AND LI10_DATAINIZIOVAL ="
     "'20240101' AND LI10_DATAFINEVAL >= '2024-03-01'"_qs,
     u" UPDATE LI10_LISTARTIC SET LI10_INDTIPOLIS = 0, LI10_PREZZO = '12.5', LI10_DATACREAZ = "
     "'2024-03-01 00:00:00', LI10_LASTCHANGE = '1900-01-01 00:00:00' WHERE  LI10_CODART_MG66 "
     "='X' AND LI10_DATAINIZIOVAL ='2024-01-01 00:00:00' AND LI10_DATAFINEVAL >= '2024-03-01 "
     "00:00:00'"_qs,
     u" UPDATE LI10_LISTARTIC SET LI10_INDTIPOLIS = 0, LI10_PREZZO = 12.5, LI10_DATACREAZ = "
     "'2024-03-01 00:00:00', LI10_LASTCHANGE = '1900-01-01 00:00:00' WHERE  LI10_CODART_MG66 "
     "='X' AND LI10_DATAINIZIOVAL ='2024-01-01 00:00:00' AND LI10_DATAFINEVAL >= '2024-03-01 "
     "00:00:00'"_qs},
    {"nothing inside a text literal is rewritten",
     u"SELECT * FROM T WHERE NOTE = '##X 1.5 [a] LI10_DATAINIZIOVAL = ''20240101'' ISNULL('"_qs},
    {"negative decimals keep their sign inside the quotes; subtraction stays; an integer too "
     "long for 64 bits is exact text too",
     u"UPDATE T SET A = -1.50, B = 3 - 1.5, C = -2, E = 12345678901234567890, F = "
     "123456789012345678 WHERE D = 2"_qs,
     u"UPDATE T SET A = '-1.5', B = 3 - '1.5', C = -2, E = '12345678901234567890', F = "
     "123456789012345678 WHERE D = 2"_qs,
     u"UPDATE T SET A = -1.50, B = 3 - 1.5, C = -2, E = 12345678901234567890, F = "
     "123456789012345678 WHERE D = 2"_qs},
    {"functions of SQL Server", u"SELECT ISNULL(A, 0) FROM T WHERE D < GETDATE()"_qs,
     u"SELECT COALESCE(A, 0) FROM T WHERE D < CURRENT_TIMESTAMP"_qs},
};

// SQL Server receives the program's text unchanged.
TEST(Translation, SqliteAndPostgres) {
    host::DialectCatalog catalog;
    catalog.dateColumns = {u"LI10_DATAINIZIOVAL"_qs, u"LI10_DATAFINEVAL"_qs, u"LI10_DATACREAZ"_qs,
                           u"LI10_DATAULTAGG"_qs, u"LI10_LASTCHANGE"_qs};
    for (const auto& c : translationCases) {
        SCOPED_TRACE(c.name);
        const QString sqlite = c.sqlite.isEmpty() ? c.input : c.sqlite;
        EXPECT_EQ(host::translateSql(c.input, Dialect::SQLite, catalog), sqlite);
        EXPECT_EQ(host::translateSql(c.input, Dialect::PostgreSQL, catalog),
                  c.postgres.isEmpty() ? sqlite : c.postgres);
        EXPECT_EQ(host::translateSql(c.input, Dialect::SqlServer, catalog), c.input);
    }
}

TEST(DateColumnsOfCreateTable, FindsDateTypesOnly) {
    const std::pair<QString, QSet<QString>> cases[] = {
        {u"CREATE TABLE ##W ([A] [datetime] NULL, [B] [decimal](5, 0), [c] smalldatetime, )"_qs,
         {u"A"_qs, u"C"_qs}},
        {u"CREATE TABLE T (D date NOT NULL, CONSTRAINT PK PRIMARY KEY (D))"_qs, {u"D"_qs}},
        {u"SELECT [A] [datetime] FROM T"_qs, {}},
        {u"INSERT INTO T (A) VALUES ('datetime')"_qs, {}},
    };
    for (const auto& [statement, expected] : cases)
        EXPECT_EQ(host::dateColumnsOfCreateTable(statement), expected) << statement.toStdString();
}

TEST(SqlLiteral, DoublesEveryQuote) {
    const std::pair<QString, QString> cases[] = {
        {u""_qs, u"''"_qs},
        {u"''"_qs, u"''''''"_qs},
        {u"a'; DROP TABLE T; --"_qs, u"'a''; DROP TABLE T; --'"_qs},
    };
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(host::quotedSqlText(text), quoted);
        EXPECT_EQ(u'\'' + host::escapeSqlText(text) + u'\'', quoted);
    }
}

// The rows a recordset writes back are named by each server's row identity; SQL Server has
// no RETURNING, so it reads the new row's place itself.
TEST(RowIdentity, StatementsOfEachServer) {
    const QStringList columns{u"A"_qs, u"B"_qs};
    const struct {
        Dialect dialect;
        QString select, update, insert;
    } cases[] = {
        {Dialect::SQLite, u"SELECT rowid AS ID, * FROM T WHERE A = 1"_qs,
         u"UPDATE T SET A = ?, B = ? WHERE rowid = ?"_qs,
         u"INSERT INTO T (A, B) VALUES (?, ?) RETURNING rowid"_qs},
        {Dialect::PostgreSQL, u"SELECT ctid AS ID, * FROM T WHERE A = 1"_qs,
         u"UPDATE T SET A = ?, B = ? WHERE ctid = ? RETURNING ctid"_qs,
         u"INSERT INTO T (A, B) VALUES (?, ?) RETURNING ctid"_qs},
        {Dialect::SqlServer, u"SELECT %%physloc%% AS ID, * FROM T WHERE A = 1"_qs,
         u"UPDATE T SET A = ?, B = ? WHERE %%physloc%% = ?"_qs,
         u"INSERT INTO T (A, B) VALUES (?, ?)"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.dialect));
        EXPECT_EQ(
            host::selectWithRowIdentity(u" select * FROM T WHERE A = 1"_qs, u"ID"_qs, c.dialect),
            c.select);
        EXPECT_EQ(host::updateRowStatement(u"T"_qs, columns, c.dialect), c.update);
        EXPECT_EQ(host::insertRowStatement(u"T"_qs, columns, c.dialect), c.insert);
    }
    EXPECT_EQ(host::allRowIdentities(u"T"_qs, Dialect::SqlServer), u"SELECT %%physloc%% FROM T"_qs);
}

} // namespace
