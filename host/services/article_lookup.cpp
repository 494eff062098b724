#include "host/services/article_lookup.h"

#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <algorithm>

namespace host {

namespace {

bool isBareNumber(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

void ArticleLookupProvider::prepare(const QString& companyCode) {
    const QString company = rt::Trim(companyCode);
    if (!isBareNumber(company))
        throw rt::Error::typeMismatch();
    query_ = QStringLiteral("SELECT MG66_CODART, MG87_DESCART FROM MG66_ANAGRART "
                            "LEFT JOIN MG87_DESCART ON MG87_DITTA_CG18 = MG66_DITTA_CG18 "
                            "AND MG87_CODART_MG66 = MG66_CODART AND MG87_OPZIONE_MG5E = '' "
                            "WHERE MG66_DITTA_CG18 = %1 ORDER BY MG66_CODART")
                 .arg(company);
    key_ = QStringLiteral("MG66_CODART");
    title_ = QStringLiteral("Articoli di magazzino");
    description_ = QStringLiteral("MG87_DESCART");
}

} // namespace host
