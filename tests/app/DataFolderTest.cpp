#include <gtest/gtest.h>

#include <filesystem>

#include "app/DataFolder.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;

// The folders a game may be started from and may find data/ in.
class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::current_path(started.path()); }
  void TearDown() override { fs::current_path(original); }
  static void giveData(const test::TempDir& folder) {
    fs::create_directory(fs::path(folder.path()) / "data");
  }
  bool isCurrent(const test::TempDir& folder) const {
    return fs::equivalent(fs::current_path(), folder.path());
  }

  fs::path original = fs::current_path();
  test::TempDir started, executable, installed;
};

TEST_F(DataFolderTest, CurrentDirectoryFirstThenExecutableThenInstalled) {
  giveData(installed);
  EXPECT_TRUE(enterDataFolder(executable.path(), installed.path()));
  EXPECT_TRUE(isCurrent(installed));

  fs::current_path(started.path());
  giveData(executable);
  EXPECT_TRUE(enterDataFolder(executable.path(), installed.path()));
  EXPECT_TRUE(isCurrent(executable));

  fs::current_path(started.path());
  giveData(started);
  EXPECT_TRUE(enterDataFolder(executable.path(), installed.path()));
  EXPECT_TRUE(isCurrent(started));
}

TEST_F(DataFolderTest, WithoutDataAnywhereTheCurrentDirectoryStays) {
  // A plain file named data is no data folder.
  executable.write("data", "not a folder");
  EXPECT_FALSE(enterDataFolder(executable.path(), ""));
  EXPECT_FALSE(enterDataFolder("", installed.path()));
  EXPECT_TRUE(isCurrent(started));
}

}  // namespace
}  // namespace dravik
