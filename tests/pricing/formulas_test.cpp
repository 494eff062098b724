// The pricing formulas alone: mark-up, margin and VAT, exact to the price column's digits.
#include "pricing/formulas.h"
#include "tests/runtime/test_helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(PricingFormulas, MarkupAndMargin) {
    const struct {
        const char *base, *pct;
        bool margin;
        const char* expected; // nullptr: no price
    } cases[] = {
        {"100", "25", false, "125"},      {"100", "25", true, "133.33333333333333333333333333"},
        {"6.834", "40", false, "9.5676"}, {"100", "-20", false, "80"},
        {"100", "50", true, "200"},       {"100", "0", true, "100"},
        {"100", "100", true, nullptr}, // would divide by zero
        {"100", "120", true, nullptr}, // would be negative
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " " + c.pct + (c.margin ? " margin" : " on cost"));
        const auto price = pricing::priceByMarkup(dec(c.base), dec(c.pct), c.margin);
        EXPECT_EQ(price ? price->toString() : QString(),
                  c.expected ? dec(c.expected).toString() : QString());
    }
}

// Both forms of each step: the double one, and the exact one rounded as the column keeps it.
TEST(PricingFormulas, VatOutAndIn) {
    const struct {
        double price;
        std::int16_t vat;
        bool add;
        double viaDouble;
        const char* sixDecimals;
    } cases[] = {
        {125, 22, true, 152.5, "152.5"},
        {125, 22, false, 102.45901639344262, "102.459016"},
        {125, 10, true, 137.5, "137.5"},
        {104, 4, false, 100, "100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.price);
        EXPECT_DOUBLE_EQ(c.add ? pricing::addVat(c.price, c.vat)
                               : pricing::removeVat(c.price, c.vat),
                         c.viaDouble);
        const rt::Decimal exact = rt::Decimal::fromDouble(c.price);
        EXPECT_EQ((c.add ? pricing::addVat(exact, c.vat) : pricing::removeVat(exact, c.vat))
                      .rounded(6)
                      .toString(),
                  QString::fromLatin1(c.sixDecimals));
    }
}

TEST(PricingFormulas, VatStepFollowsTheTwoListsFlags) {
    using pricing::VatStep;
    const std::tuple<int, int, VatStep> cases[] = {{1, 0, VatStep::Remove}, {0, 1, VatStep::Add},
                                                   {0, 0, VatStep::None},   {1, 1, VatStep::None},
                                                   {2, 0, VatStep::None},   {0, 2, VatStep::None}};
    for (const auto& [purchase, sales, step] : cases)
        EXPECT_EQ(pricing::vatStepBetween(purchase, sales), step) << purchase << " " << sales;
}

} // namespace
