// Fuzzes the number reader and the integer conversions: no input may crash
// them, and the lenient and strict readers must agree on every number.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/numeric.h"
#include "base/runtime_error.h"

namespace {

namespace num = base::num;

// A broken rule stops the run with a report, just like a crash.
void Require(bool ok, const char* rule) {
  if (ok) return;
  std::fprintf(stderr, "broken rule: %s\n", rule);
  std::abort();
}

// The error number a statement raises, or 0 when it raises none.
template <class Statement>
int ErrorOf(Statement&& statement) {
  try {
    statement();
  } catch (const base::RuntimeError& error) {
    return error.Number();
  }
  return 0;
}

// A conversion either gives the exactly expected integer or, only when that
// integer does not fit, an overflow.
template <class Convert>
void CheckConversion(Convert convert, double expected, double low, double high, const char* rule) {
  double result = 0;
  const int error = ErrorOf([&] { result = convert(); });
  const bool fits = expected >= low && expected <= high;
  Require(fits ? (error == 0 && result == expected) : error == base::kErrOverflow, rule);
}

void CheckConversions(double value) {
  const double rounded = num::RoundHalfEven(value);
  if (std::isfinite(value)) {
    Require(std::floor(rounded) == rounded, "rounding gives a whole number");
    Require(std::fabs(rounded - value) <= 0.5, "rounding moves by at most one half");
    if (std::fabs(rounded - value) == 0.5) Require(std::fmod(rounded, 2.0) == 0, "halves go to even");
  }
  CheckConversion([&] { return static_cast<double>(num::FloorToInt16(value)); }, std::floor(value), -32768, 32767,
                  "FloorToInt16");
  CheckConversion([&] { return static_cast<double>(num::RoundToInt16(value)); }, rounded, -32768, 32767,
                  "RoundToInt16");
  CheckConversion([&] { return static_cast<double>(num::RoundToInt32(value)); }, rounded, -2147483648.0, 2147483647.0,
                  "RoundToInt32");
}

void CheckArithmetic(std::int32_t a, std::int32_t b) {
  const auto expect = [](std::int64_t exact, auto op, const char* rule) {
    double result = 0;
    const int error = ErrorOf([&] { result = op(); });
    const bool fits = exact >= -32768 && exact <= 32767;
    Require(fits ? (error == 0 && result == static_cast<double>(exact)) : error == base::kErrOverflow, rule);
  };
  expect(
      std::int64_t{a} + b, [&] { return static_cast<double>(num::Add16(a, b)); }, "Add16");
  expect(
      std::int64_t{a} * b, [&] { return static_cast<double>(num::Mul16(a, b)); }, "Mul16");
  expect(
      -std::int64_t{a}, [&] { return static_cast<double>(num::Neg16(a)); }, "Neg16");
}

// Every text the program writes must read back as the same number.
void CheckTexts(std::int64_t value) {
  Require(num::ReadStrict(num::NumberText(value)) == static_cast<double>(value), "NumberText reads back");
  Require(num::ReadStrict(num::DecimalText(value)) == static_cast<double>(value), "DecimalText reads back");
  Require(num::FormatHashes(value).empty() == (value == 0), "only 0 has an empty ## text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double lenient = num::ReadLenient(text);
  Require(!std::isnan(lenient), "a reading is never NaN");
  const std::optional<double> strict = num::TryReadStrict(text);
  if (strict) {
    Require(*strict == lenient, "a strict number reads the same leniently");
    Require(num::ReadStrict(text) == *strict, "ReadStrict matches TryReadStrict");
  } else {
    Require(ErrorOf([&] { num::ReadStrict(text); }) == base::kErrTypeMismatch, "not a number is a type mismatch");
  }
  CheckConversions(lenient);

  if (size >= 8) {
    std::int32_t a = 0, b = 0;
    std::memcpy(&a, data, 4);
    std::memcpy(&b, data + 4, 4);
    CheckArithmetic(a, b);
    std::int64_t wide = 0;
    std::memcpy(&wide, data, 8);
    CheckTexts(wide);
    CheckConversions(static_cast<double>(a) / 4 + static_cast<double>(b) / (1 << 30));
  }
  return 0;
}
