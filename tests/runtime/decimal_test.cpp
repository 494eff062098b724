#include "runtime/decimal.h"

#include "tests/runtime/test_helpers.h"

#include <cmath>
#include <limits>

namespace {

using rt::Decimal;

constexpr const char* Max = "79228162514264337593543950335"; // 2^96 - 1
constexpr const char* MinusMax = "-79228162514264337593543950335";

TEST(Decimal, ParseKeepsEveryDigitAndNormalisesTheText) {
    const struct {
        const char *text, *expected; // expected nullptr: the text itself
        int scale;
    } cases[] = {
        {"12345678901.123456", nullptr, 6},
        {Max, nullptr, 0},
        {MinusMax, nullptr, 0},
        {"1.0000000000000000000000000001", nullptr, 28},
        {"-0.00", "0", 2},
        {"007.50", "7.5", 2},
        {".5", "0.5", 1},
        // More than 28 decimals: rounded half to even at 28.
        {"0.00000000000000000000000000025", "0.0000000000000000000000000002", 28},
        {"0.000000000000000000000000000251", "0.0000000000000000000000000003", 28},
        // 31 significant digits: rounded at the largest scale that fits in 96 bits.
        {"1234567890123456789012345678.95", "1234567890123456789012345679", 1},
        {"79228162514264337593543950334.5", "79228162514264337593543950334", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Decimal d = dec(c.text);
        EXPECT_EQ(d.toString(), QString::fromLatin1(c.expected ? c.expected : c.text));
        EXPECT_EQ(d.scale(), c.scale);
    }
}

TEST(Decimal, ParseRejectsWhatIsNoPlainNumber) {
    const char* texts[] = {"", "-", ".", "1.2.3", "1e5", "abc", "1,5", " 1", "1 ", "--1"};
    for (const char* text : texts)
        EXPECT_FALSE(Decimal::parse(std::string_view(text)).has_value()) << text;
    EXPECT_EQ(Decimal::parse(QStringLiteral("1,5"), u',')->toString(), "1.5");
    EXPECT_FALSE(Decimal::parse(QStringLiteral("1€"), u',').has_value());
    // An integer part that does not fit overflows; so does one that rounds up to 2^96.
    for (const char* text : {"79228162514264337593543950336", "79228162514264337593543950335.5"})
        EXPECT_EQ(errorNumberOf([text] { Decimal::parse(std::string_view(text)); }),
                  rt::ErrOverflow);
}

Decimal apply(const Decimal& a, char op, const Decimal& b) {
    return op == '+' ? a + b : op == '-' ? a - b : op == '*' ? a * b : a / b;
}

TEST(Decimal, ArithmeticOverflowAndDivisionByZero) {
    const struct {
        const char* a;
        char op;
        const char* b;
        const char* expected; // nullptr: raises `error`
        int error = 0;
    } cases[] = {
        {"1", '+', "0.0000000000000000000000000001", "1.0000000000000000000000000001"},
        {"1.1", '*', "1.1", "1.21"},
        {"12345678901.123456", '*', "1000000", "12345678901123456"},
        // 29 decimals do not fit: rounded half to even at 28.
        {"0.1234567890123456789012345678", '*', "0.1", "0.0123456789012345678901234568"},
        {"0.0000000000000000000000000015", '*', "0.1", "0.0000000000000000000000000002"},
        {"1", '/', "3", "0.3333333333333333333333333333"},
        {Max, '/', "1", Max},
        {"1", '/', Max, "0"},
        {Max, '/', "10", "7922816251426433759354395033.5"},
        // The sum does not fit at scale 1: rounded half to even at scale 0.
        {"79228162514264337593543950334", '+', "0.5", "79228162514264337593543950334"},
        {"79228162514264337593543950333", '+', "0.5", "79228162514264337593543950334"},
        {"79228162514264337593543950334", '+', "1", Max},
        {Max, '+', "1", nullptr, rt::ErrOverflow},
        {Max, '+', "0.5", nullptr, rt::ErrOverflow}, // rounds to 2^96
        {MinusMax, '-', "1", nullptr, rt::ErrOverflow},
        {Max, '*', "2", nullptr, rt::ErrOverflow},
        {Max, '/', "0.5", nullptr, rt::ErrOverflow},
        {"1", '/', "0", nullptr, rt::ErrDivisionByZero},
        {"0", '/', "0.000", nullptr, rt::ErrDivisionByZero},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.op + " " + c.b);
        const Decimal a = dec(c.a), b = dec(c.b);
        QString result;
        EXPECT_EQ(errorNumberOf([&] { result = apply(a, c.op, b).toString(); }), c.error);
        EXPECT_EQ(result, QString::fromLatin1(c.expected));
    }
}

TEST(Decimal, ComparisonAcrossScales) {
    EXPECT_EQ(dec("1.50"), dec("1.5"));
    EXPECT_EQ(dec("-0.0"), Decimal(0));
    EXPECT_LT(dec("1.5"), dec("1.51"));
    EXPECT_LT(dec("-1"), dec("-0.9999999999999999999999999999"));
    EXPECT_GT(dec(Max), dec("79228162514264337593543950334"));
    EXPECT_GT(dec("7922816251426433759354395033.6"), dec("7922816251426433759354395033.5"));
    EXPECT_FALSE(dec("-0.0").isNegative());
    EXPECT_TRUE(dec("-0.01").isNegative());
    EXPECT_FALSE((-Decimal(0)).isNegative());
}

TEST(Decimal, FromDoubleKeepsFifteenSignificantDigits) {
    const std::pair<double, const char*> cases[] = {
        {1.0 / 3, "0.333333333333333"},
        {1234.5675, "1234.5675"},
        {123456789.123456789, "123456789.123457"},
        {1e20, "100000000000000000000"},
        {1e-30, "0"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(Decimal::fromDouble(value).toString(), QString::fromLatin1(expected));
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e30}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorNumberOf([bad] { Decimal::fromDouble(bad); }), rt::ErrOverflow);
    }
}

// Rounding and the conversion to an integer both halve to even.
TEST(Decimal, RoundedAndIntegerHalveToEven) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"2.345", 2, "2.34"},   {"2.355", 2, "2.36"},
        {"-2.345", 2, "-2.34"}, {"2.3451", 2, "2.35"},
        {"1.2", 3, "1.2"},      {"1.5", 0, "2"},
        {"2.5", 0, "2"},        {"-2.5", 0, "-2"},
        {"2.51", 0, "3"},       {"9223372036854775807", 0, "9223372036854775807"}};
    for (const auto& [text, decimals, expected] : cases) {
        SCOPED_TRACE(std::string(text) + " to " + std::to_string(decimals));
        EXPECT_EQ(dec(text).rounded(decimals).toString(), QString::fromLatin1(expected));
        if (decimals == 0) {
            EXPECT_EQ(QString::number(dec(text).toInt64()), QString::fromLatin1(expected));
        }
    }
    EXPECT_EQ(errorNumberOf([] { dec("9223372036854775807.5").toInt64(); }), rt::ErrOverflow);
    EXPECT_EQ(dec("0.1").toDouble(), 0.1);
    EXPECT_EQ(dec("-12345678901.123456").toDouble(), -12345678901.123456);
}

} // namespace
