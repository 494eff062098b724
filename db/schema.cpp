#include "db/schema.h"

#include <QFile>
#include <QRegularExpression>

namespace demo {

QStringList schemaTableNames() {
    return {QStringLiteral("LI10_LISTARTIC"), QStringLiteral("MG44_PARMAGLIST"),
            QStringLiteral("MG66_ANAGRART"),  QStringLiteral("MG87_DESCART"),
            QStringLiteral("MG5E_OPZIONI"),   QStringLiteral("CG28_TABCODIVA"),
            QStringLiteral("MG02_SCAGLARR"),  QStringLiteral("CG99_MEDIA")};
}

QString sqlServerSchemaText() {
    QFile file(QStringLiteral(":/db/schema.sqlserver.sql"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList splitSqlStatements(const QString& script) {
    QStringList statements;
    QStringList current;
    const QStringList lines = script.split(u'\n');
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("--")) || (trimmed.isEmpty() && current.isEmpty()))
            continue;
        if (trimmed.endsWith(u';')) {
            QString last = line;
            last.truncate(last.lastIndexOf(u';'));
            current << last;
            const QString statement = current.join(u'\n').trimmed();
            if (!statement.isEmpty())
                statements << statement;
            current.clear();
        } else {
            current << line;
        }
    }
    const QString rest = current.join(u'\n').trimmed();
    if (!rest.isEmpty())
        statements << rest;
    return statements;
}

QStringList schemaStatements() {
    return splitSqlStatements(sqlServerSchemaText());
}

host::DialectCatalog schemaCatalog() {
    host::DialectCatalog catalog;
    for (const QString& statement : schemaStatements())
        catalog.dateColumns += host::dateColumnsOfCreateTable(statement);
    return catalog;
}

namespace {

QString dialectName(host::Dialect dialect) {
    switch (dialect) {
    case host::Dialect::SQLite:
        return QStringLiteral("sqlite");
    case host::Dialect::PostgreSQL:
        return QStringLiteral("postgresql");
    case host::Dialect::SqlServer:
        break;
    }
    return QStringLiteral("sqlserver");
}

} // namespace

QString layoutCreateTable(const QString& statement) {
    QString out;
    int depth = 0;
    for (qsizetype i = 0; i < statement.size(); ++i) {
        const QChar c = statement[i];
        if (c == u'(') {
            out += c;
            if (++depth == 1)
                out += QStringLiteral("\n    ");
        } else if (c == u')') {
            if (depth-- == 1)
                out += u'\n';
            out += c;
        } else if (c == u',' && depth == 1 && statement.mid(i, 2) == QStringLiteral(", ")) {
            out += QStringLiteral(",\n    ");
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString schemaScript(host::Dialect dialect) {
    if (dialect == host::Dialect::SqlServer)
        return sqlServerSchemaText();
    const host::DialectCatalog catalog = schemaCatalog();
    QString script = QStringLiteral("-- Generated from schema.sqlserver.sql by "
                                    "\"prezzolampo-demo --print-schema %1\": do not edit.\n\n")
                         .arg(dialectName(dialect));
    for (const QString& statement : schemaStatements())
        script += layoutCreateTable(host::translateSql(statement, dialect, catalog)) +
                  QStringLiteral(";\n\n");
    script.chop(1);
    return script;
}

std::optional<host::Dialect> dialectFromName(const QString& name) {
    const QString lower = name.trimmed().toLower();
    for (host::Dialect d :
         {host::Dialect::SQLite, host::Dialect::PostgreSQL, host::Dialect::SqlServer}) {
        if (lower == dialectName(d))
            return d;
    }
    return std::nullopt;
}

QString schemaFileName(host::Dialect dialect) {
    return QStringLiteral("schema.%1.sql").arg(dialectName(dialect));
}

} // namespace demo
