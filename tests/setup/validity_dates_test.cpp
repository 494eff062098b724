// The validity dates a price list proposes, by indicator, header text and day.
#include "form/validity_dates.h"
#include "runtime/errors.h"
#include "tests/runtime/test_helpers.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const QDate Feb10(2024, 2, 10);
const QDate Feb29(2024, 2, 29);
const QDate Dec31(2023, 12, 31);
const QString None;

// Each row proposes the start and the end from the same indicator, header text and day.
TEST(ProposedValidityDates, ByIndicator) {
    const struct {
        const char* name;
        int indicator;
        std::optional<QString> header;
        rt::Variant fixed;
        QDate today;
        QString start, end;
        int error = 0; // raised by both instead
    } cases[] = {
        // 0: what the header holds, today when it is empty, nothing for an unknown side.
        {"typed", 0, u"10/05/2024"_qs, {}, Feb10, "10/05/2024", "10/05/2024"},
        {"empty is today", 0, QString(), {}, Feb29, "29/02/2024", "29/02/2024"},
        {"unknown side", 0, std::nullopt, {}, Feb10, None, None},
        // 1: the current month, February of a leap year included.
        {"month on the 1st", 1, QString(), {}, QDate(2024, 2, 1), "01/02/2024", "29/02/2024"},
        {"month on the 29th", 1, QString(), {}, Feb29, "01/02/2024", "29/02/2024"},
        {"common year", 1, QString(), {}, QDate(2023, 2, 15), "01/02/2023", "28/02/2023"},
        {"month in December", 1, QString(), {}, Dec31, "01/12/2023", "31/12/2023"},
        // 2: the current year; 3: from today until the end of 2099.
        {"year", 2, QString(), {}, Feb10, "01/01/2024", "31/12/2024"},
        {"open", 3, QString(), {}, Dec31, "31/12/2023", "31/12/2099"},
        // 4: the fixed dates of the parameters, whatever the header holds.
        {"fixed", 4, u"01/01/2030"_qs, rt::Variant(QDate(2024, 4, 1)), Feb10, "01/04/2024",
         "01/04/2024"},
        {"fixed date as text", 4, QString(), rt::Variant("5/3/2024"), Feb10, "05/03/2024",
         "05/03/2024"},
        // A fixed date that is no date raises the conversion error.
        {"fixed null", 4, QString(), rt::Variant::null(), Feb10, None, None,
         rt::ErrInvalidUseOfNull},
        {"fixed text", 4, QString(), rt::Variant("abc"), Feb10, None, None, rt::ErrTypeMismatch},
        {"fixed impossible day", 4, QString(), rt::Variant("31/02/2024"), Feb10, None, None,
         rt::ErrTypeMismatch},
        // Any other indicator proposes nothing.
        {"no indicator", -1, u"10/05/2024"_qs, {}, Feb10, None, None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto* propose : {&validity::proposedStartDate, &validity::proposedEndDate}) {
            QString proposed;
            EXPECT_EQ(
                errorNumberOf([&] { proposed = propose(c.indicator, c.header, c.fixed, c.today); }),
                c.error);
            EXPECT_EQ(proposed, propose == &validity::proposedStartDate ? c.start : c.end);
        }
    }
}

TEST(ProposedValidityDates, IndicatorAsTheParametersHoldIt) {
    // clang-format off
    const struct {
        const char* name;
        rt::Variant value;
        int expected;
    } cases[] = {
        {"integer", rt::Variant(std::int16_t{3}), 3}, {"long", rt::Variant(std::int32_t{0}), 0},
        {"decimal", rt::Variant(rt::Decimal(4)), 4}, {"double", rt::Variant(1.0), 1},
        {"numeric text", rt::Variant("2"), 2}, {"empty counts as zero", rt::Variant(), 0},
        {"null", rt::Variant::null(), -1}, {"fraction", rt::Variant(1.5), -1},
        {"out of range", rt::Variant(std::int16_t{5}), -1}, {"text", rt::Variant("x"), -1},
        {"negative", rt::Variant(std::int16_t{-1}), -1},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(validity::proposalIndicator(c.value), c.expected);
    }
}

} // namespace
