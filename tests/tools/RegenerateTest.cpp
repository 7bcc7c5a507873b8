#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "tests/support/TempDir.h"
#include "tests/tools/AssetFiles.h"
#include "tools/AssetGenerator.h"

namespace dravik::test {
namespace {

namespace fs = std::filesystem;

// The generated trees: the game's data and the desktop icons.
struct Tree {
  const char* committed;  // folder in the repository
  const std::vector<std::string>& (*files)();
  bool (*generate)(const std::string&);
};
const Tree kTrees[] = {{"data", assets::assetFiles, assets::generateAssets},
                       {"packaging/icons", assets::iconFiles, assets::generateIcons}};

TEST(RegenerateAssets, GivesTheCommittedBytes) {
  for (const Tree& tree : kTrees) {
    TempDir dir;
    ASSERT_TRUE(tree.generate(dir.path())) << tree.committed;
    for (const std::string& name : tree.files()) {
      const std::string committedPath = std::string(tree.committed) + "/" + name;
      SCOPED_TRACE(committedPath);
      const std::vector<uint8_t> fresh = readBytes(dir.path() + "/" + name);
      const std::vector<uint8_t> committed = readBytes(committedPath);
      ASSERT_FALSE(fresh.empty());
      EXPECT_EQ(fresh.size(), committed.size());
      EXPECT_TRUE(fresh == committed)
          << committedPath << " differs from a fresh run of dravik_assets";
    }
  }
}

TEST(RegenerateAssets, EachFolderHoldsExactlyTheGeneratedFiles) {
  for (const Tree& tree : kTrees) {
    SCOPED_TRACE(tree.committed);
    std::set<std::string> onDisk;
    for (const auto& entry : fs::recursive_directory_iterator(tree.committed)) {
      if (entry.is_regular_file()) {
        onDisk.insert(fs::relative(entry.path(), tree.committed).generic_string());
      }
    }
    const std::set<std::string> generated(tree.files().begin(), tree.files().end());
    EXPECT_EQ(onDisk, generated);
  }
}

TEST(RegenerateAssets, UnwritableDirectoryIsReportedOnce) {
  TempDir dir;
  // A plain file where the output directory should be.
  const std::string blocker = dir.write("blocker", std::string("x"));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(assets::generateAssets(blocker));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(blocker), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
}  // namespace dravik::test
