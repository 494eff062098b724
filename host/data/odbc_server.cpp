#include "host/data/odbc_server.h"

#include <QSqlDriver>
#include <QVariant>
#include <sql.h>
#include <sqlext.h>

namespace host {

QString odbcServerName(const QSqlDatabase& odbcDatabase) {
    const QVariant handle = odbcDatabase.driver() ? odbcDatabase.driver()->handle() : QVariant();
    // The Qt ODBC driver hands out its connection handle (SQLHDBC) as the QVariant's data.
    if (!handle.isValid() || handle.metaType().sizeOf() != int(sizeof(SQLHANDLE)))
        return {};
    const auto connection = *static_cast<const SQLHANDLE*>(handle.data());
    SQLCHAR name[128] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length);
    if (!SQL_SUCCEEDED(rc))
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(name)).trimmed();
}

Dialect dialectOfOdbcServer(const QString& serverName) {
    return serverName.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0
               ? Dialect::PostgreSQL
               : Dialect::SqlServer;
}

} // namespace host
