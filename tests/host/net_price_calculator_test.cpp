// Net price: cascading discounts, the discount amount after them, surcharges, rounding half up
// to the price decimals, never below zero; blank inputs count as 0.
#include "host/services/currency_service.h"
#include "host/services/net_price_calculator.h"
#include "tests/runtime/test_helpers.h"

#include <array>
#include <cctype>
#include <gtest/gtest.h>

namespace {

struct NetCase {
    const char* name;
    const char* gross;
    std::array<const char*, 6> discounts;
    const char* discountAmount;
    std::array<const char*, 2> surcharges;
    const char* surchargeAmount;
    int decimals;
    const char* expected;
};

// clang-format off
const NetCase netCases[] = {
    {"all zero gives the gross price", "100", {"0", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "100"},
    {"all zero rounds the gross price", "12.3456", {"0", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "12.346"},
    {"one discount", "100", {"10", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "90"},
    {"discounts cascade, not add", "100", {"10", "5", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "85.5"},
    {"six discounts", "1000", {"10", "10", "10", "10", "10", "10"}, "0", {"0", "0"}, "0", 3, "531.441"},
    {"discount in the last slot", "80", {"0", "0", "0", "0", "0", "25"}, "0", {"0", "0"}, "0", 3, "60"},
    {"decimal percentages", "9.99", {"33.33", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "6.66"},
    {"amount after the percentages", "100", {"10", "0", "0", "0", "0", "0"}, "5", {"0", "0"}, "0", 3, "85"},
    {"surcharges cascade", "100", {"0", "0", "0", "0", "0", "0"}, "0", {"10", "5"}, "0", 3, "115.5"},
    {"surcharges after the discount amount", "100", {"20", "0", "0", "0", "0", "0"}, "10", {"10", "0"}, "2.5", 3, "79.5"},
    {"surcharge amount last", "10", {"50", "0", "0", "0", "0", "0"}, "0", {"100", "0"}, "0.125", 3, "10.125"},
    {"half rounds up, not to even", "0.0625", {"0", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "0.063"},
    {"no rounding needed", "10.01", {"50", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "5.005"},
    {"half up to 2 decimals", "10.01", {"50", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 2, "5.01"},
    {"below half rounds down", "1.00049", {"0", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "1"},
    {"discount amount above the price gives 0", "10", {"0", "0", "0", "0", "0", "0"}, "15", {"0", "0"}, "0", 3, "0"},
    {"a full discount gives 0", "10", {"100", "0", "0", "0", "0", "0"}, "0", {"50", "0"}, "0", 3, "0"},
    {"surcharge amount can lift a negative back", "10", {"0", "0", "0", "0", "0", "0"}, "12", {"0", "0"}, "3", 3, "1"},
    {"a tiny negative rounds to 0", "1", {"0", "0", "0", "0", "0", "0"}, "1.0004", {"0", "0"}, "0", 3, "0"},
    {"large prices stay exact", "123456789012.345678", {"0", "0", "0", "0", "0", "0"}, "0", {"0", "0"}, "0", 3, "123456789012.346"},
};
// clang-format on

void PrintTo(const NetCase& c, std::ostream* os) {
    *os << c.name;
}

class NetPriceFormula : public ::testing::TestWithParam<NetCase> {};

TEST_P(NetPriceFormula, GivesTheExpectedNetPrice) {
    const NetCase& c = GetParam();
    rt::Decimal discounts[6];
    for (int i = 0; i < 6; ++i)
        discounts[i] = dec(c.discounts[i]);
    rt::Decimal surcharges[2] = {dec(c.surcharges[0]), dec(c.surcharges[1])};
    const rt::Decimal net = host::computeNetPrice(dec(c.gross), discounts, dec(c.discountAmount),
                                                  surcharges, dec(c.surchargeAmount), c.decimals);
    EXPECT_EQ(net.toString(), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, NetPriceFormula, ::testing::ValuesIn(netCases),
                         [](const auto& testInfo) {
                             std::string n = testInfo.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

// The calculator as the window drives it: Variants in interface order, then compute.
host::NetPriceCalculator euroCalculator() {
    host::NetPriceCalculator calc(std::make_shared<host::CurrencyService>());
    calc.setCurrency(QStringLiteral("EURO"));
    return calc;
}

void setAll(host::NetPriceCalculator& calc, const rt::Variant& gross, const rt::Variant& other) {
    calc.setGrossPrice(gross);
    for (int i = 1; i <= 6; ++i)
        calc.setDiscount(i, other);
    calc.setDiscountAmount(other);
    calc.setSurcharge(1, other);
    calc.setSurcharge(2, other);
    calc.setSurchargeAmount(other);
}

TEST(NetPriceCalculator, BlankValuesCountAsZero) {
    const struct {
        const char* name;
        rt::Variant blank;
    } blanks[] = {{"Empty", rt::Variant()},
                  {"Null", rt::Variant::null()},
                  {"empty text", rt::Variant(QString())},
                  {"blank text", rt::Variant(QStringLiteral("   "))},
                  {"Integer 0", rt::Variant(std::int16_t(0))}};
    for (const auto& b : blanks) {
        SCOPED_TRACE(b.name);
        auto calc = euroCalculator();
        setAll(calc, rt::Variant(dec("19.9999")), b.blank);
        calc.compute();
        EXPECT_EQ(calc.netPrice(), rt::Variant(dec("20")));

        setAll(calc, b.blank, rt::Variant(dec("10")));
        calc.compute();
        EXPECT_EQ(calc.netPrice(), rt::Variant(dec("0"))) << "a blank gross price is 0";
    }
}

TEST(NetPriceCalculator, TakesEveryNumericVariant) {
    const struct {
        const char* name;
        rt::Variant gross;
        rt::Variant discount;
        const char* expected;
    } cases[] = {
        {"Decimal", rt::Variant(dec("200")), rt::Variant(dec("12.5")), "175"},
        {"Double", rt::Variant(199.99), rt::Variant(10.0), "179.991"},
        {"Long and Integer", rt::Variant(std::int32_t(300)), rt::Variant(std::int16_t(20)), "240"},
        {"Italian text", rt::Variant(QStringLiteral("12,5")), rt::Variant(QStringLiteral("10")),
         "11.25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto calc = euroCalculator();
        setAll(calc, c.gross, rt::Variant());
        calc.setDiscount(3, c.discount);
        calc.compute();
        ASSERT_EQ(calc.netPrice().type(), rt::VarType::Decimal);
        EXPECT_EQ(calc.netPrice().asDecimal().toString(), QString::fromLatin1(c.expected));
    }
}

TEST(NetPriceCalculator, RejectsBadIndexesAndTexts) {
    auto calc = euroCalculator();
    EXPECT_EQ(errorNumberOf([&] { calc.setDiscount(0, rt::Variant()); }),
              rt::ErrSubscriptOutOfRange);
    EXPECT_EQ(errorNumberOf([&] { calc.setDiscount(7, rt::Variant()); }),
              rt::ErrSubscriptOutOfRange);
    EXPECT_EQ(errorNumberOf([&] { calc.setSurcharge(3, rt::Variant()); }),
              rt::ErrSubscriptOutOfRange);
    setAll(calc, rt::Variant(dec("100")), rt::Variant());
    calc.compute();
    calc.setDiscountAmount(rt::Variant(QStringLiteral("dieci")));
    EXPECT_EQ(errorNumberOf([&] { calc.compute(); }), rt::ErrTypeMismatch);
    EXPECT_EQ(calc.netPrice(), rt::Variant(dec("100")))
        << "a failed compute keeps the last net price";
}

} // namespace
