// Rounding by price brackets, and the service that reads them from its connection.
#include "host/services/rounding_service.h"
#include "tests/host/host_test_helpers.h"

#include <gtest/gtest.h>

namespace {

using host::RoundingRange;
using Ranges = std::vector<RoundingRange>;

RoundingRange range(const char* from, const char* step, const char* ending = nullptr) {
    return {dec(from), dec(step), ending ? std::optional<rt::Decimal>(dec(ending)) : std::nullopt};
}

// The demo's brackets: to 5 cents (10 cents from 50 euro); 10 cents, from 10 euro to the euro
// ending in .90; 10 cents, from 5 euro ending .99, from 100 euro to 10 euro ending in 9.
const Ranges toCents = {range("0", "0.05"), range("50", "0.1")};
const Ranges ending90 = {range("0", "0.1"), range("10", "1", "0.9")};
const Ranges ending99 = {range("0", "0.1"), range("5", "1", "0.99"), range("100", "10", "9")};
const Ranges endingAboveStep = {range("0", "1", "1.9")};

TEST(RoundByRanges, GivesTheExpectedPrice) {
    const struct {
        const char* name;
        Ranges ranges;
        const char *price, *expected;
    } cases[] = {
        {"down to the step", toCents, "12.324", "12.3"},
        {"half goes up", toCents, "12.325", "12.35"},
        {"last range below its next start", toCents, "49.99", "50"},
        {"range from its start price on", ending90, "10", "9.9"},
        {"ending below the round price", ending90, "12.4", "11.9"},
        {"ending 9 on tens", ending99, "106", "109"},
        {"ranges in any order", {ending99.rbegin(), ending99.rend()}, "7.3", "6.99"},
        {"below the first range leaves the price", {range("10", "1")}, "3.3", "3.3"},
        {"ending taken within the step", endingAboveStep, "12.4", "11.9"},
        {"tiny price rounds to zero", toCents, "0.02", "0"},
        {"no ending on a zero rounding", endingAboveStep, "0.3", "0"},
        {"negative price by its magnitude", ending90, "-3.74", "-3.7"},
        {"negative tiny price gives plain zero", toCents, "-0.02", "0"},
        {"zero step leaves the price", {range("0", "0")}, "3.14159", "3.14159"},
        {"unknown bracket leaves the price", {}, "12.345", "12.345"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(host::roundPriceByRanges(dec(c.price), c.ranges).toString(),
                  QString::fromLatin1(c.expected));
    }
}

// The demo's brackets 1 and 2 as above, in MG02_SCAGLARR.
const QString BracketTable =
    QStringLiteral("CREATE TABLE MG02_SCAGLARR (MG02_CODICE decimal(2,0), MG02_PREZZODA "
                   "decimal(17,6), MG02_ARROT decimal(17,6), MG02_FINALE decimal(17,6))");

TEST(RoundingService, RoundsByTheBracketsOfItsConnectionReadOnce) {
    auto connection = memoryConnection(
        {BracketTable, QStringLiteral("INSERT INTO MG02_SCAGLARR VALUES (1, 0, 0.05, NULL), "
                                      "(1, 50, 0.1, NULL), (2, 10, 1, 0.9), (2, 0, 0.1, NULL)")});
    host::RoundingService service(connection);
    const struct {
        double price;
        std::int16_t bracket;
        double expected;
    } cases[] = {
        // 12.325 as a double is 12.32499999...; its 15 significant digits say 12.325.
        {12.325, 1, 12.35}, {50.04, 1, 50.0}, {12.4, 2, 11.9},
        {9.96, 2, 10.0},    {0.0, 2, 0.0},    {12.345, 99, 12.345},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.price << " bracket " << c.bracket);
        EXPECT_EQ(service.round(c.price, c.bracket, QStringLiteral("EURO")), c.expected);
    }
    EXPECT_EQ(connection->trace().size(), 3) << "brackets 1, 2 and 99, each read once";

    service.setConnection(memoryConnection({BracketTable}));
    EXPECT_EQ(service.round(12.4, 2, QStringLiteral("EURO")), 12.4)
        << "brackets of the new connection";
    service.setConnection(memoryConnection());
    EXPECT_NE(errorNumberOf([&] { service.round(12.4, 2, QStringLiteral("EURO")); }), 0)
        << "a missing table is the connection's error";
    EXPECT_EQ(host::RoundingService().round(12.4, 2, QStringLiteral("EURO")), 12.4)
        << "no connection leaves the price";
}

} // namespace
