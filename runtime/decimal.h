#pragma once
// Decimal: an exact decimal number of up to 29 significant digits, as the desktop run time
// keeps it: a 96-bit unsigned coefficient, a sign and a scale 0..28 (value = coefficient /
// 10^scale). Arithmetic is exact while the result fits; when a result needs more digits it is
// rounded half to even at the largest scale that fits. A result whose integer part does not fit in
// 96 bits raises rt::Error 6 (Overflow); division by zero raises rt::Error 11.

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rt {

class Decimal {
  public:
    static constexpr int MaxScale = 28;

    Decimal() = default; // zero
    Decimal(int v) : Decimal(static_cast<std::int64_t>(v)) {}
    Decimal(std::int64_t v);

    // Exact parse of "[-+]digits[.digits]" (decimal separator given; no thousands separators,
    // no exponent). Digits beyond what fits are rounded half to even. nullopt when the text is
    // not such a number; throws Overflow when the integer part is too large.
    static std::optional<Decimal> parse(std::string_view text, char decimalSeparator = '.');
    static std::optional<Decimal> parse(const QString& text, QChar decimalSeparator = u'.');
    // Conversion from Double keeps 15 significant digits (as the run time's CDec does).
    // Throws Overflow for NaN, infinities and values out of range.
    static Decimal fromDouble(double v);

    // Plain text without exponent, with the given decimal separator; trailing zeros of the
    // scale are dropped (1.2300 -> "1.23", 2.0 -> "2"), as the run time prints decimals.
    QString toString(QChar decimalSeparator = u'.') const;
    double toDouble() const;
    // Rounds half to even to an integer; throws Overflow when out of int64 range.
    std::int64_t toInt64() const;

    Decimal operator-() const;
    Decimal operator+(const Decimal& o) const;
    Decimal operator-(const Decimal& o) const;
    Decimal operator*(const Decimal& o) const;
    Decimal operator/(const Decimal& o) const;
    Decimal& operator+=(const Decimal& o) { return *this = *this + o; }
    Decimal& operator-=(const Decimal& o) { return *this = *this - o; }
    Decimal& operator*=(const Decimal& o) { return *this = *this * o; }
    Decimal& operator/=(const Decimal& o) { return *this = *this / o; }

    std::strong_ordering operator<=>(const Decimal& o) const;
    bool operator==(const Decimal& o) const { return (*this <=> o) == 0; }

    // Rounded half to even to the given number of decimals (0..28).
    Decimal rounded(int decimals) const;
    bool isZero() const;
    bool isNegative() const;
    int scale() const { return scale_; }

  private:
    // Coefficient kept as three 32-bit words, low word first.
    std::uint32_t lo_ = 0, mid_ = 0, hi_ = 0;
    std::uint8_t scale_ = 0;
    bool negative_ = false;
    friend struct DecimalAccess;
};

} // namespace rt
