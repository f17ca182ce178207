#include "iir/nsp_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/raise_recorder.h"

namespace zel5 {
namespace {

using test::RaiseRecorder;

using RaiseUnderReturningHandler = RaiseRecorder;

TEST_F(RaiseUnderReturningHandler, StoresTheStatusAndPassesEverythingToTheHandler) {
  EXPECT_EQ(nspRaise(-4, "fn", "ctx", "file", 42), -4);
  EXPECT_EQ(nspReadStatus(), -4);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].status, -4);
  EXPECT_EQ(raised()[0].function, "fn");
  EXPECT_EQ(raised()[0].context, "ctx");
  EXPECT_EQ(raised()[0].file, "file");
  EXPECT_EQ(raised()[0].line, 42);
}

TEST_F(RaiseUnderReturningHandler, ZeroClearsTheStatusWithoutCallingTheHandler) {
  nspRaise(-5, "fn", nullptr, "file", 1);
  raised().clear();
  EXPECT_EQ(nspRaise(0, "fn", nullptr, "file", 2), 0);
  EXPECT_EQ(nspReadStatus(), 0);
  EXPECT_TRUE(raised().empty());
}

TEST_F(RaiseUnderReturningHandler, BacktraceAndAutotraceKeepTheStoredStatus) {
  for (int trace : {-1, -8}) {
    nspRaise(-5, "fn", nullptr, "file", 1);
    raised().clear();
    EXPECT_EQ(nspRaise(trace, "fn", nullptr, "file", 2), trace);
    EXPECT_EQ(nspReadStatus(), -5) << "trace status " << trace;
    ASSERT_EQ(raised().size(), 1u);
    EXPECT_EQ(raised()[0].status, trace);
  }
}

TEST(ErrorContext, StartsInModeZeroWithTheDefaultHandler) {
  EXPECT_EQ(nspContext()->status, 0);
  EXPECT_EQ(nspReadErrorMode(), 0);
  EXPECT_EQ(nspContext()->handler, &nspDefaultHandler);
}

TEST(DefaultHandler, ReturnsTheStatusUnderANonZeroMode) {
  const int previous = nspSetErrorMode(7);
  EXPECT_EQ(nspRaise(-4, "fn", nullptr, "file", 1), -4);
  EXPECT_EQ(nspReadStatus(), -4);
  nspRaise(0, "fn", nullptr, "file", 1);
  nspSetErrorMode(previous);
}

class DefaultHandlerDeath : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  void TearDown() override { std::filesystem::remove(stdoutPath_); }

  // The child sends its standard output here, so the parent can show that
  // nothing was written to it.
  void RedirectStdout() { ASSERT_NE(std::freopen(stdoutPath_.c_str(), "w", stdout), nullptr); }
  std::string WrittenToStdout() const {
    std::ifstream in(stdoutPath_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  const std::string stdoutPath_ =
      (std::filesystem::temp_directory_path() /
       ("zel5-death-stdout-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())))
          .string();
};

TEST_F(DefaultHandlerDeath, ModeZeroEndsTheProcessWithCodeOneAndWritesNothing) {
  std::filesystem::remove(stdoutPath_);
  EXPECT_EXIT(
      {
        RedirectStdout();
        nspRaise(-5, "fn", "ctx", "file", 1);
      },
      ::testing::ExitedWithCode(1), ::testing::IsEmpty());
  EXPECT_EQ(WrittenToStdout(), "");
}

struct StatusTextCase {
  int status;
  const char* text;
};

class StatusText : public ::testing::TestWithParam<StatusTextCase> {};

TEST_P(StatusText, NamesEveryCode) {
  EXPECT_STREQ(nspStatusText(GetParam().status), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusText,
    ::testing::Values(
        StatusTextCase{0, "No Error"}, StatusTextCase{-1, "Backtrace"},
        StatusTextCase{-2, "Unknown error or status code"},
        StatusTextCase{-3, "Internal error (bad state)"}, StatusTextCase{-4, "Out of memory"},
        StatusTextCase{-5, "Bad argument"}, StatusTextCase{-6, "Unsupported function"},
        StatusTextCase{-7, "Iteration convergence failed"}, StatusTextCase{-8, "Autotrace call"},
        StatusTextCase{-9, "Unknown error or status code"}, StatusTextCase{-10, "Null pointer"},
        StatusTextCase{-11, "Unknown error or status code"}, StatusTextCase{-12, "Bad pointer"},
        StatusTextCase{-13, "Bad data structure"}, StatusTextCase{-14, "Bad vector length"},
        StatusTextCase{-15, "Unknown error or status code"},
        StatusTextCase{1, "Unknown error or status code"},
        StatusTextCase{-2147483647 - 1, "Unknown error or status code"}));

}  // namespace
}  // namespace zel5
