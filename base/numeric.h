// The number rules of the program in one place: reading numbers from text
// (lenient and strict), 16- and 32-bit integer conversions with their
// rounding, 16-bit arithmetic that overflows, and the number texts written to
// the settings file. Every failure is a RuntimeError (overflow or type
// mismatch) that the caller handles.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base::num {

// Lenient reading: leading blanks skipped, an optional sign, digits with an
// optional fraction and exponent, or "&H" hexadecimal; reading stops at the
// first character that is not part of a number; no digits give 0.
double ReadLenient(std::string_view text);

// Strict reading: the whole text must be a number (blanks around it allowed):
// optional sign, digits with an optional fraction and exponent, or "&H"
// hexadecimal digits. Returns nullopt when it is not a number.
std::optional<double> TryReadStrict(std::string_view text);
// As TryReadStrict, but a text that is not a number is a type-mismatch error.
double ReadStrict(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// Conversions that fail with an overflow error when the result does not fit.
std::int16_t FloorToInt16(double value);
std::int16_t RoundToInt16(double value);  // halves to even
std::int32_t RoundToInt32(double value);  // halves to even

// 16-bit signed arithmetic; an overflow is an error.
std::int16_t Add16(std::int32_t a, std::int32_t b);
std::int16_t Mul16(std::int32_t a, std::int32_t b);
std::int16_t Neg16(std::int32_t a);

// Number text as written to the settings file: one leading blank for zero and
// positive values, a minus sign for negative ones, then the decimal digits.
std::string NumberText(std::int64_t value);
// Decimal digits without blank or leading zeros ("-5" for negatives).
std::string DecimalText(std::int64_t value);
// The "##" pattern: digits without leading zeros; 0 gives the empty text.
std::string FormatHashes(std::int64_t value);
// Upper-case hexadecimal digits without leading zeros ("C6C5D7", "0" for 0);
// a negative value gives the digits of its 32-bit pattern.
std::string HexText(std::int64_t value);

// The 16-bit Boolean: True is -1, False is 0.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

}  // namespace base::num
