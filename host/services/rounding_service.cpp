#include "host/services/rounding_service.h"

#include "host/contract/cinterface.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/decimal_rounding.h"
#include "runtime/conversions.h"

namespace host {

namespace {

// The range holding the price (see the header); nullptr when there is none.
const RoundingRange* rangeFor(const rt::Decimal& price, const std::vector<RoundingRange>& ranges) {
    const RoundingRange* holding = nullptr;
    for (const RoundingRange& r : ranges)
        if (r.priceFrom <= price && (!holding || r.priceFrom > holding->priceFrom))
            holding = &r;
    return holding;
}

rt::Decimal nearestMultiple(const rt::Decimal& price, const rt::Decimal& step) {
    return roundHalfUp(price / step, 0) * step;
}

// The ending reduced to 0 <= e < step.
rt::Decimal endingWithinStep(const rt::Decimal& ending, const rt::Decimal& step) {
    return ending - floorDecimal(ending / step) * step;
}

// The rounding of a price of at least 0.
rt::Decimal roundMagnitude(const rt::Decimal& price, const std::vector<RoundingRange>& ranges) {
    const RoundingRange* range = rangeFor(price, ranges);
    if (!range || range->step.isNegative() || range->step.isZero())
        return price;
    const rt::Decimal& step = range->step;
    const rt::Decimal rounded = nearestMultiple(price, step);
    const rt::Decimal ending =
        range->ending ? endingWithinStep(*range->ending, step) : rt::Decimal();
    if (rounded.isZero() || ending.isZero())
        return rounded;
    return rounded - step + ending;
}

} // namespace

rt::Decimal roundPriceByRanges(const rt::Decimal& price, const std::vector<RoundingRange>& ranges) {
    if (!price.isNegative())
        return roundMagnitude(price, ranges);
    const rt::Decimal magnitude = roundMagnitude(-price, ranges);
    return magnitude.isZero() ? rt::Decimal() : -magnitude;
}

double roundPriceByRanges(double price, const std::vector<RoundingRange>& ranges) {
    if (ranges.empty())
        return price;
    return roundPriceByRanges(rt::Decimal::fromDouble(price), ranges).toDouble();
}

RoundingService::RoundingService(std::shared_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

void RoundingService::attach(std::shared_ptr<Cinterface> contract) {
    contract_ = std::move(contract);
}

void RoundingService::setConnection(std::shared_ptr<Connection> connection) {
    connection_ = std::move(connection);
}

std::shared_ptr<Connection> RoundingService::activeConnection() const {
    if (connection_)
        return connection_;
    return contract_ ? contract_->connection() : nullptr;
}

const std::vector<RoundingRange>& RoundingService::rangesOf(std::int16_t bracket) {
    static const std::vector<RoundingRange> none;
    const auto connection = activeConnection();
    if (!connection)
        return none;
    if (cachedFor_.lock() != connection) {
        cache_.clear();
        cachedFor_ = connection;
    }
    if (auto found = cache_.find(bracket); found != cache_.end())
        return found->second;
    std::vector<RoundingRange> ranges;
    auto rs = connection->Execute(
        QStringLiteral("SELECT MG02_PREZZODA, MG02_ARROT, MG02_FINALE FROM MG02_SCAGLARR "
                       "WHERE MG02_CODICE = %1 ORDER BY MG02_PREZZODA")
            .arg(bracket));
    for (; !rs->IsEOF(); rs->MoveNext()) {
        const rt::Variant ending = rs->Fields(QStringLiteral("MG02_FINALE")).Value();
        ranges.push_back(
            {rt::CDec(rs->Fields(QStringLiteral("MG02_PREZZODA")).Value()),
             rt::CDec(rs->Fields(QStringLiteral("MG02_ARROT")).Value()),
             ending.isNull() ? std::nullopt : std::optional<rt::Decimal>(rt::CDec(ending))});
    }
    rs->Close();
    return cache_[bracket] = std::move(ranges);
}

double RoundingService::round(double price, std::int16_t bracket, const QString& currency) {
    Q_UNUSED(currency); // the brackets are in the company's currency
    return roundPriceByRanges(price, rangesOf(bracket));
}

} // namespace host
