#include "base/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/runtime_error.h"

namespace base::num {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The error number a statement raises, or 0 when it raises none.
template <class Statement>
int ErrorOf(Statement&& statement) {
  try {
    statement();
  } catch (const RuntimeError& error) {
    return error.Number();
  }
  return 0;
}

TEST(ReadLenient, ReadsDecimalFormsAndStopsAtFirstForeignCharacter) {
  EXPECT_EQ(ReadLenient("42"), 42);
  EXPECT_EQ(ReadLenient(" \t 3"), 3);
  EXPECT_EQ(ReadLenient("+7"), 7);
  EXPECT_EQ(ReadLenient("-2.5"), -2.5);
  EXPECT_EQ(ReadLenient(".5"), 0.5);
  EXPECT_EQ(ReadLenient("5."), 5);
  EXPECT_EQ(ReadLenient("7.9x"), 7.9);
  EXPECT_EQ(ReadLenient("12 34"), 12);
  EXPECT_EQ(ReadLenient("1.5.6"), 1.5);
  EXPECT_EQ(ReadLenient("1e3"), 1000);
  EXPECT_EQ(ReadLenient("1D3"), 1000);
  EXPECT_EQ(ReadLenient("2.5E-1"), 0.25);
  EXPECT_EQ(ReadLenient("25e+1"), 250);
}

TEST(ReadLenient, ExponentWithoutDigitsIsNotPartOfTheNumber) {
  EXPECT_EQ(ReadLenient("1e"), 1);
  EXPECT_EQ(ReadLenient("1e+"), 1);
  EXPECT_EQ(ReadLenient("4Ex"), 4);
}

TEST(ReadLenient, NoDigitsGiveZero) {
  EXPECT_EQ(ReadLenient(""), 0);
  EXPECT_EQ(ReadLenient("   "), 0);
  EXPECT_EQ(ReadLenient("abc"), 0);
  EXPECT_EQ(ReadLenient("-"), 0);
  EXPECT_EQ(ReadLenient("."), 0);
  EXPECT_EQ(ReadLenient("--1"), 0);
  EXPECT_EQ(ReadLenient("&H"), 0);
  EXPECT_EQ(ReadLenient("&"), 0);
  EXPECT_FALSE(std::signbit(ReadLenient("-0")));
}

TEST(ReadLenient, HexAndOctalAreThirtyTwoBitPatterns) {
  EXPECT_EQ(ReadLenient("&HFF"), 255);
  EXPECT_EQ(ReadLenient("&hff"), 255);
  EXPECT_EQ(ReadLenient("&HFFFFFF"), 16777215);
  EXPECT_EQ(ReadLenient("&H7FFFFFFF"), 2147483647);
  EXPECT_EQ(ReadLenient("&H80000000"), -2147483648.0);
  EXPECT_EQ(ReadLenient("&HFFFFFFFF"), -1);
  EXPECT_EQ(ReadLenient("&H0000000FF"), 255);  // leading zeros do not overflow
  EXPECT_EQ(ReadLenient("&HFFG"), 255);
  EXPECT_EQ(ReadLenient("&O17"), 15);
  EXPECT_EQ(ReadLenient("&O37777777777"), -1);
  EXPECT_EQ(ReadLenient("&O8"), 0);
  // Wider than 32 bits: the plain value, which no integer conversion accepts.
  EXPECT_EQ(ReadLenient("&H100000000"), 4294967296.0);
  EXPECT_EQ(ErrorOf([] { RoundToInt32(ReadLenient("&H100000000")); }), kErrOverflow);
}

TEST(ReadLenient, ExtremeMagnitudesNeitherCrashNorWrap) {
  EXPECT_EQ(ReadLenient("1e400"), kInf);
  EXPECT_EQ(ReadLenient("-1e400"), -kInf);
  EXPECT_EQ(ReadLenient("1e-400"), 0);
  EXPECT_EQ(ReadLenient("1e99999999999999999999"), kInf);
  EXPECT_EQ(ReadLenient("1.7976931348623157e308"), std::numeric_limits<double>::max());
  EXPECT_EQ(ReadLenient("1.8e308"), kInf);
  // Many leading zeros move the decimal point, not the value.
  EXPECT_EQ(ReadLenient(std::string(5000, '0') + "12"), 12);
  EXPECT_EQ(ReadLenient("0." + std::string(5000, '0') + "1e5001"), 1);
  EXPECT_EQ(ReadLenient("1" + std::string(500, '0')), kInf);
}

TEST(ReadStrict, AcceptsWholeNumbersWithBlanksAround) {
  EXPECT_EQ(TryReadStrict(" 3"), 3);
  EXPECT_EQ(TryReadStrict("\t-2.5 \t"), -2.5);
  EXPECT_EQ(TryReadStrict("7.9"), 7.9);
  EXPECT_EQ(TryReadStrict("&HFF"), 255);
  EXPECT_EQ(TryReadStrict(" &HFFFFFFFF "), -1);
  EXPECT_EQ(TryReadStrict("1E2"), 100);
  EXPECT_EQ(TryReadStrict("16777215"), 16777215);
  EXPECT_EQ(ReadStrict("+.5"), 0.5);
}

TEST(ReadStrict, RejectsAnythingThatIsNotExactlyOneNumber) {
  for (const char* text :
       {"", "   ", "abc", "7.9x", "1e", "1e+", "--1", "+-1", "&H", "&HFG", "&O9", "-&HFF", ".", "1 2", "1,5", "- 1"}) {
    EXPECT_FALSE(TryReadStrict(text).has_value()) << '"' << text << '"';
    EXPECT_EQ(ErrorOf([&] { ReadStrict(text); }), kErrTypeMismatch) << '"' << text << '"';
  }
  EXPECT_FALSE(TryReadStrict(std::string("1\0", 2)).has_value());
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.4999999999999996), 2);
  EXPECT_EQ(RoundHalfEven(2.5000000000000004), 3);
  EXPECT_EQ(RoundHalfEven(-0.7), -1);
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);  // 2^52 + 1 is already whole
  EXPECT_EQ(RoundHalfEven(kInf), kInf);
  EXPECT_TRUE(std::isnan(RoundHalfEven(kNaN)));
}

