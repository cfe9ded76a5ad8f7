#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <optional>
#include <string>

#include "prefs/number_text.h"

namespace velun {
namespace {

TEST(LocaleNumberParser, DotLocaleTakesPlainAndGroupedNumbers) {
  const LocaleNumberParser parser(".", ",");
  EXPECT_EQ(parser.Parse("12"), 12.0);
  EXPECT_EQ(parser.Parse(" 12 "), 12.0);
  EXPECT_EQ(parser.Parse("\t7.9\t"), 7.9);
  EXPECT_EQ(parser.Parse("+5"), 5.0);
  EXPECT_EQ(parser.Parse("-5"), -5.0);
  EXPECT_EQ(parser.Parse("7."), 7.0);
  EXPECT_EQ(parser.Parse(".5"), 0.5);
  EXPECT_EQ(parser.Parse("1,234"), 1234.0);
  EXPECT_EQ(parser.Parse("-1,234,567.25"), -1234567.25);
  EXPECT_EQ(parser.Parse("99999999999999999999"), 1e20);
}

TEST(LocaleNumberParser, DotLocaleRefusesAnythingElse) {
  const LocaleNumberParser parser(".", ",");
  for (const char* text : {"", " ", ".", "+", "-", "abc", "12s", "s12", "1 2", "1e5", "0x10",
                           "--5", "5-", "+-5", "1,2", "1,2345", ",123", "123,", "1,,234",
                           "1234,567", "1,234.5,6", "7,5", "1.2.3", "12\n"}) {
    EXPECT_EQ(parser.Parse(text), std::nullopt) << '"' << text << '"';
  }
  // Beyond the range of a double.
  EXPECT_EQ(parser.Parse(std::string(400, '9')), std::nullopt);
}

TEST(LocaleNumberParser, CommaLocaleSwapsTheSeparators) {
  const LocaleNumberParser parser(",", ".");
  EXPECT_EQ(parser.Parse("7,5"), 7.5);
  EXPECT_EQ(parser.Parse(" 1.234,5 "), 1234.5);
  EXPECT_EQ(parser.Parse("7.5"), std::nullopt);
  EXPECT_EQ(parser.Parse("7,5,0"), std::nullopt);
}

TEST(LocaleNumberParser, SeparatorsOfSeveralBytesAndOddLocales) {
  const LocaleNumberParser noBreakSpace(",", "\xC2\xA0");
  EXPECT_EQ(noBreakSpace.Parse("1\xC2\xA0" "234,5"), 1234.5);
  EXPECT_EQ(noBreakSpace.Parse("1\xC2" "234"), std::nullopt);

  // A group separator equal to the decimal separator cannot be told apart: no grouping.
  const LocaleNumberParser same(".", ".");
  EXPECT_EQ(same.Parse("1.5"), 1.5);
  EXPECT_EQ(same.GroupSeparator(), "");

  const LocaleNumberParser noSeparators("", "");
  EXPECT_EQ(noSeparators.DecimalSeparator(), ".");
  EXPECT_EQ(noSeparators.Parse("2.5"), 2.5);
  EXPECT_EQ(noSeparators.Parse("2,500"), std::nullopt);
}

TEST(LocaleNumberParser, TakesTheSeparatorsOfTheCurrentLocale) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  const LocaleNumberParser parser = LocaleNumberParser::ForCurrentLocale();
  EXPECT_EQ(parser.DecimalSeparator(), ".");
  EXPECT_EQ(parser.GroupSeparator(), "");
  EXPECT_EQ(parser.Parse("7.9"), 7.9);
  EXPECT_EQ(parser.Parse("1,234"), std::nullopt);
}

TEST(FloorOfLeadingNumber, ReadsTheNumberAtTheStartWithDotAsThePoint) {
  EXPECT_EQ(FloorOfLeadingNumber32("7.9"), 7);
  EXPECT_EQ(FloorOfLeadingNumber32("60.9"), 60);
  EXPECT_EQ(FloorOfLeadingNumber32(" 12 "), 12);
  EXPECT_EQ(FloorOfLeadingNumber32(" 1 2\t3\n"), 123);  // blanks ignored wherever they stand
  EXPECT_EQ(FloorOfLeadingNumber32("12s"), 12);
  EXPECT_EQ(FloorOfLeadingNumber32("7,5"), 7);
  EXPECT_EQ(FloorOfLeadingNumber32("+3.2"), 3);
  EXPECT_EQ(FloorOfLeadingNumber32("000000000000000000000012"), 12);
  EXPECT_EQ(FloorOfLeadingNumber32("0.000001"), 0);
  for (const char* text : {"", "abc", ".", "--5", "-", "e5", "-0"}) {
    EXPECT_EQ(FloorOfLeadingNumber32(text), 0) << '"' << text << '"';
  }
}

TEST(FloorOfLeadingNumber, TakesTheGreatestWholeNumberNotAbove) {
  EXPECT_EQ(FloorOfLeadingNumber32("-5"), -5);
  EXPECT_EQ(FloorOfLeadingNumber32("-0.5"), -1);
  EXPECT_EQ(FloorOfLeadingNumber32("-4.000"), -4);
  EXPECT_EQ(FloorOfLeadingNumber32("-4.001"), -5);
  EXPECT_EQ(FloorOfLeadingNumber32("60.99999999999999999999"), 60);
}

TEST(FloorOfLeadingNumber, FollowsAnExponentOnlyWhenItHasDigits) {
  EXPECT_EQ(FloorOfLeadingNumber32("1e1"), 10);
  EXPECT_EQ(FloorOfLeadingNumber32("1.5E1"), 15);
  EXPECT_EQ(FloorOfLeadingNumber32("2d1"), 20);
  EXPECT_EQ(FloorOfLeadingNumber32("5e-1"), 0);
  EXPECT_EQ(FloorOfLeadingNumber32("-5e-1"), -1);
  EXPECT_EQ(FloorOfLeadingNumber32("1e"), 1);
  EXPECT_EQ(FloorOfLeadingNumber32("1e+"), 1);
  EXPECT_EQ(FloorOfLeadingNumber32("0e999999999999"), 0);
  EXPECT_EQ(FloorOfLeadingNumber32("1e-999999999999"), 0);
}

TEST(FloorOfLeadingNumber, NothingBeyondThirtyTwoBits) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(FloorOfLeadingNumber32("2147483647.9"), kMax);
  EXPECT_EQ(FloorOfLeadingNumber32("2147483648"), std::nullopt);
  EXPECT_EQ(FloorOfLeadingNumber32("-2147483648"), kMin);
  EXPECT_EQ(FloorOfLeadingNumber32("-2147483647.5"), kMin);
  EXPECT_EQ(FloorOfLeadingNumber32("-2147483648.5"), std::nullopt);
  EXPECT_EQ(FloorOfLeadingNumber32("4294967296"), std::nullopt);
  EXPECT_EQ(FloorOfLeadingNumber32("99999999999"), std::nullopt);
  EXPECT_EQ(FloorOfLeadingNumber32("1e10"), std::nullopt);
  EXPECT_EQ(FloorOfLeadingNumber32("1e999999999999"), std::nullopt);
  EXPECT_EQ(FloorOfLeadingNumber32(std::string(400, '9')), std::nullopt);
}

}  // namespace
}  // namespace velun
