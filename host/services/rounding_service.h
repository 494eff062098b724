#pragma once
// Rounding service: rounds a price by a rounding bracket kept in the database (table
// MG02_SCAGLARR: MG02_CODICE the bracket, MG02_PREZZODA where a range starts, MG02_ARROT its
// step, MG02_FINALE its optional ending), by the rule of docs/database.md:
// 1. The range: the one with the greatest start not above the price (a negative price is
//    looked up and rounded by its absolute value and keeps its sign). An unknown bracket, or
//    a price below the bracket's first range, leaves the price as it is.
// 2. The price becomes the nearest multiple of the range's step, halves up (step 0.05:
//    12.324 -> 12.30, 12.325 -> 12.35). A step of 0 leaves the price as it is.
// 3. With an ending e (not 0; taken modulo the step, as it should be below it) a rounded price
//    r that is not 0 becomes r - step + e, the price just below the round one that a shop
//    shows (step 1, e 0.90: 12 -> 11.90, 20 -> 19.90; step 10, e 9: 150 -> 149).
// 4. A price that rounds to 0 stays 0 (no ending); a positive price never turns negative.
// The currency does not choose the ranges: the brackets are in the company's currency.

#include "runtime/variant.h"

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace host {

class Cinterface;
class Connection;

struct RoundingRange {
    rt::Decimal priceFrom;             // the range starts at this price (MG02_PREZZODA)
    rt::Decimal step;                  // round to the nearest multiple (halves up)
    std::optional<rt::Decimal> ending; // e.g. 0.90: the price ends so, below the rounded one
};

// The pure rule on exact decimals; the ranges in any order.
rt::Decimal roundPriceByRanges(const rt::Decimal& price, const std::vector<RoundingRange>& ranges);
// The same for a price as the window passes it (converted with 15 significant digits).
double roundPriceByRanges(double price, const std::vector<RoundingRange>& ranges);

class RoundingService : public rt::Object {
  public:
    explicit RoundingService(std::shared_ptr<Connection> connection = {});
    // The contract's connection is used when no connection was given.
    void attach(std::shared_ptr<Cinterface> contract);
    void setConnection(std::shared_ptr<Connection> connection);
    // The rounded price; the price unchanged when the bracket is unknown or there is no
    // connection. A failing read of the brackets raises the connection's error.
    double round(double price, std::int16_t bracket, const QString& currency);

  private:
    std::shared_ptr<Connection> activeConnection() const;
    // The ranges of a bracket, read once per connection: a recalculation pass rounds many
    // rows by the same few brackets.
    const std::vector<RoundingRange>& rangesOf(std::int16_t bracket);
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<Cinterface> contract_;
    std::weak_ptr<Connection> cachedFor_;
    std::map<std::int16_t, std::vector<RoundingRange>> cache_;
};

} // namespace host
