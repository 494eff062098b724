#pragma once
// The form utilities: small conversions of a field's or a cell's value used when the window
// builds SQL text. "Blank" means Empty, Null or the empty text. None of them catches errors
// except DataSql, which never raises.

#include "runtime/variant.h"

#include <QString>

// Empty, Null or the empty text.
bool IsBlank(const rt::Variant& value);

// Blank -> ""; otherwise the value as text with trailing blanks removed (leading blanks kept).
QString NzStr(const rt::Variant& value);

// Blank -> "NULL"; a numeric value -> its text with every "," replaced by "."; any other value
// -> its text with trailing blanks removed, without quotes. The second value has no effect.
QString SqlStr(const rt::Variant& value, const rt::Variant& unused = {});

// Non-numeric -> ""; otherwise rounded to 3 decimals (halves to even), divided by 1000 when the
// rounded value is greater than 1000, as text with "." as decimal separator.
QString FmtNum3(const rt::Variant& value);

// Blank -> Integer 0; otherwise the value as a Decimal (a non-number raises error 13).
rt::Variant NzDec(const rt::Variant& value);

// Blank -> "NULL"; a numeric value -> its text with "," replaced by "."; any other value is
// converted to a Decimal (error 13 when it is no number) and written with ".".
QString SqlNum(const rt::Variant& value);

// A date as the eight digits yyyymmdd for SQL date literals; "" for a blank value or one that
// is not a date. Never raises.
QString DataSql(const rt::Variant& value);
