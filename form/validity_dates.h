#pragma once
// The validity dates a price list proposes for a new row, from the indicators of its
// price-list parameters (MG44_INDPROPDATAINI, MG44_INDPROPDATAFINE):
//   0 the date typed in the side's header (today when it is empty)
//   1 the current month, 2 the current year, 3 from today / until 31/12/2099
//   4 the fixed date of the parameters (MG44_PROPDATAINI, MG44_PROPDATAFINE)
// Any other indicator proposes nothing (the empty text). Dates are texts dd/mm/yyyy.

#include "runtime/variant.h"

#include <QDate>
#include <QString>
#include <optional>

namespace validity {

// The indicator as the proposal reads it: a whole number 0..4, or -1 for anything else
// (Null, a fraction, a text that is no number). Empty counts as 0.
int proposalIndicator(const rt::Variant& indicator);

// The header date of the side for indicator 0: sideHeader is the trimmed text of the side's
// header field, or nullopt when the parameter row names no known side (then nothing is
// proposed). fixedDate is read for indicator 4 only; a value that is no date raises the run
// time's conversion error (13, or 94 for Null).
QString proposedStartDate(int indicator, const std::optional<QString>& sideHeader,
                          const rt::Variant& fixedDate, const QDate& today);
QString proposedEndDate(int indicator, const std::optional<QString>& sideHeader,
                        const rt::Variant& fixedDate, const QDate& today);

// A day as the user's short date text, dd/mm/yyyy.
QString shortDate(const QDate& day);

} // namespace validity
