#include "base/numeric.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>

#include "base/runtime_error.h"

namespace base::num {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// What one scan found: the value, where the number ended, and whether any
// digit was seen (a sign or "&H" alone is not a number).
struct Scan {
  double value = 0;
  std::size_t end = 0;
  bool has_digits = false;
};

// "&H" / "&O" digits. A value that fits 32 bits unsigned is that bit pattern
// as a signed 32-bit integer (&HFFFFFFFF is -1), which is how colour values
// written in hexadecimal come back right. A longer number has no 32-bit
// meaning; it is given as its plain unsigned value, so any integer conversion
// of it reports an overflow instead of wrapping silently.
Scan ScanRadix(std::string_view text, std::size_t pos, int radix) {
  Scan scan;
  double value = 0;
  while (pos < text.size() && DigitValue(text[pos]) < radix) {
    value = value * radix + DigitValue(text[pos]);
    scan.has_digits = true;
    ++pos;
  }
  scan.end = pos;
  scan.value = value <= 4294967295.0 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(value)) : value;
  return scan;
}

// Builds the value of a decimal mantissa and exponent. The digits are
// normalised to "d.ddd e<order>" so that absurd exponents or thousands of
// leading zeros cannot reach the parser: far out of range gives infinity
// (an overflow for every integer conversion), far below gives 0.
// "d.ddde±n" as the nearest double. Emscripten's C++ library cannot parse a
// double with from_chars; its C library always reads in the "C" locale, so
// strtod gives the same value there (elsewhere a toolkit may have set a
// locale whose decimal separator is not a point).
double ParseNormal(const std::string& normal, std::int64_t order) {
  double value = 0;
#ifdef __EMSCRIPTEN__
  errno = 0;
  value = std::strtod(normal.c_str(), nullptr);
  if (errno == ERANGE) return order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
#else
  const auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (ec == std::errc::result_out_of_range) return order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
#endif
  return value;
}

double DecimalValue(std::string_view int_digits, std::string_view frac_digits, std::int64_t exponent) {
  std::string digits;
  digits.reserve(int_digits.size() + frac_digits.size());
  digits.append(int_digits).append(frac_digits);
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  const std::int64_t order =
      static_cast<std::int64_t>(int_digits.size()) - static_cast<std::int64_t>(first) - 1 + exponent;
  if (order > 400) return std::numeric_limits<double>::infinity();
  if (order < -400) return 0;
  std::string normal;
  normal.reserve(digits.size() - first + 8);
  normal += digits[first];
  normal += '.';
  normal.append(digits, first + 1);
  normal += 'e';
  normal += std::to_string(order);
  return ParseNormal(normal, order);
}

// Exponent part "E" or "D", optional sign, digits. Without digits it is not
// part of the number and `end` stays where the mantissa ended.
std::size_t ScanExponent(std::string_view text, std::size_t pos, std::int64_t& exponent) {
  if (pos >= text.size() || (Upper(text[pos]) != 'E' && Upper(text[pos]) != 'D')) return pos;
  std::size_t p = pos + 1;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !IsDigit(text[p])) return pos;
  std::int64_t value = 0;
  for (; p < text.size() && IsDigit(text[p]); ++p) {
    if (value < 1'000'000'000) value = value * 10 + (text[p] - '0');  // saturates far beyond any double
  }
  exponent = negative ? -value : value;
  return p;
}

Scan ScanDecimal(std::string_view text, std::size_t pos) {
  Scan scan;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const std::size_t int_begin = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  const std::string_view int_digits = text.substr(int_begin, pos - int_begin);
  std::string_view frac_digits;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t frac_begin = ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    frac_digits = text.substr(frac_begin, pos - frac_begin);
  }
  scan.has_digits = !int_digits.empty() || !frac_digits.empty();
  if (!scan.has_digits) {
    scan.end = int_begin;
    return scan;
  }
  std::int64_t exponent = 0;
  scan.end = ScanExponent(text, pos, exponent);
  const double magnitude = DecimalValue(int_digits, frac_digits, exponent);
  scan.value = (negative && magnitude != 0) ? -magnitude : magnitude;
  return scan;
}

// One number starting at `pos`; the lenient and the strict reader share it so
// that both always agree on what a number is and what it is worth.
Scan ScanNumber(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && text[pos] == '&') {
    const char kind = Upper(text[pos + 1]);
    if (kind == 'H') return ScanRadix(text, pos + 2, 16);
    if (kind == 'O') return ScanRadix(text, pos + 2, 8);
  }
  return ScanDecimal(text, pos);
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

void RequireRange(double value, double low, double high) {
  if (!(value >= low && value <= high)) throw OverflowError();  // NaN fails too
}

std::int16_t Checked16(std::int64_t value) {
  if (value < -32768 || value > 32767) throw OverflowError();
  return static_cast<std::int16_t>(value);
}

}  // namespace

double ReadLenient(std::string_view text) {
  const Scan scan = ScanNumber(text, SkipBlanks(text, 0));
  return scan.has_digits ? scan.value : 0.0;
}

std::optional<double> TryReadStrict(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  const std::string_view trimmed = text.substr(0, end);
  const Scan scan = ScanNumber(trimmed, SkipBlanks(trimmed, 0));
  if (!scan.has_digits || scan.end != trimmed.size()) return std::nullopt;
  return scan.value;
}

double ReadStrict(std::string_view text) {
  const std::optional<double> value = TryReadStrict(text);
  if (!value) throw TypeMismatchError();
  return *value;
}

// The program never leaves the default rounding mode, to nearest with ties
// to even, so the processor's own rounding is the rule (and the light rays
// round two coordinates a step).
double RoundHalfEven(double value) { return std::nearbyint(value); }

std::int16_t FloorToInt16(double value) {
  const double floored = std::floor(value);
  RequireRange(floored, -32768, 32767);
  return static_cast<std::int16_t>(floored);
}

std::int16_t RoundToInt16(double value) {
  const double rounded = RoundHalfEven(value);
  RequireRange(rounded, -32768, 32767);
  return static_cast<std::int16_t>(rounded);
}

std::int32_t RoundToInt32(double value) {
  const double rounded = RoundHalfEven(value);
  RequireRange(rounded, -2147483648.0, 2147483647.0);
  return static_cast<std::int32_t>(rounded);
}

std::int16_t Add16(std::int32_t a, std::int32_t b) { return Checked16(std::int64_t{a} + b); }
std::int16_t Mul16(std::int32_t a, std::int32_t b) { return Checked16(std::int64_t{a} * b); }
std::int16_t Neg16(std::int32_t a) { return Checked16(-std::int64_t{a}); }

std::string NumberText(std::int64_t value) { return value < 0 ? std::to_string(value) : " " + std::to_string(value); }

std::string DecimalText(std::int64_t value) { return std::to_string(value); }

std::string FormatHashes(std::int64_t value) { return value == 0 ? std::string() : std::to_string(value); }

std::string HexText(std::int64_t value) {
  auto bits = static_cast<std::uint64_t>(value < 0 ? static_cast<std::uint32_t>(value) : value);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  return digits;
}

}  // namespace base::num
