// Number formatting as SQL numeric literals; check value 1 and no text for what is no number.
#include "host/services/number_formatter.h"
#include "tests/runtime/test_helpers.h"

#include <QDate>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(NumberFormatter, WritesNumbersAsSqlLiteralsAndRefusesTheRest) {
    const struct {
        const char* name;
        rt::Variant value;
        const char* text; // nullptr: refused
    } cases[] = {
        {"Decimal with every digit", rt::Variant(dec("0.1234567890123456789012345678")),
         "0.1234567890123456789012345678"},
        {"Integer", rt::Variant(std::int16_t(-3)), "-3"},
        {"Double with 15 digits", rt::Variant(2.0 / 3.0), "0.666666666666667"},
        {"large Double without exponent", rt::Variant(1e20), "100000000000000000000"},
        {"Italian numeric text", rt::Variant(QStringLiteral("1234,5")), "1234.5"},
        {"Null", rt::Variant::null(), nullptr},
        {"empty text", rt::Variant(QString()), nullptr},
        {"text", rt::Variant(QStringLiteral("12 euro")), nullptr},
        {"Boolean", rt::Variant(true), nullptr},
        {"Date", rt::Variant(QDate(2024, 3, 1)), nullptr},
        {"NaN", rt::Variant(std::numeric_limits<double>::quiet_NaN()), nullptr},
    };
    host::NumberFormatter f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.setNumber(rt::Variant(dec("7.25"))); // a usable value first: a refusal must clear it
        f.setNumber(c.value);
        EXPECT_EQ(f.checkValue(), c.text ? 0 : 1);
        EXPECT_EQ(f.text(), QString::fromLatin1(c.text));
    }
}

} // namespace
