#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

// Numbers in this system travel as text (files, the component buffer) and are converted where
// they are used, one way everywhere: blanks around them allowed, a fraction rounded to the
// nearest whole number with ties to even (no bias for halves), letters refused.

std::string_view Trim(std::string_view text);

// The decimal number a text holds, or nothing when it holds none.
std::optional<double> ParseNumber(std::string_view text);

double RoundHalfEven(double value);

// Conversions that fail with TypeMismatch for a text that is no number and Overflow for a value
// outside the target's range.
double ToDouble(std::string_view text);
std::int32_t ToLong(std::string_view text);
std::int16_t ToInteger(std::string_view text);
std::int32_t ToLong(double value);

// An item id as the game files hold it: 16 bits, read from -32768 (old signed form) to 65535.
std::uint16_t ToItemId(std::string_view text);

// The same ranges for the text files a reader takes in, where a value must be written as a whole
// number: an optional sign and decimal digits, blanks around them allowed. A fraction, an
// exponent or another base would be another item or coordinate than the file means, so it fails
// with TypeMismatch rather than being rounded.
std::int32_t WholeLong(std::string_view text);
std::int16_t WholeInteger(std::string_view text);
std::uint16_t WholeItemId(std::string_view text);

// A number in the shortest decimal form: "12", "-3", "2.5".
std::string NumberText(double value);

// "0" followed by the upper-case hexadecimal digits of the value without leading zeros.
std::string HexText(std::uint32_t value);

// The leading run of hexadecimal digits of a text as a number (0 when there is none);
// nothing when the digits do not fit 32 bits.
std::optional<std::uint32_t> LeadingHexValue(std::string_view text);

} // namespace mw
