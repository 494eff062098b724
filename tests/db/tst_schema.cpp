// The generated schema files against the translated SQL Server source, and the script splitter.
#include "db/schema.h"
#include "host/data/sql_dialect.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(GeneratedSchemaFiles, EqualTheTranslationOfTheSqlServerSchema) {
    for (host::Dialect dialect : {host::Dialect::SQLite, host::Dialect::PostgreSQL}) {
        const QString fileName = demo::schemaFileName(dialect);
        QFile committed(QStringLiteral(PREZZOLAMPO_SOURCE_DIR "/db/") + fileName);
        ASSERT_TRUE(committed.open(QIODevice::ReadOnly | QIODevice::Text))
            << fileName.toStdString();
        EXPECT_EQ(committed.readAll().toStdString(), demo::schemaScript(dialect).toStdString())
            << "regenerate with: prezzolampo-demo --print-schema ... > db/"
            << fileName.toStdString();
    }
}

TEST(SchemaSource, DateColumnsAreKnownToTheTranslator) {
    EXPECT_EQ(demo::schemaCatalog().dateColumns,
              (QSet<QString>{"LI10_DATAINIZIOVAL", "LI10_DATAFINEVAL", "LI10_DATACREAZ",
                             "LI10_DATAULTAGG", "LI10_DATASTLIS", "LI10_LASTCHANGE",
                             "MG44_PROPDATAINI", "MG44_PROPDATAFINE"}));
}

TEST(SplitSqlStatements, ReadsScriptsAsWritten) {
    const struct {
        const char *name, *script;
        QStringList expected;
    } cases[] = {
        {"only comments", "-- one\n  -- two\n", {}},
        {"no final semicolon", "SELECT 1;\nSELECT 2\n", {u"SELECT 1"_qs, u"SELECT 2"_qs}},
        {"comment lines dropped inside",
         "-- head\nCREATE TABLE T (\n    -- the key\n    A int\n);\n\n-- next\nSELECT 1;",
         {u"CREATE TABLE T (\n    A int\n)"_qs, u"SELECT 1"_qs}},
        {"semicolon inside a line does not split", "SELECT ';' AS X;\n", {u"SELECT ';' AS X"_qs}},
        {"blank statements skipped", ";\n  ;\nSELECT 1;", {u"SELECT 1"_qs}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(demo::splitSqlStatements(QString::fromUtf8(c.script)), c.expected) << c.name;
}

// The layout only adds line breaks: undoing them gives the translator's statement back.
TEST(LayoutCreateTable, OnlyBreaksLinesBetweenColumns) {
    const host::DialectCatalog catalog = demo::schemaCatalog();
    for (host::Dialect dialect : {host::Dialect::SQLite, host::Dialect::PostgreSQL}) {
        for (const QString& statement : demo::schemaStatements()) {
            const QString translated = host::translateSql(statement, dialect, catalog);
            QString undone = demo::layoutCreateTable(translated);
            SCOPED_TRACE(undone.toStdString());
            undone.replace(u"(\n    "_qs, u"("_qs)
                .replace(u",\n    "_qs, u", "_qs)
                .replace(u"\n)"_qs, u")"_qs);
            EXPECT_EQ(undone, translated);
        }
    }
}

TEST(DialectFromName, AcceptsTheThreeNamesOnly) {
    EXPECT_EQ(demo::dialectFromName(u"sqlite"_qs), host::Dialect::SQLite);
    EXPECT_EQ(demo::dialectFromName(u" PostgreSQL "_qs), host::Dialect::PostgreSQL);
    EXPECT_EQ(demo::dialectFromName(u"SQLSERVER"_qs), host::Dialect::SqlServer);
    EXPECT_FALSE(demo::dialectFromName(u"mysql"_qs).has_value());
}

} // namespace
