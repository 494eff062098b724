#pragma once
// Helpers shared by the run-time and form-utility tests.

#include "runtime/errors.h"
#include "runtime/variant.h"

#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace rt {
inline void PrintTo(const Variant& v, std::ostream* os) {
    *os << v.debugText().toStdString();
}
inline void PrintTo(const Decimal& d, std::ostream* os) {
    *os << d.toString().toStdString();
}
} // namespace rt

// The number of the rt::Error that `call` raises, or 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const rt::Error& e) {
        return e.number();
    }
    return 0;
}

inline rt::Decimal dec(const char* text) {
    auto d = rt::Decimal::parse(std::string_view(text));
    if (!d)
        ADD_FAILURE() << "not a decimal: " << text;
    return d.value_or(rt::Decimal());
}
