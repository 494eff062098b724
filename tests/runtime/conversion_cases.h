#pragma once
// Table rows for the conversions and the form utilities: a value, and the result a conversion
// gives or the number of the run-time error it raises.

#include "tests/runtime/test_helpers.h"

#include <QDate>
#include <vector>

inline const rt::Variant Empty;
inline const rt::Variant Null = rt::Variant::null();
inline const QDate March5(2024, 3, 5);

template <typename T> struct Case {
    const char* name;
    rt::Variant value;
    T expected;
    int error = 0;
};

template <typename T, typename Convert>
void check(const std::vector<Case<T>>& cases, Convert convert) {
    for (const Case<T>& c : cases) {
        SCOPED_TRACE(c.name);
        T result{};
        EXPECT_EQ(errorNumberOf([&] { result = convert(c.value); }), c.error);
        EXPECT_EQ(c.error == 0 ? result : c.expected, c.expected);
    }
}
