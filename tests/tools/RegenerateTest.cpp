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
using assets::assetFiles;

TEST(RegenerateAssets, GivesTheCommittedBytes) {
  TempDir dir;
  ASSERT_TRUE(assets::generateAssets(dir.path()));
  for (const std::string& name : assetFiles()) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> fresh = readBytes(dir.path() + "/" + name);
    const std::vector<uint8_t> committed = readBytes("data/" + name);
    ASSERT_FALSE(fresh.empty());
    EXPECT_EQ(fresh.size(), committed.size());
    EXPECT_TRUE(fresh == committed)
        << "data/" << name << " differs from a fresh run of dravik_assets";
  }
}

TEST(RegenerateAssets, DataHoldsExactlyTheGeneratedFiles) {
  std::set<std::string> onDisk;
  for (const auto& entry : fs::recursive_directory_iterator("data")) {
    if (entry.is_regular_file()) onDisk.insert(fs::relative(entry.path(), "data").generic_string());
  }
  const std::set<std::string> generated(assetFiles().begin(), assetFiles().end());
  EXPECT_EQ(onDisk, generated);
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
