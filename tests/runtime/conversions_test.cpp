// Values of the run time (Variant, Error), the conversions between them, and Format.
#include "runtime/conversions.h"
#include "runtime/variant.h"

#include "tests/runtime/conversion_cases.h"

#include <cmath>

namespace {

using rt::Variant;

struct Probe : rt::Object {};

TEST(Variant, NumericAndDebugTextFollowTheType) {
    const struct {
        Variant value;
        bool numeric;
        const char* debug;
    } cases[] = {
        {Variant(), false, "Empty"},
        {Variant::null(), false, "Null"},
        {Variant(std::int16_t{5}), true, "Integer(5)"},
        {Variant(std::int32_t{-70000}), true, "Long(-70000)"},
        {Variant(0.5), true, "Double(0.5)"},
        {Variant(dec("12.50")), true, "Decimal(12.5)"},
        {Variant(true), true, "Boolean(True)"},
        {Variant(""), false, "String(\"\")"},
        {Variant(QDate(2024, 3, 5)), false, "Date(05/03/2024 00:00:00)"},
        {Variant(std::make_shared<Probe>()), false, "Object"},
        {Variant(std::shared_ptr<rt::Object>()), false, "Object(Nothing)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.debug);
        EXPECT_EQ(c.value.isNumeric(), c.numeric);
        EXPECT_EQ(c.value.debugText(), QString::fromUtf8(c.debug));
    }
}

TEST(Variant, EmptyNullAndEmptyTextAreDifferent) {
    const Variant values[] = {Variant(), Variant::null(), Variant(""), Variant(std::int16_t{0}),
                              Variant(std::int32_t{0})};
    for (std::size_t i = 0; i < std::size(values); ++i)
        for (std::size_t j = 0; j < std::size(values); ++j)
            EXPECT_EQ(values[i] == values[j], i == j) << i << " vs " << j;
}

TEST(Error, NumbersAndDescriptions) {
    const std::tuple<rt::Error, int, const char*> cases[] = {
        {rt::Error::overflow(), 6, "Overflow"},
        {rt::Error::divisionByZero(), 11, "Divisione per zero"},
        {rt::Error::typeMismatch(), 13, "Tipo non corrispondente"},
        {rt::Error::invalidUseOfNull(), 94, "Utilizzo non valido di Null"},
        {rt::Error::objectNotSet(), 91,
         "Variabile oggetto o variabile del blocco With non impostata"},
    };
    for (const auto& [error, number, description] : cases) {
        SCOPED_TRACE(description);
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), QString::fromUtf8(description));
        EXPECT_STREQ(error.what(), description);
    }
}

TEST(CStr, ItalianDesktopText) {
    check<QString>(
        {{"Empty", Empty, ""},
         {"Null", Null, "", rt::ErrInvalidUseOfNull},
         {"True", Variant(true), "Vero"},
         {"False", Variant(false), "Falso"},
         {"Integer", Variant(std::int16_t{-5}), "-5"},
         {"1/3", Variant(1.0 / 3), "0,333333333333333"},
         {"1e20", Variant(1e20), "1E+20"},
         {"0.00001", Variant(0.00001), "1E-05"},
         {"-0.0", Variant(-0.0), "0"},
         {"1234567.891 no grouping", Variant(1234567.891), "1234567,891"},
         {"Decimal trailing zeros", Variant(dec("-1.500")), "-1,5"},
         {"text unchanged", Variant(" a "), " a "},
         {"Date", Variant(March5), "05/03/2024"},
         {"Date and time", Variant(QDateTime(March5, QTime(14, 30, 5))), "05/03/2024 14:30:05"},
         {"time only", Variant(QDateTime(QDate(1899, 12, 30), QTime(8, 0))), "08:00:00"},
         {"Object", Variant(std::shared_ptr<rt::Object>()), "", rt::ErrTypeMismatch}},
        [](const Variant& v) { return rt::CStr(v); });
}

TEST(CDec, NumbersAndItalianTexts) {
    check<QString>({{"Empty is 0", Empty, "0"},
                    {"Null", Null, "", rt::ErrInvalidUseOfNull},
                    {"True is -1", Variant(true), "-1"},
                    {"Double keeps 15 digits", Variant(1.0 / 3), "0.333333333333333"},
                    {"thousands dot ignored", Variant("1.234,5"), "1234.5"},
                    {"a dot alone is a thousands separator", Variant("0.5"), "5"},
                    {"blanks around", Variant("  12 "), "12"},
                    {"comma first", Variant(",5"), "0.5"},
                    {"exponent", Variant("1,5E3"), "1500"},
                    {"exact text", Variant("12345678901,123456"), "12345678901.123456"},
                    {"29 digits", Variant("0,33333333333333333333333333335"),
                     "0.3333333333333333333333333334"},
                    {"date is its serial", Variant(March5), "45356"},
                    {"letters", Variant("abc"), "", rt::ErrTypeMismatch},
                    {"empty text", Variant(""), "", rt::ErrTypeMismatch},
                    {"too large", Variant("1E30"), "", rt::ErrOverflow}},
                   [](const Variant& v) { return rt::CDec(v).toString(); });
}

TEST(CDbl, NumbersAndItalianTexts) {
    check<double>({{"Empty", Empty, 0},
                   {"Null", Null, 0, rt::ErrInvalidUseOfNull},
                   {"thousands and comma", Variant("1.234,5"), 1234.5},
                   {"blanks", Variant(" -0,1 "), -0.1},
                   {"Decimal", Variant(dec("0.1")), 0.1},
                   {"date with time", Variant(QDateTime(March5, QTime(18, 0))), 45356.75},
                   {"letters", Variant("abc"), 0, rt::ErrTypeMismatch},
                   {"out of range", Variant("1E400"), 0, rt::ErrOverflow}},
                  [](const Variant& v) { return rt::CDbl(v); });
}

