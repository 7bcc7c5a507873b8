// JSON text that simdjson alone would refuse or mislabel, and the scratch
// the loads share.
#include <cstdlib>
#include <thread>

#include "mesh/JsonFile.h"
#include "tests/mesh/MeshTestSupport.h"

namespace dravik::test {
namespace {

// A one-triangle model whose first x and first index are given as written.
std::string triangle(const std::string& x, const std::string& a, const std::string& extra = "") {
  return "{" + extra + R"("model": {"vertices": [{"x": )" + x +
         R"(, "y": 0, "z": 0}, {"x": 1, "y": 0, "z": 0}, {"x": 0, "y": 1, "z": 0}],
    "uvs": [{"u": 0, "v": 0}, {"u": 1, "v": 0}, {"u": 0, "v": 1}],
    "colors": [{"r": 1, "g": 1, "b": 1}, {"r": 1, "g": 1, "b": 1}, {"r": 1, "g": 1, "b": 1}],
    "indices": [{"a": )" +
         a + R"(, "b": 1, "c": 2}]}})";
}

struct TextCase {
  const char* name;
  std::string text;
  float x;              // the first x loaded, when problem is empty
  const char* problem;  // the line after "<path>: "
};

TEST(JsonText, FollowsJsonWhereSimdjsonsDefaultsDiffer) {
  const std::string deep = std::string(1100, '[') + std::string(1100, ']');
  const TextCase cases[] = {
      {"byte order mark", "\xEF\xBB\xBF" + triangle("0.5", "0"), 0.5f, ""},
      {"integers beyond 64 bits are floats",
       triangle("100000000000000000000", "0",
                R"("note": "99999999999999999999999", "scale": 0.12345678901234567890123e2, )"),
       1e20f, ""},
      {"negative too", triangle("-10000000000000000000", "0"), -1e19f, ""},
      {"so not an index", triangle("0", "18446744073709551616"), 0,
       "entry 0 of \"indices\": member \"a\" is not an integer"},
      {"beyond any float", triangle(std::string(400, '9'), "0"), 0, "not valid JSON"},
      {"deep nesting", triangle("0", "0", "\"deep\": " + deep + ", "), 0,
       "nested more than 1024 levels deep"},
  };
  TempDir dir;
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.write("t.json", c.text);
    Mesh mesh;
    const LoadOutput o = loadCapturing(mesh, path);
    if (*c.problem == '\0') {
      EXPECT_EQ(o.err, "");
      ASSERT_EQ(mesh.positionCount(), 9u);
      EXPECT_EQ(mesh.positions()[0], c.x);
    } else {
      EXPECT_EQ(o.err, path + ": " + c.problem + "\n");
      expectEmpty(mesh);
    }
  }
}

TEST(JsonText, FilesOpenAtOnceKeepTheirOwnDocuments) {
  TempDir dir;
  JsonFile first, second;
  ASSERT_TRUE(first.open(dir.write("a.json", R"({"name": "first"})")));
  ASSERT_TRUE(second.open(dir.write("b.json", R"({"name": "second"})")));
  std::string_view name;
  ASSERT_EQ(first.root()["name"].get(name), simdjson::SUCCESS);
  EXPECT_EQ(name, "first");
  ASSERT_EQ(second.root()["name"].get(name), simdjson::SUCCESS);
  EXPECT_EQ(name, "second");
}

TEST(JsonText, AFileAfterALongerOneEndsWhereItsOwnTextDoes) {
  TempDir dir;
  const std::string whole = triangle("0.5", "0") + std::string(100, ' ');
  Mesh mesh;
  EXPECT_EQ(loadCapturing(mesh, dir.write("long.json", whole)).err, "");
  // Cut before its last brace: the longer file's rest must not complete it.
  const std::string cut = dir.write("cut.json", whole.substr(0, whole.rfind('}')));
  EXPECT_EQ(loadCapturing(mesh, cut).err, cut + ": not valid JSON\n");
  expectEmpty(mesh);
}

TEST(JsonText, AThreadsFirstFileMayBeEmpty) {
  TempDir dir;
  const std::string path = dir.write("empty.json", "");
  testing::internal::CaptureStderr();
  // A thread of its own starts with no text kept.
  std::thread([&] { EXPECT_FALSE(JsonFile().open(path)); }).join();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), path + ": not valid JSON\n");
}

TEST(JsonText, KeepsScratchForTheNextFileUpToACap) {
  TempDir dir;
  auto openAndClose = [&](const std::string& text) {
    JsonFile file;
    EXPECT_TRUE(file.open(dir.write("t.json", text)));
  };
  openAndClose('"' + std::string(JsonFile::kKeptCapacity, 'x') + '"');
  EXPECT_EQ(JsonFile::keptBytes(), 0u);
  // Below the cap both the text and the parser's room for it stay.
  const std::string small = "[" + std::string(4096, ' ') + "]";
  openAndClose(small);
  EXPECT_GE(JsonFile::keptBytes(), 2 * small.size());
}

// The suites also run with SIMDJSON_FORCE_IMPLEMENTATION=fallback (see
// tests/CMakeLists.txt): the portable kernel must be the one that ran.
TEST(JsonText, RunsOnTheKernelAskedFor) {
  const char* forced = std::getenv("SIMDJSON_FORCE_IMPLEMENTATION");
  if (forced == nullptr) GTEST_SKIP() << "no kernel forced";
  EXPECT_EQ(simdjson::get_active_implementation()->name(), forced);
}

}  // namespace
}  // namespace dravik::test
