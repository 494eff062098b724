#pragma once
// Variant: the loosely typed value of the desktop run time. Empty, Null and "" are three
// different values; many rules of the window ("blank means Empty, Null or the empty text")
// depend on it. The type numbers are the run time's VarType codes.

#include "runtime/decimal.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

namespace rt {

// Base of every object a Variant can hold (host objects, recordsets, ...).
class Object {
  public:
    virtual ~Object() = default;
};

enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2, // 16-bit
    Long = 3,    // 32-bit
    Double = 5,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
    Decimal = 14,
};

struct NullValue {
    bool operator==(const NullValue&) const = default;
};

class Variant {
  public:
    Variant() = default; // Empty
    Variant(bool v) : value_(v) {}
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(const Decimal& v) : value_(v) {}
    Variant(const QString& v) : value_(v) {}
    Variant(const char* v) : value_(QString::fromUtf8(v)) {}
    // A Date: a calendar day and a time of day, without time zone (wall clock).
    Variant(const QDateTime& v) : value_(v) {}
    Variant(const QDate& v) : value_(QDateTime(v, QTime(0, 0))) {}
    Variant(std::shared_ptr<Object> v) : value_(std::move(v)) {}

    static Variant null() { return Variant(NullValue{}); }
    static Variant empty() { return Variant(); }

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isObject() const { return type() == VarType::Object; }
    bool isNumeric() const; // Integer, Long, Double, Decimal, Boolean

    // Direct access to the held value; the caller has checked the type.
    bool asBool() const { return std::get<bool>(value_); }
    std::int16_t asInteger() const { return std::get<std::int16_t>(value_); }
    std::int32_t asLong() const { return std::get<std::int32_t>(value_); }
    double asDouble() const { return std::get<double>(value_); }
    const Decimal& asDecimal() const { return std::get<Decimal>(value_); }
    const QString& asString() const { return std::get<QString>(value_); }
    const QDateTime& asDate() const { return std::get<QDateTime>(value_); }
    const std::shared_ptr<Object>& asObject() const {
        return std::get<std::shared_ptr<Object>>(value_);
    }

    // Same type and same value (no conversion); for tests and change detection.
    bool operator==(const Variant& o) const { return value_ == o.value_; }

    // Debug text such as "Decimal(12.5)" or "Empty".
    QString debugText() const;

  private:
    explicit Variant(NullValue n) : value_(n) {}
    std::variant<std::monostate, NullValue, std::int16_t, std::int32_t, double, QString, QDateTime,
                 std::shared_ptr<Object>, bool, Decimal>
        value_;
};

} // namespace rt
