#pragma once
// The filter expressions of a recordset: "FIELD op value" comparisons joined by AND and OR,
// with parentheses; values are numbers (compared as decimals), 'texts', #dates# or NULL.
// A NULL field matches no comparison with a value.

#include "runtime/variant.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace host {

class RecordFilter {
  public:
    struct Node;
    // columnIndex resolves a field name (and throws when there is none).
    static RecordFilter parse(const QString& expression,
                              const std::function<int(const QString&)>& columnIndex);
    bool matches(const std::vector<rt::Variant>& row) const;

  private:
    std::shared_ptr<const Node> root_;
};

} // namespace host
