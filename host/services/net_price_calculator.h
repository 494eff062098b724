#pragma once
// Net-price calculator: the net price of a gross price with cascading percentage discounts,
// a discount amount, percentage surcharges and a surcharge amount.
//
// Net = ((Gross x (1-sc1/100) x ... x (1-sc6/100)) - discount amount)
//       x (1+mg1/100) x (1+mg2/100) + surcharge amount,
// worked in exact decimals and rounded half up to the currency's price decimals at the end.
// The discount amount is taken from the price after the percentage discounts (as an invoice
// line does); surcharges follow the discounts. With all ten values at 0 the net price is the
// gross price (rounded to the price decimals).
//
// A net price is never below zero: when the discounts (typically a discount amount larger
// than the discounted price) would take it below zero, it is 0. A sale at a negative price
// is not a price a trading company lists; 0 shows the user that the discounts eat it all.
//
// Blank inputs (Empty, Null, the empty or blank text) count as 0; any other value is
// converted as the run time's CDec does (a text that is not a number raises error 13).

#include "runtime/variant.h"

#include <QString>
#include <memory>

namespace host {

class CurrencyService;

class NetPriceCalculator : public rt::Object {
  public:
    // Without a currency service the price decimals are 3, the euro's.
    explicit NetPriceCalculator(std::shared_ptr<CurrencyService> currency = {});
    void attachContext(std::shared_ptr<rt::Object> context);
    void setCurrency(const QString& code);
    void setGrossPrice(const rt::Variant& v);
    void setDiscount(int index, const rt::Variant& v); // 1..6, else error 9
    void setDiscountAmount(const rt::Variant& v);
    void setSurcharge(int index, const rt::Variant& v); // 1..2, else error 9
    void setSurchargeAmount(const rt::Variant& v);
    // Works out the net price of the values set so far (they stay set for the next call).
    void compute();
    rt::Variant netPrice() const; // a Decimal after compute; Empty before the first one

  private:
    int priceDecimals() const;
    std::shared_ptr<CurrencyService> currencyService_;
    std::shared_ptr<rt::Object> context_;
    QString currency_;
    rt::Variant gross_, discountAmount_, surchargeAmount_;
    rt::Variant discounts_[6], surcharges_[2];
    rt::Variant net_;
};

// The pure formula behind the calculator (never below zero, see above).
rt::Decimal computeNetPrice(const rt::Decimal& gross, const rt::Decimal (&discounts)[6],
                            const rt::Decimal& discountAmount, const rt::Decimal (&surcharges)[2],
                            const rt::Decimal& surchargeAmount, int priceDecimals);

} // namespace host
