#pragma once
// Conversions of an Italian desktop run time. Numbers become text with "," as decimal
// separator and no thousands separator; the short date is dd/mm/yyyy.
// Every function throws rt::Error: 13 (Type mismatch) for a value that cannot be converted,
// 94 (Invalid use of Null) for Null where a value is needed, 6 (Overflow) out of range.

#include "runtime/variant.h"

#include <QDate>
#include <QString>

namespace rt {

// CStr: Empty -> "", Boolean -> "Vero"/"Falso", numbers with "," as decimal separator,
// Date -> "dd/mm/yyyy" (with " hh:mm:ss" when it has a time), Null -> error 94.
QString CStr(const Variant& v);
// CDec: numbers and numeric text ("1234,5", " 12 ") to Decimal; Empty -> 0; Boolean True -> -1.
Decimal CDec(const Variant& v);
// CDbl: as CDec but to double.
double CDbl(const Variant& v);
// CInt: 16-bit, halves to even (2.5 -> 2, 3.5 -> 4), Overflow out of -32768..32767.
std::int16_t CInt(const Variant& v);
// CLng: 32-bit, halves to even, Overflow out of range.
std::int32_t CLng(const Variant& v);
// CBool: numbers (0 = False), "Vero"/"Falso"/"True"/"False" texts.
bool CBool(const Variant& v);
// CDate: Date values, texts "dd/mm/yyyy", "d/m/yy" (two-digit years 00..29 -> 20xx, else 19xx),
// "dd-mm-yyyy", "dd.mm.yyyy", optionally followed by a time; an impossible day is error 13.
QDateTime CDate(const Variant& v);

// IsNumeric: Empty, numbers and texts that CDec accepts; Null and dates are not numeric.
bool IsNumeric(const Variant& v);
// IsDate: Date values and texts that CDate accepts.
bool IsDate(const Variant& v);

// Format(value, pattern) for the numeric patterns the program uses: "#,##0.000", "#,##0.00",
// "0.000", "0", "#,##0" ... with Italian separators ("#,##0.000" of 1234.5675 -> "1.234,568"),
// halves rounded away from zero as the run time's Format does; dates with "dd/mm/yyyy".
// An empty pattern gives CStr. Null gives "".
QString Format(const Variant& v, const QString& pattern);

// Trim/RTrim/LTrim of blanks only, as the run time does.
QString RTrim(const QString& s);
QString LTrim(const QString& s);
QString Trim(const QString& s);

// Today's date, replaceable in tests (see setTodayForTesting).
QDate Today();
void setTodayForTesting(const QDate& d); // an invalid date restores the system clock

} // namespace rt
