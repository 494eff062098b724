// Number formatting: SQL numeric literals ("." decimals, no grouping, exact for Decimals);
// check value 1 and no text for what is not a number.
#include "host/services/number_formatter.h"
#include "tests/runtime/test_helpers.h"

#include <QDate>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(NumberFormatter, WritesNumbersAsSqlLiterals) {
    const struct {
        const char* name;
        rt::Variant value;
        const char* text;
    } cases[] = {
        {"Decimal", rt::Variant(dec("12.5")), "12.5"},
        {"Decimal without grouping", rt::Variant(dec("1234567.891234")), "1234567.891234"},
        {"Decimal with every digit", rt::Variant(dec("0.1234567890123456789012345678")),
         "0.1234567890123456789012345678"},
        {"large Decimal", rt::Variant(dec("79228162514264337593543950335")),
         "79228162514264337593543950335"},
        {"negative Decimal", rt::Variant(dec("-0.001")), "-0.001"},
        {"zero", rt::Variant(dec("0")), "0"},
        {"Integer", rt::Variant(std::int16_t(-3)), "-3"},
        {"Long", rt::Variant(std::int32_t(100000)), "100000"},
        {"Double", rt::Variant(0.1), "0.1"},
        {"Double with 15 digits", rt::Variant(2.0 / 3.0), "0.666666666666667"},
        {"large Double without exponent", rt::Variant(1e20), "100000000000000000000"},
        {"Italian numeric text", rt::Variant(QStringLiteral("1234,5")), "1234.5"},
    };
    host::NumberFormatter f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.setNumber(c.value);
        EXPECT_EQ(f.checkValue(), 0);
        EXPECT_EQ(f.text(), QString::fromLatin1(c.text));
    }
}

TEST(NumberFormatter, RefusesWhatIsNotANumber) {
    const struct {
        const char* name;
        rt::Variant value;
    } cases[] = {
        {"Empty", rt::Variant()},
        {"Null", rt::Variant::null()},
        {"empty text", rt::Variant(QString())},
        {"text", rt::Variant(QStringLiteral("12 euro"))},
        {"Boolean", rt::Variant(true)},
        {"Date", rt::Variant(QDate(2024, 3, 1))},
        {"NaN", rt::Variant(std::numeric_limits<double>::quiet_NaN())},
        {"infinity", rt::Variant(std::numeric_limits<double>::infinity())},
    };
    host::NumberFormatter f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.setNumber(rt::Variant(dec("7.25"))); // a usable value first: the refusal must clear it
        ASSERT_EQ(f.checkValue(), 0);
        f.setNumber(c.value);
        EXPECT_EQ(f.checkValue(), 1);
        EXPECT_EQ(f.text(), QString());
    }
}

} // namespace
