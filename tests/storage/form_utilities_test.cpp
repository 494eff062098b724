#include "storage/form_utilities.h"

#include "runtime/conversions.h"
#include "tests/runtime/conversion_cases.h"

namespace {

using rt::Variant;

struct Probe : rt::Object {};
const Variant Object(std::make_shared<Probe>());

TEST(NzStr, BlankIsEmptyTextTrailingBlanksGo) {
    check<QString>({{"Empty", Empty, ""},
                    {"Null", Null, ""},
                    {"blanks only", Variant("   "), ""},
                    {"leading kept", Variant("  abc  "), "  abc"},
                    {"Double", Variant(12.5), "12,5"},
                    {"Object", Object, "", rt::ErrTypeMismatch}},
                   [](const Variant& v) { return NzStr(v); });
}

TEST(SqlStr, NullForBlankDotForNumbers) {
    check<QString>({{"Empty", Empty, "NULL"},
                    {"Null", Null, "NULL"},
                    {"empty text", Variant(""), "NULL"},
                    {"numeric text", Variant("12,5"), "12.5"},
                    {"text", Variant(" ART 01  "), " ART 01"},
                    {"no quoting", Variant("O'Brien"), "O'Brien"},
                    {"blanks only", Variant("  "), ""},
                    {"Date", Variant(March5), "05/03/2024"}},
                   [](const Variant& v) {
                       EXPECT_EQ(SqlStr(v, Variant("N")), SqlStr(v))
                           << "the second value changes nothing";
                       return SqlStr(v);
                   });
}

TEST(FmtNum3, RoundsToThreeAndDividesAboveOneThousand) {
    check<QString>({{"12.34567", Variant(12.34567), "12.346"},
                    {"1234.5 divided", Variant(1234.5), "1.2345"},
                    {"1000.0005 half to even", Variant(1000.0005), "1000"},
                    {"1000.0015 half to even", Variant(1000.0015), "1.000002"},
                    {"quotient not rounded again", Variant(dec("1234.5678")), "1.234568"},
                    {"999999.9999 rounds then divides", Variant(999999.9999), "1000"},
                    {"negative not divided", Variant(-5000.0), "-5000"},
                    {"text with thousands", Variant("1.234,5"), "1.2345"},
                    {"Empty is 0", Empty, "0"},
                    {"Null", Null, ""},
                    {"Date", Variant(March5), ""}},
                   [](const Variant& v) { return FmtNum3(v); });
}

// Variants of different types never compare equal: the Integer 0 is told from the Decimal 0.
TEST(NzDec, IntegerZeroForBlankDecimalOtherwise) {
    check<Variant>({{"Empty", Empty, Variant(std::int16_t{0})},
                    {"Null", Null, Variant(std::int16_t{0})},
                    {"empty text", Variant(""), Variant(std::int16_t{0})},
                    {"Double", Variant(12.5), Variant(dec("12.5"))},
                    {"Italian text", Variant("1.234,5"), Variant(dec("1234.5"))},
                    {"zero text", Variant("0"), Variant(dec("0"))},
                    {"letters", Variant("abc"), {}, rt::ErrTypeMismatch},
                    {"blank text", Variant(" "), {}, rt::ErrTypeMismatch}},
                   [](const Variant& v) { return NzDec(v); });
}

TEST(SqlNum, NullForBlankDotAsDecimalSeparator) {
    check<QString>({{"Empty", Empty, "NULL"},
                    {"empty text", Variant(""), "NULL"},
                    {"Decimal", Variant(dec("0.000001")), "0.000001"},
                    {"numeric text", Variant("12,5"), "12.5"},
                    {"Boolean", Variant(false), "Falso"},
                    {"Date is its serial", Variant(March5), "45356"},
                    {"letters", Variant("abc"), "", rt::ErrTypeMismatch},
                    {"Object", Object, "", rt::ErrTypeMismatch}},
                   [](const Variant& v) { return SqlNum(v); });
}

TEST(DataSql, EightDigitsOrNothingAndNeverRaises) {
    check<QString>({{"Date with time", Variant(QDateTime(March5, QTime(23, 59))), "20240305"},
                    {"text with blanks", Variant(" 01/12/1999 "), "19991201"},
                    {"year as printed", Variant(QDate(999, 1, 2)), "9990102"},
                    {"Null", Null, ""},
                    {"impossible day", Variant("31/02/2024"), ""},
                    {"number is no date", Variant(45356.0), ""},
                    {"Object", Object, ""}},
                   [](const Variant& v) { return DataSql(v); });
}

} // namespace
