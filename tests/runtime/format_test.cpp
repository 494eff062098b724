// The grid shows its numbers through Format with its columns' formats (docs/host.md): digit,
// decimal and grouping patterns, in Italian.
#include "runtime/conversions.h"

#include "tests/runtime/test_helpers.h"

namespace {

using rt::Variant;

TEST(Format, NumericPatterns) {
    const struct {
        Variant value;
        const char* pattern;
        QString expected;
    } cases[] = {
        {1234.5675, "#,##0.000", "1.234,568"},
        {1234567.0, "#,##0", "1.234.567"},
        {999.9996, "#,##0.000", "1.000,000"},
        {-1234.5, "#,##0.00", "-1.234,50"},
        {0.0, "#,##0.00", "0,00"},
        {0.5, "0.000", "0,500"},
        {0.5, "#,##0", "1"},
        // Halves away from zero, after the Double is cut to 15 digits.
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {1.005, "0.00", "1,01"},
        {Variant(dec("2.0005")), "0.000", "2,001"},
        {Variant(dec("123456789012345678.5")), "#,##0", "123.456.789.012.345.679"},
        {Variant(std::int16_t{42}), "0.00", "42,00"},
        {Variant("1234,5"), "#,##0.00", "1.234,50"},
        {Variant(true), "0", "-1"},
        {Variant::null(), "0.00", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.debugText().toStdString() + " with " + c.pattern);
        EXPECT_EQ(rt::Format(c.value, QString::fromUtf8(c.pattern)), c.expected);
    }
}

} // namespace
