// Registering, finding and unregistering controller windows through the C
// functions, in one process.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "conf/runtime_base.h"
#include "zel5/host_configuration.h"
#include "zel5/plugin_ids.h"

namespace zel5::conf::testing {
namespace {

constexpr std::uint32_t kOtherId = 0x4000000Bu;

void* Handle(std::uintptr_t value) {
  return reinterpret_cast<void*>(value);
}

void* Found(std::uint32_t pluginId) {
  void* window = Handle(0xdead);
  EXPECT_EQ(Zel5FindPluginWindow(pluginId, &window), ZEL5_CONF_OK);
  return window;
}

std::vector<std::string> Names(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

class WindowRegistry : public ::testing::Test {
 protected:
  RuntimeBase runtime_;
};

TEST_F(WindowRegistry, NothingRegisteredFindsNone) {
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), nullptr);
}

TEST_F(WindowRegistry, RegisteredHandlesComeBackWhole) {
  for (const std::uintptr_t value :
       {std::uintptr_t{1}, std::uintptr_t{0x10}, std::uintptr_t{0xabcdef},
        std::uintptr_t{UINTPTR_MAX}, std::uintptr_t{UINTPTR_MAX / 3}}) {
    SCOPED_TRACE(value);
    ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(value)), ZEL5_CONF_OK);
    EXPECT_EQ(Found(ZEL5_PLUGIN_ID), Handle(value));
  }
}

TEST_F(WindowRegistry, RegisteringLeavesOnlyTheRecordInAPrivateDirectory) {
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x42)), ZEL5_CONF_OK);
  EXPECT_EQ(Names(runtime_.Directory()), std::vector<std::string>{"window-40000007"});
  EXPECT_EQ(std::filesystem::status(runtime_.Directory()).permissions(),
            std::filesystem::perms::owner_all);
}

TEST_F(WindowRegistry, UnregisterRemovesOnlyTheWindowStillRegistered) {
  void* oldController = Handle(0x100);
  void* newController = Handle(0x200);
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, oldController), ZEL5_CONF_OK);
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, newController), ZEL5_CONF_OK);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), newController);

  EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, oldController),
            ZEL5_CONF_ERROR_NOT_REGISTERED);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), newController);

  EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, newController), ZEL5_CONF_OK);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), nullptr);
  EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, newController),
            ZEL5_CONF_ERROR_NOT_REGISTERED);
}

TEST_F(WindowRegistry, IdsAreIndependent) {
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x1)), ZEL5_CONF_OK);
  ASSERT_EQ(Zel5RegisterPluginWindow(kOtherId, Handle(0x2)), ZEL5_CONF_OK);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), Handle(0x1));
  EXPECT_EQ(Found(kOtherId), Handle(0x2));

  EXPECT_EQ(Zel5UnregisterPluginWindow(kOtherId, Handle(0x1)), ZEL5_CONF_ERROR_NOT_REGISTERED);
  EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x1)), ZEL5_CONF_OK);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), nullptr);
  EXPECT_EQ(Found(kOtherId), Handle(0x2));
}

TEST_F(WindowRegistry, NullArgumentsChangeNothing) {
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x7)), ZEL5_CONF_OK);
  EXPECT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, nullptr), ZEL5_CONF_ERROR_ARGUMENT);
  EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, nullptr), ZEL5_CONF_ERROR_ARGUMENT);
  EXPECT_EQ(Zel5FindPluginWindow(ZEL5_PLUGIN_ID, nullptr), ZEL5_CONF_ERROR_ARGUMENT);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), Handle(0x7));
}

struct GarbledRecord {
  const char* name;
  std::string bytes;
};

