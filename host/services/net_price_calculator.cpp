#include "host/services/net_price_calculator.h"

#include "host/services/currency_service.h"
#include "host/services/decimal_rounding.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

namespace host {

namespace {

const rt::Decimal Hundred(100);

// Blank values count as 0; anything else converts as CDec.
rt::Decimal blankAsZero(const rt::Variant& v) {
    if (v.isEmpty() || v.isNull())
        return {};
    if (v.type() == rt::VarType::String && rt::Trim(v.asString()).isEmpty())
        return {};
    return rt::CDec(v);
}

rt::Variant& slot(rt::Variant* values, int count, int index) {
    if (index < 1 || index > count)
        throw rt::Error(rt::ErrSubscriptOutOfRange,
                        QStringLiteral("Indice non compreso nell'intervallo"));
    return values[index - 1];
}

} // namespace

rt::Decimal computeNetPrice(const rt::Decimal& gross, const rt::Decimal (&discounts)[6],
                            const rt::Decimal& discountAmount, const rt::Decimal (&surcharges)[2],
                            const rt::Decimal& surchargeAmount, int priceDecimals) {
    rt::Decimal net = gross;
    // x (100 - d) / 100 rather than x (1 - d/100): exact for every percentage.
    for (const rt::Decimal& d : discounts)
        net = net * (Hundred - d) / Hundred;
    net -= discountAmount;
    for (const rt::Decimal& s : surcharges)
        net = net * (Hundred + s) / Hundred;
    net += surchargeAmount;
    const rt::Decimal rounded = roundHalfUp(net, priceDecimals);
    return rounded.isNegative() ? rt::Decimal() : rounded;
}

NetPriceCalculator::NetPriceCalculator(std::shared_ptr<CurrencyService> currency)
    : currencyService_(std::move(currency)) {}

void NetPriceCalculator::attachContext(std::shared_ptr<rt::Object> context) {
    context_ = std::move(context);
}

void NetPriceCalculator::setCurrency(const QString& code) {
    currency_ = code;
}

void NetPriceCalculator::setGrossPrice(const rt::Variant& v) {
    gross_ = v;
}

void NetPriceCalculator::setDiscount(int index, const rt::Variant& v) {
    slot(discounts_, 6, index) = v;
}

void NetPriceCalculator::setDiscountAmount(const rt::Variant& v) {
    discountAmount_ = v;
}

void NetPriceCalculator::setSurcharge(int index, const rt::Variant& v) {
    slot(surcharges_, 2, index) = v;
}

void NetPriceCalculator::setSurchargeAmount(const rt::Variant& v) {
    surchargeAmount_ = v;
}

int NetPriceCalculator::priceDecimals() const {
    return currencyService_ ? currencyService_->priceDecimals(currency_)
                            : CurrencyService::EuroPriceDecimals;
}

void NetPriceCalculator::compute() {
    rt::Decimal discounts[6];
    for (int i = 0; i < 6; ++i)
        discounts[i] = blankAsZero(discounts_[i]);
    rt::Decimal surcharges[2];
    for (int i = 0; i < 2; ++i)
        surcharges[i] = blankAsZero(surcharges_[i]);
    net_ = computeNetPrice(blankAsZero(gross_), discounts, blankAsZero(discountAmount_), surcharges,
                           blankAsZero(surchargeAmount_), priceDecimals());
}

rt::Variant NetPriceCalculator::netPrice() const {
    return net_;
}

} // namespace host
