// Working tables: CreateTabTemp.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/data/connection.h"
#include "storage/statements.h"

void FRMMG_PREZZOLAMPO::CreateTabTemp(const QString& tableName) {
    Procedure p(*this, QStringLiteral("CreateTabTemp"));
    // The drop removes a table only when a name repeats (no GUID could be made).
    p([&] { objectOf(Gcon_Connect).Execute(storage::dropWorkingTableSql(tableName)); });
    QString sql;
    p([&] { sql = storage::createWorkingTableSql(tableName); });
    p([&] { objectOf(Gcon_Connect).Execute(sql); });
}
