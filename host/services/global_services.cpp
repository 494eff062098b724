#include "host/services/global_services.h"

#include "host/contract/cinterface.h"
#include "host/data/connection.h"
#include "host/services/article_lookup.h"
#include "host/services/currency_service.h"
#include "host/services/log_service.h"
#include "host/services/media_link.h"
#include "host/services/net_price_calculator.h"
#include "host/services/number_formatter.h"
#include "host/services/recordset_supplier.h"
#include "host/services/rounding_service.h"

namespace host {

HostObjectFactory HostObjectFactory::standard(const QString& logFilePath) {
    HostObjectFactory f;
    f.logService = [logFilePath] { return std::make_shared<DialogLogService>(logFilePath); };
    f.connection = [] { return std::make_shared<Connection>(); };
    f.netPriceCalculator = [] {
        return std::make_shared<NetPriceCalculator>(std::make_shared<CurrencyService>());
    };
    f.roundingService = [] { return std::make_shared<RoundingService>(); };
    f.numberFormatter = [] { return std::make_shared<NumberFormatter>(); };
    f.recordsetSupplier = [] { return std::make_shared<RecordsetSupplier>(); };
    f.articleLookupProvider = [] { return std::make_shared<ArticleLookupProvider>(); };
    f.mediaLink = [] { return std::make_shared<MediaLink>(); };
    return f;
}

GlobalServices::GlobalServices() : currency_(std::make_shared<CurrencyService>()) {}

GlobalServices::~GlobalServices() = default;

void GlobalServices::closing(const std::shared_ptr<Cinterface>& contract) {
    closed_.append(contract);
}

void GlobalServices::clearContractReferences() {
    currentContract_.reset();
    closed_.clear();
}

} // namespace host
