#include "common/Convert.h"

#include "common/RunError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mw {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

RunError NotANumber(std::string_view text) {
    return RunError(err::TypeMismatch,
                    "Type mismatch: \"" + std::string(text) + "\" is not a number");
}

RunError OutOfRange(std::string_view text, const char* range) {
    return RunError(err::Overflow,
                    "Overflow: " + std::string(text) + " does not fit the range " + range);
}

bool IsDecimalNumber(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

bool IsWholeNumber(std::string_view s) {
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// The whole number a text holds within min to max (`range` names them in the refusal).
std::int64_t WholeValue(std::string_view text, std::int64_t min, std::int64_t max,
                        const char* range) {
    std::string_view s = Trim(text);
    if (!IsWholeNumber(s))
        throw RunError(err::TypeMismatch,
                       "Type mismatch: \"" + std::string(text) + "\" is not a whole number");
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(s.data() + (s.front() == '+'), s.data() + s.size(), value);
    if (ec != std::errc() || value < min || value > max) throw OutOfRange(s, range);
    return value;
}

} // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view s = Trim(text);
    if (!IsDecimalNumber(s)) return std::nullopt;
    // Whole numbers are the common case and parse exactly without going through floating point.
    long long whole = 0;
    auto [end, ec] = std::from_chars(s.data() + (s.front() == '+'), s.data() + s.size(), whole);
    if (ec == std::errc() && end == s.data() + s.size()) return static_cast<double>(whole);
    std::string copy(s);
    return std::strtod(copy.c_str(), nullptr);
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

double ToDouble(std::string_view text) {
    auto value = ParseNumber(text);
    if (!value) throw NotANumber(text);
    return *value;
}

std::int32_t ToLong(double value) {
    double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        throw OutOfRange(NumberText(value), "-2147483648 to 2147483647");
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ToLong(std::string_view text) {
    double rounded = RoundHalfEven(ToDouble(text));
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        throw OutOfRange(Trim(text), "-2147483648 to 2147483647");
    return static_cast<std::int32_t>(rounded);
}

std::int16_t ToInteger(std::string_view text) {
    double rounded = RoundHalfEven(ToDouble(text));
    if (!(rounded >= -32768 && rounded <= 32767)) throw OutOfRange(Trim(text), "-32768 to 32767");
    return static_cast<std::int16_t>(rounded);
}

std::uint16_t ToItemId(std::string_view text) {
    double rounded = RoundHalfEven(ToDouble(text));
    if (!(rounded >= -32768 && rounded <= 65535))
        throw OutOfRange(Trim(text), "-32768 to 65535 of an item id");
    return static_cast<std::uint16_t>(static_cast<std::int32_t>(rounded) & 0xFFFF);
}

std::int32_t WholeLong(std::string_view text) {
    return static_cast<std::int32_t>(WholeValue(text, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max(),
                                                "-2147483648 to 2147483647"));
}

std::int16_t WholeInteger(std::string_view text) {
    return static_cast<std::int16_t>(WholeValue(text, -32768, 32767, "-32768 to 32767"));
}

std::uint16_t WholeItemId(std::string_view text) {
    return static_cast<std::uint16_t>(
        WholeValue(text, -32768, 65535, "-32768 to 65535 of an item id") & 0xFFFF);
}

std::string NumberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string HexText(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0%X", value);
    return text;
}

std::optional<std::uint32_t> LeadingHexValue(std::string_view text) {
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) break;
        int digit =
            std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace mw
