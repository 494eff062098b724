#include "controls_support.h"

#include "tests/support/pg_server.h"

namespace controls_test {

std::shared_ptr<host::Connection> databaseWith(const QStringList& statements) {
    auto connection = std::make_shared<host::Connection>();
    connection->Open(testsupport::testSqliteConnectionString());
    for (const QString& sql : statements)
        connection->Execute(sql);
    return connection;
}

std::shared_ptr<host::Connection> articleDatabase() {
    return databaseWith({
        u"CREATE TABLE [MG66_ANAGRART] ([MG66_DITTA_CG18] [decimal](5, 0) NOT NULL, "
        u"[MG66_CODART] [char](25) NOT NULL, [MG66_FLGOPZIONI] [decimal](1, 0) NOT NULL)"_qs,
        u"CREATE TABLE [MG87_DESCART] ([MG87_DITTA_CG18] [decimal](5, 0) NOT NULL, "
        u"[MG87_CODART_MG66] [char](25) NOT NULL, [MG87_OPZIONE_MG5E] [char](20) NOT NULL, "
        u"[MG87_DESCART] [varchar](72) NULL)"_qs,
        u"CREATE TABLE [MG5E_OPZIONI] ([MG5E_DITTA_CG18] [decimal](5, 0) NOT NULL, "
        u"[MG5E_CODART_MG66] [char](25) NOT NULL, [MG5E_OPZIONE] [char](20) NOT NULL, "
        u"[MG5E_DESCRIZIONE] [varchar](72) NULL)"_qs,
        u"INSERT INTO MG66_ANAGRART VALUES (1, 'ART001', 0)"_qs,
        u"INSERT INTO MG66_ANAGRART VALUES (1, 'ART002', 1)"_qs,
        u"INSERT INTO MG66_ANAGRART VALUES (1, 'O''NEIL', 0)"_qs,
        u"INSERT INTO MG66_ANAGRART VALUES (2, 'ART003', 0)"_qs,
        u"INSERT INTO MG87_DESCART VALUES (1, 'ART001', '', 'Vite a testa piana')"_qs,
        u"INSERT INTO MG87_DESCART VALUES (1, 'ART002', '', 'Maglia girocollo')"_qs,
        u"INSERT INTO MG87_DESCART VALUES (1, 'ART002', 'ROSSO', 'Maglia girocollo rossa')"_qs,
        u"INSERT INTO MG87_DESCART VALUES (1, 'O''NEIL', '', 'Sedia O''Neil')"_qs,
        u"INSERT INTO MG87_DESCART VALUES (2, 'ART003', '', 'Articolo della ditta 2')"_qs,
        u"INSERT INTO MG5E_OPZIONI VALUES (1, 'ART002', 'ROSSO', 'Rosso')"_qs,
        u"INSERT INTO MG5E_OPZIONI VALUES (1, 'ART002', 'BLU', 'Blu cobalto')"_qs,
    });
}

} // namespace controls_test
