#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace NumberText {

namespace {

std::string formatWith(double value, std::chars_format format, int precision)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (result.ec != std::errc())
        return "0";
    std::string text(buffer, result.ptr);
    if (format == std::chars_format::general) {
        // printf writes exponents with at least two digits ("1e+06").
        const auto e = text.find('e');
        if (e != std::string::npos && e + 2 < text.size() + 1) {
            const std::size_t digits = text.size() - (e + 2);
            if (digits == 1)
                text.insert(e + 2, "0");
        }
    }
    return text;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

qsizetype skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::string formatGAscii(double value)
{
    return formatWith(value, std::chars_format::general, 6);
}

std::string formatFAscii(double value)
{
    return formatWith(value, std::chars_format::fixed, 6);
}

QString formatG(double value)
{
    return QString::fromLatin1(formatGAscii(value));
}

QString formatF(double value)
{
    return QString::fromLatin1(formatFAscii(value));
}

QString formatInt(std::int64_t value)
{
    return QString::number(value);
}

std::int32_t leadingInt(QStringView text, bool* found)
{
    qsizetype i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::int64_t value = 0;
    bool any = false;
    constexpr std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        any = true;
        value = std::min<std::int64_t>(value * 10 + (text[i].unicode() - u'0'), limit);
    }
    if (found)
        *found = any;
    if (!any)
        return 0;
    if (negative)
        return std::int32_t(-value);
    return std::int32_t(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

double leadingReal(QStringView text, bool* found)
{
    qsizetype i = skipBlanks(text);
    std::string ascii;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii += '-';
        ++i;
    }
    bool mantissaDigits = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        ascii += char(text[i].unicode());
        mantissaDigits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        ascii += '.';
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            ascii += char(text[i].unicode());
            mantissaDigits = true;
        }
    }
    if (!mantissaDigits) {
        if (found)
            *found = false;
        return 0.0;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponent += char(text[j].unicode());
            ++j;
        }
        bool exponentDigits = false;
        for (; j < text.size() && isDigit(text[j]); ++j) {
            // Exponents beyond any double saturate the same way; keep the text short.
            if (exponent.size() < 8)
                exponent += char(text[j].unicode());
            exponentDigits = true;
        }
        if (exponentDigits)
            ascii += exponent;
    }
    if (ascii.size() > 1 && ascii.front() == '.')
        ascii.insert(0, "0");
    if (found)
        *found = true;
    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone: decide between overflow and underflow.
        const bool negative = ascii.front() == '-';
        const auto e = ascii.find('e');
        const bool tiny = e != std::string::npos && ascii[e + 1] == '-';
        if (tiny)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    if (result.ec != std::errc())
        return 0.0;
    return value;
}

float saturatedFloat(double value, float fallback)
{
    if (std::isnan(value))
        return fallback;
    constexpr double maxFloat = std::numeric_limits<float>::max();
    return float(std::clamp(value, -maxFloat, maxFloat));
}

float leadingFloat(QStringView text, bool* found)
{
    return saturatedFloat(leadingReal(text, found));
}

} // namespace NumberText
