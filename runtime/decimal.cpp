#include "runtime/decimal.h"

#include "runtime/errors.h"

#include <boost/multiprecision/cpp_int.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rt {

using BigInt = boost::multiprecision::cpp_int;

namespace {

const BigInt& coefficientLimit() { // 2^96: the first coefficient that does not fit
    static const BigInt limit = BigInt(1) << 96;
    return limit;
}

BigInt powerOfTen(int n) {
    BigInt p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// num / den rounded half to even; den > 0, num of any sign.
BigInt divideHalfEven(const BigInt& num, const BigInt& den) {
    BigInt quotient = num / den; // truncates toward zero
    BigInt remainder = num % den;
    if (remainder == 0)
        return quotient;
    BigInt twice = abs(remainder) * 2;
    bool awayFromZero = twice > den || (twice == den && (quotient & 1) != 0);
    if (awayFromZero)
        quotient += num < 0 ? -1 : 1;
    return quotient;
}

} // namespace

// Conversion between Decimal and an arbitrary-precision signed coefficient with a scale.
struct DecimalAccess {
    static BigInt coefficient(const Decimal& d) {
        BigInt c = d.hi_;
        c = (c << 32) | d.mid_;
        c = (c << 32) | d.lo_;
        return d.negative_ ? BigInt(-c) : c;
    }

    static Decimal make(const BigInt& signedCoefficient, int scale) {
        Decimal d;
        BigInt c = abs(signedCoefficient);
        d.lo_ = static_cast<std::uint32_t>(c & 0xFFFFFFFFu);
        d.mid_ = static_cast<std::uint32_t>((c >> 32) & 0xFFFFFFFFu);
        d.hi_ = static_cast<std::uint32_t>((c >> 64) & 0xFFFFFFFFu);
        d.scale_ = static_cast<std::uint8_t>(scale);
        d.negative_ = signedCoefficient < 0;
        return d;
    }

    // The exact value num / (den * 10^scale) as a Decimal: kept as it is when it fits,
    // otherwise rounded half to even at the largest scale (at most 28) whose coefficient fits.
    static Decimal fit(const BigInt& num, const BigInt& den, int scale) {
        int drop = scale > Decimal::MaxScale ? scale - Decimal::MaxScale : 0;
        BigInt divisor = den * powerOfTen(drop);
        for (;;) {
            if (scale - drop < 0)
                throw Error::overflow();
            BigInt c = divideHalfEven(num, divisor);
            if (abs(c) < coefficientLimit())
                return make(c, scale - drop);
            ++drop;
            divisor *= 10;
        }
    }

    // A coefficient of at most 64 bits, without the big-integer arithmetic.
    static Decimal fromSmall(std::uint64_t magnitude, bool negative, int scale) {
        Decimal d;
        d.lo_ = static_cast<std::uint32_t>(magnitude & 0xFFFFFFFFu);
        d.mid_ = static_cast<std::uint32_t>(magnitude >> 32);
        d.scale_ = static_cast<std::uint8_t>(scale);
        d.negative_ = negative && magnitude != 0;
        return d;
    }
    static bool isSmall(const Decimal& d) { return d.hi_ == 0; }
    static std::uint64_t smallMagnitude(const Decimal& d) {
        return (std::uint64_t(d.mid_) << 32) | d.lo_;
    }

    // Trailing zeros of the coefficient removed while the scale stays at least minScale.
    static Decimal trimmed(const Decimal& d, int minScale) {
        if (isSmall(d)) {
            std::uint64_t c = smallMagnitude(d);
            int scale = d.scale_;
            while (scale > minScale && c % 10 == 0) {
                c /= 10;
                --scale;
            }
            return fromSmall(c, d.negative_, scale);
        }
        BigInt c = coefficient(d);
        int scale = d.scale_;
        while (scale > minScale && c % 10 == 0) {
            c /= 10;
            --scale;
        }
        return make(c, scale);
    }

    // Both coefficients brought to the larger of the two scales.
    static std::pair<BigInt, BigInt> aligned(const Decimal& a, const Decimal& b, int& scale) {
        scale = std::max(a.scale_, b.scale_);
        return {coefficient(a) * powerOfTen(scale - a.scale_),
                coefficient(b) * powerOfTen(scale - b.scale_)};
    }
};

Decimal::Decimal(std::int64_t v) {
    *this = DecimalAccess::make(BigInt(v), 0);
}

std::optional<Decimal> Decimal::parse(std::string_view text, char decimalSeparator) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    BigInt coefficient = 0;
    int digits = 0, scale = 0;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            coefficient = coefficient * 10 + (ch - '0');
            ++digits;
            if (inFraction)
                ++scale;
        } else if (ch == decimalSeparator && !inFraction) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    return DecimalAccess::fit(negative ? BigInt(-coefficient) : coefficient, 1, scale);
}

