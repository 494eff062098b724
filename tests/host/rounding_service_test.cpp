// Rounding by brackets: the range holding the price, the nearest multiple of its step (halves
// up), the ending just below the round price; zero stays zero, negatives by their magnitude.
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

struct RoundCase {
    const char* name;
    const Ranges* ranges;
    const char* price;
    const char* expected;
};

const Ranges reversed = {range("100", "10", "9"), range("5", "1", "0.99"), range("0", "0.1")};
const Ranges startsAt10 = {range("10", "1")};
const Ranges endingAboveStep = {range("0", "1", "1.9")};
const Ranges zeroStep = {range("0", "0")};
const Ranges none = {};

const RoundCase roundCases[] = {
    {"down to the step", &toCents, "12.324", "12.3"},
    {"half goes up", &toCents, "12.325", "12.35"},
    {"last range below its next start", &toCents, "49.99", "50"},
    {"range from its start on", &toCents, "50.04", "50"},
    {"below the ending range", &ending90, "9.96", "10"},
    {"ending below the round price", &ending90, "12.4", "11.9"},
    {"round price gets the ending", &ending90, "20", "19.9"},
    {"ending at the range start", &ending90, "10.2", "9.9"},
    {"ending .99", &ending99, "7.3", "6.99"},
    {"ending 9 on tens, down", &ending99, "104", "99"},
    {"ending 9 on tens, up", &ending99, "106", "109"},
    {"ranges in any order", &reversed, "106", "109"},
    {"below the first range leaves the price", &startsAt10, "3.3", "3.3"},
    {"ending taken within the step", &endingAboveStep, "12.4", "11.9"},
    {"zero stays zero", &ending90, "0", "0"},
    {"tiny price rounds to zero", &toCents, "0.02", "0"},
    {"no ending on a zero rounding", &endingAboveStep, "0.3", "0"},
    {"negative price by its magnitude", &ending90, "-3.74", "-3.7"},
    {"negative tiny price gives plain zero", &toCents, "-0.02", "0"},
    {"zero step leaves the price", &zeroStep, "3.14159", "3.14159"},
    {"unknown bracket leaves the price", &none, "12.345", "12.345"},
};

void PrintTo(const RoundCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundByRanges : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundByRanges, GivesTheExpectedPrice) {
    const RoundCase& c = GetParam();
    EXPECT_EQ(host::roundPriceByRanges(dec(c.price), *c.ranges).toString(),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundByRanges, ::testing::ValuesIn(roundCases));

TEST(RoundByRanges, DoublePricesRoundAsTheirDecimalText) {
    // 12.325 as a double is 12.32499999...; its 15 significant digits say 12.325.
    EXPECT_EQ(host::roundPriceByRanges(12.325, toCents), 12.35);
    EXPECT_EQ(host::roundPriceByRanges(0.0, ending99), 0.0);
    EXPECT_EQ(host::roundPriceByRanges(12.4, ending90), 11.9);
}

TEST(RoundByRanges, PositivePricesNeverTurnNegativeNorStrayFarFromThePrice) {
    for (const Ranges* ranges : {&toCents, &ending90, &ending99, &endingAboveStep}) {
        for (int cents = 1; cents <= 12000; cents += 37) {
            const rt::Decimal price = rt::Decimal(cents) / rt::Decimal(100);
            const rt::Decimal rounded = host::roundPriceByRanges(price, *ranges);
            ASSERT_FALSE(rounded.isNegative()) << price.toString().toStdString();
            // At most half a step away, plus the ending's drop below the round price.
            const rt::Decimal distance = rounded > price ? rounded - price : price - rounded;
            ASSERT_LE(distance, rt::Decimal(6)) << price.toString().toStdString();
        }
    }
}

// The service reads the brackets from MG02_SCAGLARR on the connection.
class RoundingServiceOnDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        connection = memoryConnection({
            QStringLiteral("CREATE TABLE [MG02_SCAGLARR] ([MG02_CODICE] [decimal](2, 0) NOT NULL, "
                           "[MG02_PREZZODA] [decimal](17, 6) NOT NULL, [MG02_DESCRIZIONE] "
                           "[varchar](40) NULL, [MG02_ARROT] [decimal](17, 6) NOT NULL, "
                           "[MG02_FINALE] [decimal](17, 6) NULL, CONSTRAINT [PK_MG02_SCAGLARR] "
                           "PRIMARY KEY ([MG02_CODICE], [MG02_PREZZODA]))"),
            bracketRow(1, "0", "0.05", "NULL"),
            bracketRow(1, "50", "0.1", "NULL"),
            bracketRow(2, "10", "1", "0.9"),
            bracketRow(2, "0", "0.1", "NULL"),
        });
    }
    static QString bracketRow(int code, const char* from, const char* step, const char* ending) {
        return QStringLiteral(
                   "INSERT INTO MG02_SCAGLARR (MG02_CODICE, MG02_PREZZODA, "
                   "MG02_DESCRIZIONE, MG02_ARROT, MG02_FINALE) VALUES (%1, %2, 'x', %3, %4)")
            .arg(code)
            .arg(QLatin1String(from), QLatin1String(step), QLatin1String(ending));
    }
    std::shared_ptr<host::Connection> connection;
};

TEST_F(RoundingServiceOnDatabase, RoundsByTheBracketsRanges) {
    host::RoundingService service(connection);
    const struct {
        double price;
        std::int16_t bracket;
        double expected;
    } cases[] = {
        {12.325, 1, 12.35}, {50.04, 1, 50.0}, {12.4, 2, 11.9},
        {9.96, 2, 10.0},    {0.0, 2, 0.0},    {12.345, 99, 12.345},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.price << " bracket " << c.bracket);
        EXPECT_EQ(service.round(c.price, c.bracket, QStringLiteral("EURO")), c.expected);
    }
}

TEST_F(RoundingServiceOnDatabase, ReadsEachBracketOnce) {
    host::RoundingService service(connection);
    service.round(12.4, 2, QStringLiteral("EURO"));
    service.round(31.7, 2, QStringLiteral("EURO"));
    service.round(1.0, 1, QStringLiteral("EURO"));
    ASSERT_EQ(connection->trace().size(), 2);
    EXPECT_EQ(connection->trace().at(0),
              QStringLiteral("SELECT MG02_PREZZODA, MG02_ARROT, MG02_FINALE FROM MG02_SCAGLARR "
                             "WHERE MG02_CODICE = 2 ORDER BY MG02_PREZZODA"));

    auto other =
        memoryConnection({QStringLiteral("CREATE TABLE MG02_SCAGLARR (MG02_CODICE "
                                         "decimal(2,0), MG02_PREZZODA decimal(17,6), "
                                         "MG02_ARROT decimal(17,6), MG02_FINALE decimal(17,6))")});
    service.setConnection(other);
    EXPECT_EQ(service.round(12.4, 2, QStringLiteral("EURO")), 12.4)
        << "brackets of the new connection";
}

TEST_F(RoundingServiceOnDatabase, WithoutConnectionOrTableLeavesOrFails) {
    host::RoundingService unconnected;
    EXPECT_EQ(unconnected.round(12.4, 2, QStringLiteral("EURO")), 12.4);

    host::RoundingService service(memoryConnection());
    EXPECT_NE(errorNumberOf([&] { service.round(12.4, 2, QStringLiteral("EURO")); }), 0)
        << "a missing table is the connection's error";
}

} // namespace
