// Net price: cascading discounts and surcharges, their amounts, rounding half up, never below 0.
#include "host/services/currency_service.h"
#include "host/services/net_price_calculator.h"
#include "tests/runtime/test_helpers.h"

#include <gtest/gtest.h>

namespace {

// Discounts and surcharges as blank-separated percentages; the slots not written are 0.
template <int N> void percentages(const char* text, rt::Decimal (&into)[N]) {
    const QStringList parts = QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
    for (int i = 0; i < N; ++i)
        into[i] = i < parts.size() ? dec(parts[i].toLatin1().constData()) : rt::Decimal();
}

TEST(NetPriceFormula, GivesTheExpectedNetPrice) {
    const struct {
        const char *name, *gross, *discounts, *discountAmount, *surcharges, *surchargeAmount;
        int decimals;
        const char* expected;
    } cases[] = {
        // clang-format off
        {"six discounts", "1000", "10 10 10 10 10 10", "0", "", "0", 3, "531.441"},
        {"surcharges cascade", "100", "", "0", "10 5", "0", 3, "115.5"},
        // Fails when the amounts change places with the percentages around them.
        {"amounts between the percentages", "100", "20", "10", "10", "2.5", 3, "79.5"},
        {"half rounds up, not to even", "0.0625", "", "0", "", "0", 3, "0.063"},
        {"half up to 2 decimals", "10.01", "50", "0", "", "0", 2, "5.01"},
        {"below half rounds down", "1.00049", "", "0", "", "0", 3, "1"},
        {"discount amount above the price gives 0", "10", "", "15", "", "0", 3, "0"},
        {"surcharge amount can lift a negative back", "10", "", "12", "", "3", 3, "1"},
        {"a tiny negative rounds to 0", "1", "", "1.0004", "", "0", 3, "0"},
        {"large prices stay exact", "123456789012.345678", "", "0", "", "0", 3, "123456789012.346"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rt::Decimal discounts[6], surcharges[2];
        percentages(c.discounts, discounts);
        percentages(c.surcharges, surcharges);
        EXPECT_EQ(host::computeNetPrice(dec(c.gross), discounts, dec(c.discountAmount), surcharges,
                                        dec(c.surchargeAmount), c.decimals)
                      .toString(),
                  QString::fromLatin1(c.expected));
    }
}

// The calculator as the window drives it: Variants in interface order, then compute.
host::NetPriceCalculator euroCalculator(const rt::Variant& gross, const rt::Variant& other) {
    host::NetPriceCalculator calc(std::make_shared<host::CurrencyService>());
    calc.setCurrency(QStringLiteral("EURO"));
    calc.setGrossPrice(gross);
    for (int i = 1; i <= 6; ++i)
        calc.setDiscount(i, other);
    calc.setDiscountAmount(other);
    calc.setSurcharge(1, other);
    calc.setSurcharge(2, other);
    calc.setSurchargeAmount(other);
    return calc;
}

TEST(NetPriceCalculator, BlankValuesCountAsZero) {
    for (const rt::Variant& blank : {rt::Variant(), rt::Variant::null(), rt::Variant(QString()),
                                     rt::Variant(QStringLiteral("   "))}) {
        SCOPED_TRACE(blank.debugText().toStdString());
        auto calc = euroCalculator(rt::Variant(dec("19.9999")), blank);
        calc.compute();
        EXPECT_EQ(calc.netPrice(), rt::Variant(dec("20")));
        calc = euroCalculator(blank, rt::Variant(dec("10")));
        calc.compute();
        EXPECT_EQ(calc.netPrice(), rt::Variant(dec("0"))) << "a blank gross price is 0";
    }
}

TEST(NetPriceCalculator, TakesEveryNumericVariant) {
    const struct {
        rt::Variant gross, discount;
        const char* expected;
    } cases[] = {
        {rt::Variant(dec("200")), rt::Variant(dec("12.5")), "175"},
        {rt::Variant(199.99), rt::Variant(10.0), "179.991"},
        {rt::Variant(std::int32_t(300)), rt::Variant(std::int16_t(20)), "240"},
        {rt::Variant(QStringLiteral("12,5")), rt::Variant(QStringLiteral("10")), "11.25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gross.debugText().toStdString());
        auto calc = euroCalculator(c.gross, rt::Variant());
        calc.setDiscount(3, c.discount);
        calc.compute();
        EXPECT_EQ(calc.netPrice(), rt::Variant(dec(c.expected))) << "a Decimal, whatever came in";
    }
}

TEST(NetPriceCalculator, RejectsBadIndexesAndTexts) {
    auto calc = euroCalculator(rt::Variant(dec("100")), rt::Variant());
    for (const auto& set : std::initializer_list<std::function<void()>>{
             [&] { calc.setDiscount(0, {}); }, [&] { calc.setDiscount(7, {}); },
             [&] { calc.setSurcharge(3, {}); }})
        EXPECT_EQ(errorNumberOf(set), rt::ErrSubscriptOutOfRange);
    calc.compute();
    calc.setDiscountAmount(rt::Variant(QStringLiteral("dieci")));
    EXPECT_EQ(errorNumberOf([&] { calc.compute(); }), rt::ErrTypeMismatch);
    EXPECT_EQ(calc.netPrice(), rt::Variant(dec("100")))
        << "a failed compute keeps the last net price";
}

} // namespace
