#include "storage/form_utilities.h"

#include "runtime/conversions.h"
#include "tests/runtime/test_helpers.h"

namespace {

using rt::Variant;

const Variant Empty;
const Variant Null = Variant::null();
const QDate March5(2024, 3, 5);

struct Probe : rt::Object {};

// A text result, or the run-time error the utility raises.
struct Case {
    const char* name;
    Variant value;
    QString expected;
    int error = 0;
};

template <typename Utility> void check(const std::vector<Case>& cases, Utility utility) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString text;
        EXPECT_EQ(errorNumberOf([&] { text = utility(c.value); }), c.error);
        if (c.error == 0) {
            EXPECT_EQ(text, c.expected);
        }
    }
}

TEST(NzStr, BlankIsEmptyTextTrailingBlanksGo) {
    check(
        {
            {"Empty", Empty, ""},
            {"Null", Null, ""},
            {"empty text", Variant(""), ""},
            {"blanks only", Variant("   "), ""},
            {"leading kept", Variant("  abc  "), "  abc"},
            {"Double", Variant(12.5), "12,5"},
            {"Decimal", Variant(dec("0.000001")), "0,000001"},
            {"Date", Variant(March5), "05/03/2024"},
            {"Object", Variant(std::make_shared<Probe>()), "", rt::ErrTypeMismatch},
        },
        [](const Variant& v) { return NzStr(v); });
}

TEST(SqlStr, NullForBlankDotForNumbers) {
    check(
        {
            {"Empty", Empty, "NULL"},
            {"Null", Null, "NULL"},
            {"empty text", Variant(""), "NULL"},
            {"Decimal", Variant(dec("1234.56")), "1234.56"},
            {"numeric text", Variant("12,5"), "12.5"},
            {"text", Variant("ART 01  "), "ART 01"},
            {"leading blanks kept", Variant(" abc"), " abc"},
            {"no quoting", Variant("O'Brien"), "O'Brien"},
            {"blanks only", Variant("  "), ""},
            {"Date", Variant(March5), "05/03/2024"},
        },
        [](const Variant& v) { return SqlStr(v); });
    // The second value never changes the result.
    for (const Variant& v : {Empty, Variant(12.5), Variant("abc  ")}) {
        SCOPED_TRACE(v.debugText().toStdString());
        EXPECT_EQ(SqlStr(v, Variant("N")), SqlStr(v));
        EXPECT_EQ(SqlStr(v, Null), SqlStr(v));
    }
}

TEST(FmtNum3, RoundsToThreeAndDividesAboveOneThousand) {
    check(
        {
            {"12.34567", Variant(12.34567), "12.346"},
            {"1234.5 divided", Variant(1234.5), "1.2345"},
            {"1000 is not above", Variant(std::int32_t{1000}), "1000"},
            {"1000.0004 rounds to 1000", Variant(1000.0004), "1000"},
            {"1000.0005 half to even", Variant(1000.0005), "1000"},
            {"1000.0015 half to even", Variant(1000.0015), "1.000002"},
            {"quotient not rounded again", Variant(dec("1234.5678")), "1.234568"},
            {"999.9996 rounds to 1000", Variant(999.9996), "1000"},
            {"999999.9999 rounds then divides", Variant(999999.9999), "1000"},
            {"0.0125 half to even", Variant(0.0125), "0.012"},
            {"negative not divided", Variant(-5000.0), "-5000"},
            {"numeric text", Variant("12,5"), "12.5"},
            {"text with thousands", Variant("1.234,5"), "1.2345"},
            {"Empty is 0", Empty, "0"},
            {"Null", Null, ""},
            {"empty text", Variant(""), ""},
            {"Date", Variant(March5), ""},
        },
        [](const Variant& v) { return FmtNum3(v); });
}

TEST(NzDec, IntegerZeroForBlankDecimalOtherwise) {
    const struct {
        const char* name;
        Variant value;
        Variant expected;
        int error = 0;
    } cases[] = {
        {"Empty", Empty, Variant(std::int16_t{0})},
        {"Null", Null, Variant(std::int16_t{0})},
        {"empty text", Variant(""), Variant(std::int16_t{0})},
        {"Double", Variant(12.5), Variant(dec("12.5"))},
        {"Italian text", Variant("1.234,5"), Variant(dec("1234.5"))},
        {"zero text", Variant("0"), Variant(dec("0"))},
        {"letters", Variant("abc"), {}, rt::ErrTypeMismatch},
        {"blank text", Variant(" "), {}, rt::ErrTypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Variant result;
        EXPECT_EQ(errorNumberOf([&] { result = NzDec(c.value); }), c.error);
        if (c.error == 0) {
            EXPECT_EQ(result.type(), c.expected.type());
            EXPECT_EQ(result, c.expected);
        }
    }
}

TEST(SqlNum, NullForBlankDotAsDecimalSeparator) {
    check(
        {
            {"Empty", Empty, "NULL"},
            {"Null", Null, "NULL"},
            {"empty text", Variant(""), "NULL"},
            {"Double", Variant(12.5), "12.5"},
            {"Decimal", Variant(dec("0.000001")), "0.000001"},
            {"numeric text", Variant("12,5"), "12.5"},
            {"Boolean", Variant(false), "Falso"},
            {"Date is its serial", Variant(March5), "45356"},
            {"letters", Variant("abc"), "", rt::ErrTypeMismatch},
            {"Object", Variant(std::make_shared<Probe>()), "", rt::ErrTypeMismatch},
        },
        [](const Variant& v) { return SqlNum(v); });
}

TEST(DataSql, EightDigitsOrNothingAndNeverRaises) {
    check(
        {
            {"Date", Variant(March5), "20240305"},
            {"Date with time", Variant(QDateTime(March5, QTime(23, 59))), "20240305"},
            {"text dd/mm/yyyy", Variant("05/03/2024"), "20240305"},
            {"text with blanks", Variant(" 01/12/1999 "), "19991201"},
            {"year as printed", Variant(QDate(999, 1, 2)), "9990102"},
            {"empty text", Variant(""), ""},
            {"Empty", Empty, ""},
            {"Null", Null, ""},
            {"NULL text", Variant("NULL"), ""},
            {"impossible day", Variant("31/02/2024"), ""},
            {"number is no date", Variant(45356.0), ""},
            {"Object", Variant(std::make_shared<Probe>()), ""},
        },
        [](const Variant& v) { return DataSql(v); });
}

} // namespace
