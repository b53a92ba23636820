#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>

// Numbers written to and read from files, independent of the process locale.
// printf, scanf, strtod and QString::toDouble follow the user's locale (a
// decimal comma in German); stored files must not.
namespace NumberText {

// "%g": six significant digits, trailing zeros dropped ("0.1", "1.23457e+06").
QString formatG(double value);
// "%f": six decimals ("12.500000").
QString formatF(double value);
// "%d".
QString formatInt(std::int64_t value);

std::string formatGAscii(double value);
std::string formatFAscii(double value);

// The leading decimal integer of the text after blanks, as strtol reads it
// ("007" is 7, "12 pt" is 12, "x" is 0); saturates at the int32 range.
std::int32_t leadingInt(QStringView text, bool* found = nullptr);

// The leading decimal real of the text after blanks, as strtod reads a
// decimal number: "1.2.3" is 1.2, "1e5" is 100000. Only digits, one point
// and an exponent are taken, never "inf" or "nan". The result saturates at
// the float range; no number gives 0.
double leadingReal(QStringView text, bool* found = nullptr);

// The same as a 32-bit float.
float leadingFloat(QStringView text, bool* found = nullptr);

// Clamps to the float range; NaN gives the fallback.
float saturatedFloat(double value, float fallback = 0.0f);

} // namespace NumberText
