#pragma once
// Databases for data tests: a fresh SQLite file per call, and a fresh PostgreSQL database per
// call on a throwaway cluster started once per test process (or on the server named by the
// environment variable PREZZOLAMPO_PG, a connection string).

#include <QString>
#include <gtest/gtest.h>

namespace testsupport {

// "Provider=PostgreSQL;Host=...;Port=...;Database=<fresh>;User ID=postgres", or empty (see
// postgresUnavailableReason()).
QString testPostgresConnectionString();
QString postgresUnavailableReason();
// Stops the throwaway server of this test process as a service stop does (sessions are ended
// with "terminating connection due to administrator command"), and starts it again on the same
// port. False when the server is not this process's own (PREZZOLAMPO_PG) or pg_ctl failed.
bool stopTestPostgres();
bool startTestPostgres();
// True when a missing PostgreSQL must fail the test (CI=true) rather than skip it.
bool postgresRequired();

// "Provider=SQLite;Data Source=<fresh temporary file>".
QString testSqliteConnectionString();

// The same server through Debian's ODBC driver (psqlODBC): "Provider=ODBC;Driver={PostgreSQL
// Unicode};Server=...;Database=<fresh>;...", or empty when the server or the driver is missing.
QString testOdbcPostgresConnectionString();

// The connection string for "SQLite", "PostgreSQL" or "PostgreSQL_ODBC" (empty: unavailable).
QString testConnectionString(const QString& backend);

} // namespace testsupport

// In a test body or SetUp: declares `var` with a fresh connection string for `backend`, and
// skips the test (fails it under CI=true) when that backend is not available.
#define PREZZOLAMPO_CONNECTION_OR_SKIP(var, backend)                                               \
    const QString var = ::testsupport::testConnectionString(backend);                              \
    if (var.isEmpty()) {                                                                           \
        const std::string why = "PostgreSQL non disponibile: " +                                   \
                                ::testsupport::postgresUnavailableReason().toStdString();          \
        if (::testsupport::postgresRequired())                                                     \
            FAIL() << why;                                                                         \
        GTEST_SKIP() << why;                                                                       \
    }
