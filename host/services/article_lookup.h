#pragma once
// Article look-up provider: prepares the look-up of the article field: the query, the key
// column and the title of the list the user picks from. The query lists the company's
// articles with their own description (the description row without option), by code.

#include "runtime/variant.h"

#include <QString>

namespace host {

class ArticleLookupProvider : public rt::Object {
  public:
    // The company code is written into the query as a bare number; a code that is not an
    // unsigned integer raises error 13 (Type mismatch) and leaves the provider as it was.
    void prepare(const QString& companyCode);
    QString query() const { return query_; }                       // first text
    rt::Variant keyColumn() const { return key_; }                 // the Variant
    QString title() const { return title_; }                       // second text
    rt::Variant descriptionColumn() const { return description_; } // the value handed to the field

  private:
    QString query_;
    rt::Variant key_;
    QString title_;
    rt::Variant description_;
};

} // namespace host
