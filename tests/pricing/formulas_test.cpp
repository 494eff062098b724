// The pricing formulas alone: mark-up, margin and VAT on the prices a sales list is derived
// from, exact to the digit that the price column keeps.
#include "pricing/formulas.h"
#include "tests/runtime/test_helpers.h"

#include <gtest/gtest.h>

namespace {

struct MarkupCase {
    const char* base;
    const char* pct;
    bool margin;
    const char* expected; // nullptr: no price
};

TEST(PricingFormulas, MarkupAndMargin) {
    const MarkupCase cases[] = {
        {"100", "25", false, "125"},      {"100", "25", true, "133.33333333333333333333333333"},
        {"6.834", "40", false, "9.5676"}, {"100", "-20", false, "80"},
        {"100", "50", true, "200"},       {"100", "0", true, "100"},
        {"100", "100", true, nullptr}, // would divide by zero
        {"100", "120", true, nullptr}, // would be negative
        {"0", "30", false, "0"},
    };
    for (const MarkupCase& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " " + c.pct + (c.margin ? " margin" : " on cost"));
        const auto price = pricing::priceByMarkup(dec(c.base), dec(c.pct), c.margin);
        if (c.expected == nullptr) {
            EXPECT_FALSE(price.has_value());
        } else {
            ASSERT_TRUE(price.has_value());
            EXPECT_EQ(price->toString(), dec(c.expected).toString());
        }
    }
}

struct VatCase {
    double price;
    std::int16_t vat;
    pricing::VatStep step;
    double expectedDouble;
    const char* expectedSixDecimals; // the exact form, rounded as the column keeps it
};

TEST(PricingFormulas, VatOutAndIn) {
    const VatCase cases[] = {
        {125, 22, pricing::VatStep::Add, 152.5, "152.5"},
        {125, 22, pricing::VatStep::Remove, 102.45901639344262, "102.459016"},
        {125, 10, pricing::VatStep::Add, 137.5, "137.5"},
        {104, 4, pricing::VatStep::Remove, 100, "100"},
        {125, 0, pricing::VatStep::Add, 125, "125"},
    };
    for (const VatCase& c : cases) {
        SCOPED_TRACE(c.price);
        const bool add = c.step == pricing::VatStep::Add;
        const double viaDouble =
            add ? pricing::addVat(c.price, c.vat) : pricing::removeVat(c.price, c.vat);
        EXPECT_DOUBLE_EQ(viaDouble, c.expectedDouble);
        const rt::Decimal exact = rt::Decimal::fromDouble(c.price);
        const rt::Decimal viaDecimal =
            add ? pricing::addVat(exact, c.vat) : pricing::removeVat(exact, c.vat);
        EXPECT_EQ(viaDecimal.rounded(6).toString(), QString::fromLatin1(c.expectedSixDecimals));
    }
}

TEST(PricingFormulas, VatStepFollowsTheTwoListsFlags) {
    using pricing::VatStep;
    const struct {
        int purchase, sales;
        VatStep step;
    } cases[] = {{1, 0, VatStep::Remove}, {0, 1, VatStep::Add},  {0, 0, VatStep::None},
                 {1, 1, VatStep::None},   {2, 0, VatStep::None}, {0, 2, VatStep::None}};
    for (const auto& c : cases)
        EXPECT_EQ(pricing::vatStepBetween(c.purchase, c.sales), c.step)
            << c.purchase << " " << c.sales;
}

} // namespace