namespace {

// Up to 18 digits: the coefficient fits 64 bits and the value is kept exactly as written.
std::optional<Decimal> parseShort(const QString& text, QChar decimalSeparator) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    std::uint64_t coefficient = 0;
    int digits = 0, scale = 0;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch >= u'0' && ch <= u'9') {
            if (++digits > 18)
                return std::nullopt;
            coefficient = coefficient * 10 + (ch - u'0');
            if (inFraction)
                ++scale;
        } else if (ch == decimalSeparator.unicode() && !inFraction) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    return DecimalAccess::fromSmall(coefficient, negative, scale);
}

} // namespace

std::optional<Decimal> Decimal::parse(const QString& text, QChar decimalSeparator) {
    if (decimalSeparator.unicode() > 127)
        return std::nullopt;
    if (text.size() <= 20) {
        if (auto shortValue = parseShort(text, decimalSeparator))
            return shortValue;
    }
    for (QChar ch : text)
        if (ch.unicode() > 127)
            return std::nullopt;
    return parse(std::string_view(text.toLatin1().toStdString()),
                 static_cast<char>(decimalSeparator.unicode()));
}

Decimal Decimal::fromDouble(double v) {
    if (v != v || v - v != 0) // NaN or infinity
        throw Error::overflow();
    // 15 significant digits, correctly rounded: "d.dddddddddddddde[+-]x".
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", v);
    std::string text(buffer);
    auto e = text.find('e');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string mantissa = text.substr(0, e);
    mantissa.erase(mantissa.find('.'), 1);
    BigInt coefficient(mantissa); // signed, 15 digits
    int scale = 14 - exponent;
    if (scale < 0) {
        coefficient *= powerOfTen(-scale);
        scale = 0;
    }
    return DecimalAccess::trimmed(DecimalAccess::fit(coefficient, 1, scale), 0);
}

QString Decimal::toString(QChar decimalSeparator) const {
    Decimal t = DecimalAccess::trimmed(*this, 0);
    std::string digits = DecimalAccess::isSmall(t)
                             ? std::to_string(DecimalAccess::smallMagnitude(t))
                             : BigInt(abs(DecimalAccess::coefficient(t))).str();
    if (t.scale_ > 0) {
        if (digits.size() <= t.scale_)
            digits.insert(0, t.scale_ - digits.size() + 1, '0');
        digits.insert(digits.size() - t.scale_, 1, '.');
    }
    QString result = QString::fromLatin1(digits.c_str());
    if (t.scale_ > 0)
        result.replace(u'.', decimalSeparator);
    if (t.isNegative())
        result.prepend(u'-');
    return result;
}

double Decimal::toDouble() const {
    // Through the exact text, so that the double is the one nearest to the value.
    return std::strtod(toString(u'.').toLatin1().constData(), nullptr);
}

std::int64_t Decimal::toInt64() const {
    BigInt value = divideHalfEven(DecimalAccess::coefficient(*this), powerOfTen(scale_));
    if (value > INT64_MAX || value < INT64_MIN)
        throw Error::overflow();
    return static_cast<std::int64_t>(value);
}

Decimal Decimal::operator-() const {
    Decimal d = *this;
    d.negative_ = !isZero() && !negative_;
    return d;
}

namespace {

__extension__ typedef unsigned __int128 Wide; // products of two 64-bit coefficients

constexpr std::uint64_t pow10Small(int n) {
    std::uint64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

constexpr std::uint64_t MaxSmall = ~std::uint64_t(0);

} // namespace

// Sums, products and exact quotients of coefficients of at most 64 bits whose result also fits
// 64 bits at a scale of at most 28: the exact result, as the big-integer path gives it.
struct SmallArithmetic {
    static std::optional<Decimal> sum(const Decimal& a, const Decimal& b) {
        if (!DecimalAccess::isSmall(a) || !DecimalAccess::isSmall(b))
            return std::nullopt;
        const int scale = std::max(a.scale(), b.scale());
        if (scale - a.scale() > 19 || scale - b.scale() > 19)
            return std::nullopt;
        const Wide x = Wide(DecimalAccess::smallMagnitude(a)) * pow10Small(scale - a.scale());
        const Wide y = Wide(DecimalAccess::smallMagnitude(b)) * pow10Small(scale - b.scale());
        const bool xNegative = a.isNegative(), yNegative = b.isNegative();
        if (xNegative == yNegative) {
            const Wide total = x + y;
            if (total > MaxSmall)
                return std::nullopt;
            return DecimalAccess::fromSmall(std::uint64_t(total), xNegative, scale);
        }
        const bool xLarger = x >= y;
        const Wide difference = xLarger ? x - y : y - x;
        if (difference > MaxSmall)
            return std::nullopt;
        return DecimalAccess::fromSmall(std::uint64_t(difference), xLarger ? xNegative : yNegative,
                                        scale);
    }

