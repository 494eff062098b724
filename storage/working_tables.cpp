// Working tables: CreateTabTemp, and their return after a lost connection.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "storage/statements.h"

#include <QPointer>

void FRMMG_PREZZOLAMPO::CreateTabTemp(const QString& tableName) {
    Procedure p(*this, QStringLiteral("CreateTabTemp"));
    // The drop removes a table only when a name repeats (no GUID could be made).
    p([&] { objectOf(Gcon_Connect).Execute(storage::dropWorkingTableSql(tableName)); });
    QString sql;
    p([&] { sql = storage::createWorkingTableSql(tableName); });
    p([&] { objectOf(Gcon_Connect).Execute(sql); });
    p([&] { keepWorkingTablesAcrossSessions(objectOf(Gcon_Connect)); });
}

// The working tables are temporary tables of the connection's session: a session that the
// server ends takes them along, while the window still holds their rows.
void FRMMG_PREZZOLAMPO::keepWorkingTablesAcrossSessions(host::Connection& connection) {
    connection.setSessionRestorer(
        [window = QPointer<FRMMG_PREZZOLAMPO>(this)](host::Connection& reopened) {
            if (window)
                window->RestoreWorkingTables(reopened);
        });
}

// On a new session: each working set's table again, under its name, with the rows the window
// holds (typed values not yet saved included). Errors go to the statement that opened the new
// session: no question of its own is asked here.
void FRMMG_PREZZOLAMPO::RestoreWorkingTables(host::Connection& connection) {
    for (const std::shared_ptr<host::Recordset>& rs : {Rst_RecSet_LISACQ, Rst_RecSet_LISVEN}) {
        if (!rs || rs->State() != host::adStateOpen)
            continue;
        const QString table = storage::workingTableOfSelect(rs->Source());
        if (table.isEmpty())
            continue;
        connection.Execute(storage::createWorkingTableSql(table));
        rs->writeRowsIntoNewTable();
    }
}
