#include "runtime/variant.h"

#include "tests/runtime/test_helpers.h"

namespace {

using rt::Variant;

struct Probe : rt::Object {};

// The debug text is worked out from the type and names it.
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
        for (std::size_t j = 0; j < std::size(values); ++j) {
            SCOPED_TRACE(values[i].debugText().toStdString() + " vs " +
                         values[j].debugText().toStdString());
            EXPECT_EQ(values[i] == values[j], i == j);
        }
    // Same type compares by value: decimals across scales are equal.
    EXPECT_EQ(Variant(dec("1.50")), Variant(dec("1.5")));
}

TEST(Error, NumbersAndDescriptions) {
    const struct {
        rt::Error error;
        int number;
        const char* description;
    } cases[] = {
        {rt::Error::overflow(), 6, "Overflow"},
        {rt::Error::divisionByZero(), 11, "Divisione per zero"},
        {rt::Error::typeMismatch(), 13, "Tipo non corrispondente"},
        {rt::Error::invalidUseOfNull(), 94, "Utilizzo non valido di Null"},
        {rt::Error::objectNotSet(), 91,
         "Variabile oggetto o variabile del blocco With non impostata"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        EXPECT_EQ(c.error.number(), c.number);
        EXPECT_EQ(c.error.description(), QString::fromUtf8(c.description));
        EXPECT_STREQ(c.error.what(), c.description);
    }
}

} // namespace
