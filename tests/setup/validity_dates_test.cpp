// The validity dates a price list proposes, by indicator, header text and day.
#include "form/validity_dates.h"
#include "runtime/errors.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

enum class Edge { Start, End };

struct ProposalCase {
    const char* name;
    Edge edge;
    int indicator;
    std::optional<QString> header;
    rt::Variant fixed;
    QDate today;
    QString expected;
};

QString propose(const ProposalCase& c) {
    return c.edge == Edge::Start
               ? validity::proposedStartDate(c.indicator, c.header, c.fixed, c.today)
               : validity::proposedEndDate(c.indicator, c.header, c.fixed, c.today);
}

const QDate Feb10(2024, 2, 10);
const QDate Feb1(2024, 2, 1);
const QDate Feb29(2024, 2, 29);
const QDate Dec31(2023, 12, 31);
const QString None;

TEST(ProposedValidityDates, ByIndicator) {
    const QList<ProposalCase> cases = {
        // 0: what the header holds, today when it is empty, nothing for an unknown side.
        {"typed start", Edge::Start, 0, QStringLiteral("10/05/2024"), {}, Feb10, "10/05/2024"},
        {"typed end", Edge::End, 0, QStringLiteral("31/05/2024"), {}, Feb10, "31/05/2024"},
        {"empty start is today", Edge::Start, 0, QString(), {}, Feb10, "10/02/2024"},
        {"empty end is today", Edge::End, 0, QString(), {}, Feb29, "29/02/2024"},
        {"unknown side start", Edge::Start, 0, std::nullopt, {}, Feb10, None},
        {"unknown side end", Edge::End, 0, std::nullopt, {}, Feb10, None},
        // 1: the current month, February of a leap year included.
        {"month start", Edge::Start, 1, QString(), {}, Feb29, "01/02/2024"},
        {"month end on the 1st", Edge::End, 1, QString(), {}, Feb1, "29/02/2024"},
        {"month end on the 10th", Edge::End, 1, QString(), {}, Feb10, "29/02/2024"},
        {"month end on the 29th", Edge::End, 1, QString(), {}, Feb29, "29/02/2024"},
        {"common year", Edge::End, 1, QString(), {}, QDate(2023, 2, 15), "28/02/2023"},
        {"month end in December", Edge::End, 1, QString(), {}, Dec31, "31/12/2023"},
        // 2: the current year.
        {"year start", Edge::Start, 2, QString(), {}, Feb10, "01/01/2024"},
        {"year end", Edge::End, 2, QString(), {}, Feb10, "31/12/2024"},
        // 3: from today, until the end of 2099.
        {"open start", Edge::Start, 3, QString(), {}, Dec31, "31/12/2023"},
        {"open end", Edge::End, 3, QString(), {}, Feb10, "31/12/2099"},
        // 4: the fixed dates of the parameters, whatever the header holds.
        {"fixed start", Edge::Start, 4, QStringLiteral("01/01/2030"),
         rt::Variant(QDate(2024, 4, 1)), Feb10, "01/04/2024"},
        {"fixed end", Edge::End, 4, QString(), rt::Variant(QDate(2024, 6, 30)), Feb10,
         "30/06/2024"},
        {"fixed date as text", Edge::End, 4, QString(), rt::Variant("5/3/2024"), Feb10,
         "05/03/2024"},
        // Any other indicator proposes nothing.
        {"indicator 5 start", Edge::Start, 5, QStringLiteral("10/05/2024"), {}, Feb10, None},
        {"indicator 5 end", Edge::End, 5, QString(), {}, Feb10, None},
        {"no indicator", Edge::Start, -1, QString(), {}, Feb10, None},
    };
    for (const ProposalCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(propose(c), c.expected);
    }
}

TEST(ProposedValidityDates, FixedDateThatIsNoDateRaisesTheConversionError) {
    const struct {
        const char* name;
        rt::Variant fixed;
        int error;
    } cases[] = {
        {"null", rt::Variant::null(), rt::ErrInvalidUseOfNull},
        {"text", rt::Variant("abc"), rt::ErrTypeMismatch},
        {"impossible day", rt::Variant("31/02/2024"), rt::ErrTypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (Edge edge : {Edge::Start, Edge::End}) {
            try {
                propose({"", edge, 4, QString(), c.fixed, Feb10, None});
                ADD_FAILURE() << "no error";
            } catch (const rt::Error& e) {
                EXPECT_EQ(e.number(), c.error);
            }
        }
    }
}

TEST(ProposedValidityDates, IndicatorAsTheParametersHoldIt) {
    const struct {
        const char* name;
        rt::Variant value;
        int expected;
    } cases[] = {
        {"integer", rt::Variant(std::int16_t{3}), 3},
        {"long zero", rt::Variant(std::int32_t{0}), 0},
        {"decimal", rt::Variant(rt::Decimal(4)), 4},
        {"double", rt::Variant(1.0), 1},
        {"numeric text", rt::Variant("2"), 2},
        {"empty counts as zero", rt::Variant(), 0},
        {"null", rt::Variant::null(), -1},
        {"fraction", rt::Variant(1.5), -1},
        {"out of range", rt::Variant(std::int16_t{5}), -1},
        {"negative", rt::Variant(std::int16_t{-1}), -1},
        {"text", rt::Variant("x"), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(validity::proposalIndicator(c.value), c.expected);
    }
}

} // namespace
