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
        {1234.5, "#,##0.00", "1.234,50"},
        {1234567.0, "#,##0", "1.234.567"},
        {999.9996, "#,##0.000", "1.000,000"},
        {-1234.5, "#,##0.00", "-1.234,50"},
        {0.0, "#,##0.00", "0,00"},
        {0.5, "0.000", "0,500"},
        {0.5, "#,##0", "1"},
        // Halves away from zero, after the Double is cut to 15 digits.
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {0.125, "0.00", "0,13"},
        {1.005, "0.00", "1,01"},
        {Variant(dec("2.0005")), "0.000", "2,001"},
        {Variant(dec("123456789012345678.5")), "#,##0", "123.456.789.012.345.679"},
        {0.25, "0.0#", "0,25"},
        {0.5, "0.0#", "0,5"},
        {0.5, "#.##", ",5"},
        {7.0, "000", "007"},
        {0.1234, "0.0%", "12,3%"},
        {-5.0, "0.00;(0.00)", "(5,00)"},
        {0.0, "0.00;(0.00);\"zero\"", "zero"},
        {12.5, "\"€ \"#,##0.00", "€ 12,50"},
        {Variant(std::int16_t{42}), "0.00", "42,00"},
        {Variant("1234,5"), "#,##0.00", "1.234,50"},
        {Variant("abc"), "0.00", "abc"},
        {Variant(true), "0", "-1"},
        {1234.5, "", "1234,5"},
        {1234.5, "Standard", "1.234,50"},
        {Variant::null(), "0.00", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.debugText().toStdString() + " with " + c.pattern);
        EXPECT_EQ(rt::Format(c.value, QString::fromUtf8(c.pattern)), c.expected);
    }
}

TEST(Format, DatePatterns) {
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    const struct {
        Variant value;
        const char* pattern;
        QString expected;
    } cases[] = {
        {when, "dd/mm/yyyy", "05/03/2024"},
        {when, "d/m/yy", "5/3/24"},
        {when, "dd/mm/yyyy hh:mm:ss", "05/03/2024 14:07:09"},
        {when, "hh:nn", "14:07"},
        {when, "dddd d mmmm yyyy", "martedì 5 marzo 2024"},
        {when, "ddd dd-mmm", "mar 05-mar"},
        {when, "yyyymmdd", "20240305"},
        {when, "Short Date", "05/03/2024"},
        {Variant("5/3/24"), "dd/mm/yyyy", "05/03/2024"},
        {Variant(45356.0), "dd/mm/yyyy", "05/03/2024"},
        {Variant("abc"), "dd/mm/yyyy", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.debugText().toStdString() + " with " + c.pattern);
        EXPECT_EQ(rt::Format(c.value, QString::fromUtf8(c.pattern)), c.expected);
    }
}

} // namespace
