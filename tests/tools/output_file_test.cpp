#include "common/output_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "tools/scratch_dir.h"

namespace zel5::tools {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

class OutputFileTest : public ::testing::Test {
 protected:
  ScratchDir dir_;
  std::ostringstream stdout_;
};

TEST_F(OutputFileTest, CommitPutsTheBytesUnderTheTargetNameAndNothingElse) {
  {
    OutputFile output(dir_.Path("out.s16"), stdout_);
    output.stream() << "samples";
    EXPECT_THAT(dir_.Names(), ::testing::Not(::testing::Contains("out.s16")));
    output.Commit();
  }
  EXPECT_THAT(dir_.Names(), ElementsAre("out.s16"));
  EXPECT_EQ(ReadFileBytes(dir_.Path("out.s16")), "samples");
  EXPECT_EQ(stdout_.str(), "");
}

TEST_F(OutputFileTest, WithoutCommitLeavesNoFileBehind) {
  {
    OutputFile output(dir_.Path("out.s16"), stdout_);
    output.stream() << "half a run";
  }
  EXPECT_THAT(dir_.Names(), ElementsAre());
}

TEST_F(OutputFileTest, AnEarlierFileKeepsItsBytesUntilCommit) {
  WriteFileBytes(dir_.Path("out.s16"), "old");
  {
    OutputFile output(dir_.Path("out.s16"), stdout_);
    output.stream() << "new";
  }
  EXPECT_EQ(ReadFileBytes(dir_.Path("out.s16")), "old");
  {
    OutputFile output(dir_.Path("out.s16"), stdout_);
    output.stream() << "new";
    output.Commit();
  }
  EXPECT_EQ(ReadFileBytes(dir_.Path("out.s16")), "new");
  EXPECT_THAT(dir_.Names(), ElementsAre("out.s16"));
}

TEST_F(OutputFileTest, DashWritesToStandardOutput) {
  OutputFile output("-", stdout_);
  output.stream() << "samples";
  output.Commit();
  EXPECT_EQ(stdout_.str(), "samples");
  EXPECT_EQ(output.name(), "stdout");
  EXPECT_THAT(dir_.Names(), ElementsAre());
}

TEST_F(OutputFileTest, RefusesATargetItCannotCreate) {
  try {
    OutputFile output(dir_.Path("missing/out.s16"), stdout_);
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_THAT(error.what(), HasSubstr("to write " + dir_.Path("missing/out.s16")));
  }
  EXPECT_THROW(OutputFile(dir_.Path(""), stdout_), std::runtime_error);
}

}  // namespace
}  // namespace zel5::tools