TEST(CIntCLng, HalvesToEvenAndOverflow) {
    check<std::int32_t>({{"2.5", Variant(2.5), 2},
                         {"3.5", Variant(3.5), 4},
                         {"32767.5", Variant(32767.5), 0, rt::ErrOverflow},
                         {"-32768.5", Variant(-32768.5), -32768},
                         {"-32769", Variant(std::int32_t{-32769}), 0, rt::ErrOverflow},
                         {"Decimal 32767.5", Variant(dec("32767.5")), 0, rt::ErrOverflow},
                         {"Empty", Empty, 0},
                         {"Null", Null, 0, rt::ErrInvalidUseOfNull},
                         {"True", Variant(true), -1},
                         {"NaN", Variant(std::nan("")), 0, rt::ErrOverflow}},
                        [](const Variant& v) { return rt::CInt(v); });
    check<std::int32_t>({{"70000", Variant("70000"), 70000},
                         {"2147483646.5", Variant(2147483646.5), 2147483646},
                         {"2147483647.5", Variant(2147483647.5), 0, rt::ErrOverflow},
                         {"-2147483648.5", Variant(dec("-2147483648.5")), INT32_MIN},
                         {"-2147483649", Variant("-2147483649"), 0, rt::ErrOverflow},
                         {"date", Variant(March5), 45356}},
                        [](const Variant& v) { return rt::CLng(v); });
}

TEST(CBool, NumbersAndWords) {
    check<bool>({{"Vero", Variant("Vero"), true},
                 {"falso", Variant(" falso "), false},
                 {"True", Variant("TRUE"), true},
                 {"0.5", Variant(0.5), true},
                 {"text 0", Variant("0"), false},
                 {"text -1", Variant("-1"), true},
                 {"Empty", Empty, false},
                 {"abc", Variant("abc"), false, rt::ErrTypeMismatch},
                 {"Null", Null, false, rt::ErrInvalidUseOfNull}},
                [](const Variant& v) { return rt::CBool(v); });
}

TEST(CDate, ItalianDateTexts) {
    const QDateTime march5(March5, QTime(0, 0));
    check<QDateTime>(
        {{"dd/mm/yyyy", Variant("05/03/2024"), march5},
         {"two-digit year 29", Variant("1/1/29"), QDateTime(QDate(2029, 1, 1), QTime(0, 0))},
         {"two-digit year 30", Variant("1/1/30"), QDateTime(QDate(1930, 1, 1), QTime(0, 0))},
         {"yyyy-mm-dd", Variant("2024-03-05"), march5},
         {"with time", Variant("05/03/2024 14:30"), QDateTime(March5, QTime(14, 30))},
         {"Date passes", Variant(QDateTime(March5, QTime(9, 1))), QDateTime(March5, QTime(9, 1))},
         {"serial number", Variant(45356.5), QDateTime(March5, QTime(12, 0))},
         {"31 February", Variant("31/02/2024"), {}, rt::ErrTypeMismatch},
         {"hour 24", Variant("05/03/2024 24:00"), {}, rt::ErrTypeMismatch},
         {"mixed separators", Variant("05/03-2024"), {}, rt::ErrTypeMismatch},
         {"empty text", Variant(""), {}, rt::ErrTypeMismatch},
         {"Null", Null, {}, rt::ErrInvalidUseOfNull}},
        [](const Variant& v) { return rt::CDate(v); });
}

// What IsNumeric and IsDate say of a value, as the pair {IsNumeric, IsDate}.
TEST(IsNumericIsDate, EmptyNullAndTexts) {
    check<std::pair<bool, bool>>(
        {{"Empty", Empty, {true, false}},
         {"Null", Null, {false, false}},
         {"empty text", Variant(""), {false, false}},
         {"12,5", Variant("12,5"), {true, false}},
         {"Date", Variant(March5), {false, true}},
         {"date text", Variant("05/03/2024"), {false, true}},
         {"dotted date text", Variant("05.03.2024"), {true, true}},
         {"impossible date", Variant("31/02/2024"), {false, false}},
         {"NULL text", Variant("NULL"), {false, false}}},
        [](const Variant& v) { return std::pair(rt::IsNumeric(v), rt::IsDate(v)); });
}

TEST(Trim, BlanksOnly) {
    EXPECT_EQ(rt::Trim(u"  a b  "_qs), u"a b"_qs);
    EXPECT_EQ(rt::RTrim(u"  a b  "_qs), u"  a b"_qs);
    EXPECT_EQ(rt::Trim(u"\ta\t"_qs), u"\ta\t"_qs);
    EXPECT_EQ(rt::Trim(u"   "_qs), QString());
}

// The grid's column formats (docs/host.md): digit, decimal and grouping patterns, in Italian.
TEST(Format, NumericPatterns) {
    const struct {
        Variant value;
        const char* pattern;
        QString expected;
    } cases[] = {
        {1234.5675, "#,##0.000", "1.234,568"},
        {999.9996, "#,##0.000", "1.000,000"},
        {-1234.5, "#,##0.00", "-1.234,50"},
        {0.0, "#,##0.00", "0,00"},
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
    for (const auto& c : cases)
        EXPECT_EQ(rt::Format(c.value, QString::fromUtf8(c.pattern)), c.expected)
            << c.value.debugText().toStdString() << " with " << c.pattern;
}

} // namespace
