// The per-user runtime directory: made private when missing, refused when
// another user could reach or replace it.
#include "platform/runtime_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "conf/runtime_base.h"

namespace zel5::conf::testing {
namespace {

namespace fs = std::filesystem;

mode_t Mode(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

class RuntimeDirectory : public ::testing::Test {
 protected:
  RuntimeBase runtime_;
};

// Whatever the umask takes away or leaves, the directory is owner-only.
TEST_F(RuntimeDirectory, MissingDirectoryIsMadePrivate) {
  for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0777}}) {
    SCOPED_TRACE(mask);
    RuntimeBase runtime;
    const mode_t previous = umask(mask);
    const fs::path directory = platform::RuntimeDirectory();
    umask(previous);
    EXPECT_EQ(directory, runtime.Directory());
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_EQ(Mode(directory), 0700u);
    EXPECT_EQ(platform::RuntimeDirectory(), directory);
  }
}

struct Refused {
  const char* name;
  std::function<void(const fs::path& directory, const fs::path& base)> make;
};

TEST_F(RuntimeDirectory, DirectoriesOthersCouldReachAreRefused) {
  const std::vector<Refused> cases = {
      {"group readable", [](const fs::path& d, const fs::path&) { mkdir(d.c_str(), 0740); }},
      {"group writable", [](const fs::path& d, const fs::path&) { mkdir(d.c_str(), 0720); }},
      {"others searchable", [](const fs::path& d, const fs::path&) { mkdir(d.c_str(), 0701); }},
      {"world writable", [](const fs::path& d, const fs::path&) { mkdir(d.c_str(), 0777); }},
      {"symlink to a private directory",
       [](const fs::path& d, const fs::path& base) {
         mkdir((base / "elsewhere").c_str(), 0700);
         fs::create_directory_symlink(base / "elsewhere", d);
       }},
      {"regular file", [](const fs::path& d, const fs::path&) { WriteFile(d, ""); }},
  };
  for (const Refused& refused : cases) {
    SCOPED_TRACE(refused.name);
    RuntimeBase runtime;
    const mode_t previous = umask(0);
    refused.make(runtime.Directory(), runtime.Base());
    umask(previous);
    EXPECT_EQ(platform::RuntimeDirectory(), fs::path{});
  }
}

TEST_F(RuntimeDirectory, DirectoryOfAnotherUserIsRefused) {
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(mkdir(runtime_.Directory().c_str(), 0700), 0);
  if (chown(runtime_.Directory().c_str(), kNobody, static_cast<gid_t>(-1)) != 0) {
    GTEST_SKIP() << "only root can give a directory to another user";
  }
  EXPECT_EQ(platform::RuntimeDirectory(), fs::path{});
}

TEST_F(RuntimeDirectory, UnusableOverrideIsRefusedWithoutFallback) {
  SetVariable("ZEL5_RUNTIME_DIR", (runtime_.Base() / "missing" / "deeper").string());
  EXPECT_EQ(platform::RuntimeDirectory(), fs::path{});
}

class SystemRuntimeDirectory : public RuntimeDirectory {
 protected:
  SystemRuntimeDirectory() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR")) {
      previousXdg_ = xdg;
    }
    SetVariable("ZEL5_RUNTIME_DIR", std::nullopt);
  }
  ~SystemRuntimeDirectory() override { SetVariable("XDG_RUNTIME_DIR", previousXdg_); }

 private:
  std::optional<std::string> previousXdg_;
};

TEST_F(SystemRuntimeDirectory, UsableXdgRuntimeDirHoldsIt) {
  SetVariable("XDG_RUNTIME_DIR", runtime_.Base().string());
  EXPECT_EQ(platform::RuntimeDirectory(), runtime_.Directory());
}

TEST_F(SystemRuntimeDirectory, UnusableXdgRuntimeDirFallsBackToTmp) {
  const fs::path fallback = "/tmp/zel5-" + std::to_string(getuid());
  for (const std::optional<std::string>& xdg :
       {std::optional<std::string>{}, std::optional<std::string>{""},
        std::optional<std::string>{"relative/path"},
        std::optional<std::string>{(runtime_.Base() / "missing").string()}}) {
    SCOPED_TRACE(xdg.value_or("(unset)"));
    SetVariable("XDG_RUNTIME_DIR", xdg);
    EXPECT_EQ(platform::RuntimeDirectory(), fallback);
  }
}

}  // namespace
}  // namespace zel5::conf::testing
