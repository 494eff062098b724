#pragma once
// Number formatting: the text form of a number as a SQL numeric literal ("." as decimal
// separator, no grouping, no exponent). The check value is 0 when the text form is usable:
// for numbers (Integer, Long, Double, Decimal) and numeric texts ("12,5"); Decimals keep every
// digit, Doubles their 15 significant digits. Anything else (Empty, Null, Boolean, dates,
// objects, other texts, a Double out of the Decimal range) gives 1 and an empty text.

#include "runtime/variant.h"

#include <QString>

namespace host {

class NumberFormatter : public rt::Object {
  public:
    void setNumber(const rt::Variant& v);
    int checkValue() const { return check_; }
    QString text() const { return text_; }

  private:
    int check_ = 1;
    QString text_;
};

} // namespace host
