#pragma once
// Currency service: formats and decimals of a currency's prices and amounts.
// "EURO": prices with 3 decimals ("#,##0.000"), amounts with 2 ("#,##0.00"). The company
// trades in euro only; any other code (blank included) gets the euro's formats and decimals,
// so that a list with a stray currency code still shows and rounds its prices sensibly.

#include "runtime/variant.h"

#include <QString>

namespace host {

class CurrencyService : public rt::Object {
  public:
    static constexpr int EuroPriceDecimals = 3;
    static constexpr int EuroAmountDecimals = 2;

    QString priceFormat(const QString& currency) const;
    QString amountFormat(const QString& currency) const;
    int priceDecimals(const QString& currency) const;
    int amountDecimals(const QString& currency) const;
};

} // namespace host
