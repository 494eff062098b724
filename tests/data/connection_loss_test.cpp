// What the connection makes of a driver error when the server goes away: the server's words
// as the user reads them, and which SQLSTATEs mean the session has ended.
#include "host/data/connection.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectionLoss, TheServersWordsWithoutTheDriversAdditions) {
    const struct {
        QString databaseText, driverText, words;
    } cases[] = {
        {u"server closed the connection unexpectedly\n\tThis probably means the server "
         "terminated abnormally\n\tbefore or while processing the request.\n()"_qs,
         {},
         u"server closed the connection unexpectedly This probably means the server terminated "
         "abnormally before or while processing the request."_qs},
        {u"FATAL:  terminating connection due to administrator command\n(57P01)"_qs,
         {},
         u"FATAL:  terminating connection due to administrator command"_qs},
        {{}, u"database is locked"_qs, u"database is locked"_qs},
        {u"syntax error (see the manual)"_qs, {}, u"syntax error (see the manual)"_qs},
    };
    for (const auto& c : cases)
        EXPECT_EQ(host::serverWords(QSqlError(c.driverText, c.databaseText)).toStdString(),
                  c.words.toStdString());
    for (const char* ended : {"08006", "08001", "57P01", "57P02", "57P03"})
        EXPECT_TRUE(host::sessionEndedBy(QLatin1String(ended))) << ended;
    for (const char* alive : {"", "57014", "23505", "42P01", "57P04"})
        EXPECT_FALSE(host::sessionEndedBy(QLatin1String(alive))) << alive;
}

} // namespace
