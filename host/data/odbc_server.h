#pragma once
// The database server behind an ODBC connection, as the ODBC driver names it (SQL_DBMS_NAME):
// the connection translates its statements into that server's dialect.

#include "host/data/sql_dialect.h"

#include <QSqlDatabase>
#include <QString>

namespace host {

// "PostgreSQL", "Microsoft SQL Server", ...; empty when the driver does not tell.
QString odbcServerName(const QSqlDatabase& odbcDatabase);
// PostgreSQL for a PostgreSQL server; SQL Server for any other (the program's own dialect).
Dialect dialectOfOdbcServer(const QString& serverName);

} // namespace host