    static std::optional<Decimal> product(const Decimal& a, const Decimal& b) {
        const int scale = a.scale() + b.scale();
        if (!DecimalAccess::isSmall(a) || !DecimalAccess::isSmall(b) || scale > Decimal::MaxScale)
            return std::nullopt;
        const Wide p = Wide(DecimalAccess::smallMagnitude(a)) * DecimalAccess::smallMagnitude(b);
        if (p > MaxSmall)
            return std::nullopt;
        return DecimalAccess::fromSmall(std::uint64_t(p), a.isNegative() != b.isNegative(), scale);
    }

    // The quotient at the smallest scale, not below max(0, s1 - s2), at which it is exact.
    static std::optional<Decimal> exactQuotient(const Decimal& a, const Decimal& b) {
        if (!DecimalAccess::isSmall(a) || !DecimalAccess::isSmall(b))
            return std::nullopt;
        const std::uint64_t dividend = DecimalAccess::smallMagnitude(a);
        const std::uint64_t divisor = DecimalAccess::smallMagnitude(b);
        const int minScale = std::max(0, a.scale() - b.scale());
        for (int scale = minScale; scale <= Decimal::MaxScale; ++scale) {
            const int exponent = scale - a.scale() + b.scale(); // >= 0
            if (exponent > 19)
                break;
            const Wide scaled = Wide(dividend) * pow10Small(exponent);
            if (scaled % divisor != 0)
                continue;
            const Wide q = scaled / divisor;
            if (q > MaxSmall)
                break;
            return DecimalAccess::fromSmall(std::uint64_t(q), a.isNegative() != b.isNegative(),
                                            scale);
        }
        return std::nullopt;
    }
};

Decimal Decimal::operator+(const Decimal& o) const {
    if (auto fast = SmallArithmetic::sum(*this, o))
        return *fast;
    int scale = 0;
    auto [a, b] = DecimalAccess::aligned(*this, o, scale);
    return DecimalAccess::fit(a + b, 1, scale);
}

Decimal Decimal::operator-(const Decimal& o) const {
    return *this + (-o);
}

Decimal Decimal::operator*(const Decimal& o) const {
    if (auto fast = SmallArithmetic::product(*this, o))
        return *fast;
    return DecimalAccess::fit(DecimalAccess::coefficient(*this) * DecimalAccess::coefficient(o), 1,
                              scale_ + o.scale_);
}

Decimal Decimal::operator/(const Decimal& o) const {
    if (o.isZero())
        throw Error::divisionByZero();
    if (auto exact = SmallArithmetic::exactQuotient(*this, o))
        return *exact;
    // (c1 / 10^s1) / (c2 / 10^s2) at scale 28: c1 * 10^(s2 + 28) / (c2 * 10^s1).
    BigInt num = DecimalAccess::coefficient(*this) * powerOfTen(o.scale_ + MaxScale);
    BigInt den = DecimalAccess::coefficient(o) * powerOfTen(scale_);
    if (den < 0) {
        num = -num;
        den = -den;
    }
    Decimal quotient = DecimalAccess::fit(num, den, MaxScale);
    // An exact quotient keeps no more decimals than it needs (10 / 4 -> 2.5).
    return DecimalAccess::trimmed(quotient, std::max(0, scale_ - o.scale_));
}

std::strong_ordering Decimal::operator<=>(const Decimal& o) const {
    int scale = 0;
    auto [a, b] = DecimalAccess::aligned(*this, o, scale);
    if (a < b)
        return std::strong_ordering::less;
    if (a > b)
        return std::strong_ordering::greater;
    return std::strong_ordering::equal;
}

Decimal Decimal::rounded(int decimals) const {
    if (decimals < 0 || decimals > MaxScale)
        throw Error(ErrInvalidProcedureCall,
                    QStringLiteral("Chiamata di routine o argomento non validi"));
    if (scale_ <= decimals)
        return *this;
    BigInt c = divideHalfEven(DecimalAccess::coefficient(*this), powerOfTen(scale_ - decimals));
    return DecimalAccess::make(c, decimals);
}

bool Decimal::isZero() const {
    return lo_ == 0 && mid_ == 0 && hi_ == 0;
}

bool Decimal::isNegative() const {
    return negative_ && !isZero();
}

} // namespace rt
