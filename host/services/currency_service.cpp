#include "host/services/currency_service.h"

namespace host {

// Every currency code is served with the euro's values (see the header).

QString CurrencyService::priceFormat(const QString&) const {
    return QStringLiteral("#,##0.000");
}

QString CurrencyService::amountFormat(const QString&) const {
    return QStringLiteral("#,##0.00");
}

int CurrencyService::priceDecimals(const QString&) const {
    return EuroPriceDecimals;
}

int CurrencyService::amountDecimals(const QString&) const {
    return EuroAmountDecimals;
}

} // namespace host