TEST_F(WindowRegistry, GarbledRecordsFindNoneAndCanBeReplaced) {
  const std::vector<GarbledRecord> records = {
      {"empty", ""},
      {"words", "not a window\n"},
      {"prefix only", "0x\n"},
      {"no newline", "0x1234"},
      {"no prefix", "1234\n"},
      {"not hex", "0xzz\n"},
      {"sign", "0x-1\n"},
      {"trailing text", "0x12 34\n"},
      {"two lines", "0x12\n0x34\n"},
      {"too wide", "0x1" + std::string(2 * sizeof(void*), '0') + "\n"},
      {"zero", "0x0\n"},
      {"binary", std::string("0x1\0\n", 5)},
      {"long", std::string(200, 'f')},
  };
  std::filesystem::create_directories(runtime_.Directory());
  std::filesystem::permissions(runtime_.Directory(), std::filesystem::perms::owner_all);
  for (const GarbledRecord& record : records) {
    SCOPED_TRACE(record.name);
    WriteFile(runtime_.RecordPath(ZEL5_PLUGIN_ID), record.bytes);
    EXPECT_EQ(Found(ZEL5_PLUGIN_ID), nullptr);
    EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x12)),
              ZEL5_CONF_ERROR_NOT_REGISTERED);
    ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x12)), ZEL5_CONF_OK);
    EXPECT_EQ(Found(ZEL5_PLUGIN_ID), Handle(0x12));
  }
}

TEST_F(WindowRegistry, RefusedDirectoryIsReportedAndNotUsed) {
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x9)), ZEL5_CONF_OK);
  std::filesystem::permissions(runtime_.Directory(), std::filesystem::perms::group_exec,
                               std::filesystem::perm_options::add);

  void* window = Handle(0xdead);
  EXPECT_EQ(Zel5FindPluginWindow(ZEL5_PLUGIN_ID, &window), ZEL5_CONF_ERROR_DIRECTORY);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0xa)), ZEL5_CONF_ERROR_DIRECTORY);
  EXPECT_EQ(Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x9)), ZEL5_CONF_ERROR_DIRECTORY);

  std::filesystem::permissions(runtime_.Directory(), std::filesystem::perms::owner_all);
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), Handle(0x9));
}

// A record that cannot be replaced (here a directory in its place) is an
// error that leaves no temporary behind.
TEST_F(WindowRegistry, FailedWriteLeavesNoTemporary) {
  std::filesystem::create_directories(runtime_.RecordPath(ZEL5_PLUGIN_ID) / "occupied");
  std::filesystem::permissions(runtime_.Directory(), std::filesystem::perms::owner_all);
  EXPECT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, Handle(0x3)), ZEL5_CONF_ERROR_IO);
  EXPECT_EQ(Names(runtime_.Directory()), std::vector<std::string>{"window-40000007"});
  EXPECT_EQ(Found(ZEL5_PLUGIN_ID), nullptr);
}

// Writers on many threads never leave a half-written or foreign record for a
// reader, nor temporaries behind.
void* WriterWindow(int writer) {
  return Handle(static_cast<std::uintptr_t>(writer) * 0x1111);
}

TEST_F(WindowRegistry, ConcurrentRegistrationsAlwaysReadWhole) {
  constexpr int kWriters = 6;
  constexpr int kRounds = 100;
  std::set<void*> registered;
  for (int writer = 1; writer <= kWriters; ++writer) {
    registered.insert(WriterWindow(writer));
  }
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, *registered.begin()), ZEL5_CONF_OK);
  std::vector<std::thread> writers;
  for (int writer = 1; writer <= kWriters; ++writer) {
    writers.emplace_back([writer] {
      for (int round = 0; round < kRounds; ++round) {
        EXPECT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, WriterWindow(writer)), ZEL5_CONF_OK);
      }
    });
  }
  for (int read = 0; read < kWriters * kRounds; ++read) {
    EXPECT_EQ(registered.count(Found(ZEL5_PLUGIN_ID)), 1u);
  }
  for (std::thread& writer : writers) {
    writer.join();
  }
  EXPECT_EQ(Names(runtime_.Directory()), std::vector<std::string>{"window-40000007"});
}

}  // namespace
}  // namespace zel5::conf::testing
