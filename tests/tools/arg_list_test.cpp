#include "common/arg_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "common/number_text.h"

namespace zel5::tools {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;

const std::set<std::string> kKnown = {"--rate", "--gain"};

TEST(SplitArgs, SeparatesOptionsFromOperandsAndKeepsDashAsAnOperand) {
  const ArgList list = SplitArgs({"in.f64", "--rate", "44100", "-", "--gain", "-0.5"}, kKnown);
  EXPECT_FALSE(list.help);
  EXPECT_THAT(list.options, ElementsAre(Pair("--gain", "-0.5"), Pair("--rate", "44100")));
  EXPECT_THAT(list.operands, ElementsAre("in.f64", "-"));
}

TEST(SplitArgs, HelpWinsOverOtherwiseBadArguments) {
  const ArgList list = SplitArgs({"--nonsense", "--rate", "--help"}, kKnown);
  EXPECT_TRUE(list.help);
}

struct BadArgs {
  std::vector<std::string> args;
  std::string message;
};

class SplitArgsRefuses : public ::testing::TestWithParam<BadArgs> {};

TEST_P(SplitArgsRefuses, NamingTheOption) {
  try {
    SplitArgs(GetParam().args, kKnown);
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(error.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitArgsRefuses,
    ::testing::Values(BadArgs{{"--speed", "2"}, "unknown option --speed"},
                      BadArgs{{"-r", "2"}, "unknown option -r"},
                      BadArgs{{"out", "--rate"}, "--rate needs a value"},
                      BadArgs{{"--rate", "--gain", "1"}, "--rate needs a value"},
                      BadArgs{{"--rate", "1", "--rate", "2"}, "--rate given twice"}));

TEST(ParseInteger, AcceptsTheWholeRangeInclusive) {
  EXPECT_EQ(ParseInteger("1", "--n", 1, 2), 1u);
  EXPECT_EQ(ParseInteger("2", "--n", 1, 2), 2u);
  EXPECT_EQ(ParseInteger("18446744073709551615", "--n", 0, UINT64_MAX), UINT64_MAX);
}

class ParseIntegerRefuses : public ::testing::TestWithParam<std::string> {};

TEST_P(ParseIntegerRefuses, WithTheOptionAndRange) {
  try {
    ParseInteger(GetParam(), "--rate", 1, 1000);
    FAIL() << "accepted '" << GetParam() << "'";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()),
              "--rate must be a whole number from 1 to 1000, not '" + GetParam() + "'");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseIntegerRefuses,
                         ::testing::Values("", "abc", "12x", "-1", "+5", " 5", "5 ", "1.5", "0",
                                           "1001", "99999999999999999999999"));

TEST(ParseDecimal, ReadsDecimalAndExponentForms) {
  EXPECT_EQ(ParseDecimal("0.25", "--gain", 0, 10), 0.25);
  EXPECT_EQ(ParseDecimal("2.5e-1", "--gain", 0, 10), 0.25);
  EXPECT_EQ(ParseDecimal("10", "--gain", 0, 10), 10.0);
}

class ParseDecimalRefuses : public ::testing::TestWithParam<std::string> {};

TEST_P(ParseDecimalRefuses, WithTheOptionAndRange) {
  try {
    ParseDecimal(GetParam(), "--gain", 0, 10);
    FAIL() << "accepted '" << GetParam() << "'";
  } catch (const std::runtime_error& error) {
    EXPECT_THAT(error.what(), HasSubstr("--gain must be a number from 0 to 10"));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseDecimalRefuses,
                         ::testing::Values("", "x", "0.5x", "nan", "inf", "-0.1", "10.5", "1e400"));

}  // namespace
}  // namespace zel5::tools