TEST(IntegerConversions, FloorToInt16KeepsTheRangeEdges) {
  EXPECT_EQ(FloorToInt16(7.9), 7);
  EXPECT_EQ(FloorToInt16(-2.5), -3);
  EXPECT_EQ(FloorToInt16(-0.1), -1);
  EXPECT_EQ(FloorToInt16(32767.99), 32767);
  EXPECT_EQ(FloorToInt16(-32768), -32768);
  EXPECT_EQ(ErrorOf([] { FloorToInt16(32768); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { FloorToInt16(-32768.01); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { FloorToInt16(40000); }), kErrOverflow);
}

TEST(IntegerConversions, RoundingConversionsRoundBeforeTheRangeTest) {
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(3.5), 4);
  EXPECT_EQ(RoundToInt16(-2.5), -2);
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_EQ(RoundToInt16(32766.5), 32766);
  EXPECT_EQ(ErrorOf([] { RoundToInt16(32767.5); }), kErrOverflow);  // rounds up to 32768
  EXPECT_EQ(RoundToInt16(-32768.5), -32768);                        // rounds to the even -32768
  EXPECT_EQ(ErrorOf([] { RoundToInt16(-32768.6); }), kErrOverflow);
  EXPECT_EQ(RoundToInt32(-0.5), 0);
  EXPECT_EQ(ErrorOf([] { RoundToInt32(2147483647.5); }), kErrOverflow);
}

TEST(IntegerConversions, NonFiniteValuesOverflow) {
  for (double value : {kInf, -kInf, kNaN}) {
    EXPECT_EQ(ErrorOf([&] { FloorToInt16(value); }), kErrOverflow);
    EXPECT_EQ(ErrorOf([&] { RoundToInt16(value); }), kErrOverflow);
    EXPECT_EQ(ErrorOf([&] { RoundToInt32(value); }), kErrOverflow);
  }
}

TEST(Arithmetic16, OverflowsOutsideTheSignedRange) {
  EXPECT_EQ(Add16(32766, 1), 32767);
  EXPECT_EQ(ErrorOf([] { Add16(32767, 1); }), kErrOverflow);
  EXPECT_EQ(Add16(-32767, -1), -32768);
  EXPECT_EQ(ErrorOf([] { Add16(-32768, -1); }), kErrOverflow);
  EXPECT_EQ(Mul16(32, 1000), 32000);
  EXPECT_EQ(ErrorOf([] { Mul16(33, 1000); }), kErrOverflow);
  EXPECT_EQ(Mul16(-32768, 1), -32768);
  EXPECT_EQ(ErrorOf([] { Mul16(-32768, -1); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { Mul16(65536, 65536); }), kErrOverflow);  // would wrap to 0 in 32 bits
  EXPECT_EQ(Neg16(32767), -32767);
  EXPECT_EQ(ErrorOf([] { Neg16(-32768); }), kErrOverflow);
}

TEST(NumberTexts, SettingsNumbersCarryASignPlace) {
  EXPECT_EQ(NumberText(3), " 3");
  EXPECT_EQ(NumberText(-3), "-3");
  EXPECT_EQ(NumberText(0), " 0");
  EXPECT_EQ(NumberText(16777215), " 16777215");
  EXPECT_EQ(NumberText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(DecimalText(20), "20");
  EXPECT_EQ(DecimalText(-5), "-5");
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(FormatHashes(0), "");
  EXPECT_EQ(FormatHashes(7), "7");
  EXPECT_EQ(FormatHashes(-5), "-5");
  EXPECT_EQ(FormatHashes(100), "100");
}

TEST(NumberTexts, WrittenNumbersReadBackUnchanged) {
  for (std::int64_t value : {0LL, 3LL, -3LL, 32767LL, -32768LL, 16777215LL, 2147483647LL, -2147483648LL}) {
    EXPECT_EQ(RoundToInt32(ReadStrict(NumberText(value))), value);
  }
}

// The conversions the settings loader makes, value text by value text.
TEST(SettingsValues, SixteenBitKeysFloorTheNumber) {
  EXPECT_EQ(FloorToInt16(ReadStrict("7.9")), 7);
  EXPECT_EQ(FloorToInt16(ReadStrict("-2.5")), -3);
  EXPECT_EQ(FloorToInt16(ReadStrict(" 3")), 3);
  EXPECT_EQ(ErrorOf([] { FloorToInt16(ReadStrict("abc")); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { FloorToInt16(ReadStrict("40000")); }), kErrOverflow);
}

TEST(SettingsValues, ColourKeyRoundsToThirtyTwoBits) {
  EXPECT_EQ(RoundToInt32(ReadStrict("&HFF")), 255);
  EXPECT_EQ(RoundToInt32(ReadStrict("16777215")), 16777215);
  EXPECT_EQ(RoundToInt32(ReadStrict(" 16777215")), 16777215);
  EXPECT_EQ(RoundToInt32(ReadStrict("2.5")), 2);
  EXPECT_EQ(ErrorOf([] { RoundToInt32(ReadStrict("2147483648")); }), kErrOverflow);
  EXPECT_EQ(RoundToInt32(ReadStrict("2147483647.4")), 2147483647);
  EXPECT_EQ(RoundToInt32(ReadStrict("-2147483648.5")), -2147483648);  // half to even stays inside
}

}  // namespace
}  // namespace base::num
