// Loads a model of 65,536 vertices, the most 16-bit indices address, in both
// file formats, and compares each loader with a plain read of the same file
// and the JSON loader also with simdjson's bare DOM parse of the same bytes.
// The JSON numbers have six decimals, as model exporters write them. Each row
// also counts the page faults one iteration takes ("faults"), memory the
// process had to fetch afresh from the system.
#include <benchmark/benchmark.h>
#include <simdjson.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "mesh/Mesh.h"
#include "render/FileProblem.h"

namespace {

constexpr uint32_t kVertices = dravik::Mesh::kMaxVertices;
constexpr uint32_t kTriangles = kVertices - 2;

struct Files {
  std::filesystem::path dir;
  std::string json, binary;
};

// Six-decimal values spread over a range, from a fixed sequence.
float value(uint32_t i, int component, float range) {
  const uint32_t step = (i * 2654435761u + static_cast<uint32_t>(component) * 40503u) % 1000001u;
  return static_cast<float>(static_cast<double>(step) * 1e-6 * range);
}

float valueOf(uint32_t i, int stream, int component) {
  return stream == 0 ? value(i, component, 20.0f) - 10.0f : value(i, stream * 3 + component, 1.0f);
}

std::string sixDecimals(float f) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(f));
  return text;
}

void writeModels(Files& files) {
  files.dir = std::filesystem::temp_directory_path() /
              ("dravik-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(files.dir);
  files.json = (files.dir / "model.json").string();
  files.binary = (files.dir / "model.bin").string();

  std::ostringstream j;
  // Streams in file order: vertices, uvs, colors.
  auto list = [&](const char* name, int stream, const char* const* members, int count) {
    j << '"' << name << "\": [";
    for (uint32_t i = 0; i < kVertices; ++i) {
      j << (i ? ",\n{" : "{");
      for (int c = 0; c < count; ++c) {
        j << (c ? ", \"" : "\"") << members[c] << "\": " << sixDecimals(valueOf(i, stream, c));
      }
      j << '}';
    }
    j << "],\n";
  };
  const char* xyz[] = {"x", "y", "z"};
  const char* uv[] = {"u", "v"};
  const char* rgb[] = {"r", "g", "b"};
  j << "{\"model\": {";
  list("vertices", 0, xyz, 3);
  list("uvs", 2, uv, 2);
  list("colors", 1, rgb, 3);
  j << "\"indices\": [";
  for (uint32_t t = 0; t < kTriangles; ++t) {
    j << (t ? ",\n{" : "{") << "\"a\": " << t << ", \"b\": " << t + 1 << ", \"c\": " << t + 2
      << '}';
  }
  j << "]}}\n";
  std::ofstream(files.json, std::ios::binary) << j.str();

  std::ofstream b(files.binary, std::ios::binary);
  auto put = [&](uint32_t word, int bytes) {
    for (int i = 0; i < bytes; ++i) b.put(static_cast<char>((word >> (8 * i)) & 0xff));
  };
  auto putFloat = [&](float f) {
    uint32_t word;
    std::memcpy(&word, &f, 4);
    put(word, 4);
  };
  put(kVertices, 4);
  put(kTriangles, 4);
  // Streams in file order: positions, colours, uvs.
  for (int stream = 0; stream < 3; ++stream) {
    const int count = stream == 2 ? 2 : 3;
    for (uint32_t i = 0; i < kVertices; ++i) {
      for (int c = 0; c < count; ++c) putFloat(std::stof(sixDecimals(valueOf(i, stream, c))));
    }
  }
  for (uint32_t t = 0; t < kTriangles; ++t) {
    for (uint32_t c = 0; c < 3; ++c) put(t + c, 2);
  }
}

Files& files() {
  static Files f;
  return f;
}

int64_t sizeOf(const std::string& path) {
  return static_cast<int64_t>(std::filesystem::file_size(path));
}

// The binary loader notes its trailer on standard output; keep that out of
// the report.
class QuietStdout {
 public:
  QuietStdout() : saved_(std::cout.rdbuf(sink_.rdbuf())) {}
  ~QuietStdout() { std::cout.rdbuf(saved_); }

 private:
  std::ostringstream sink_;
  std::streambuf* saved_;
};

long pageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt + usage.ru_majflt;
}

// Sets the row's "faults" to the page faults per iteration from its
// construction to its destruction.
class FaultCount {
 public:
  explicit FaultCount(benchmark::State& state) : state_(state), start_(pageFaults()) {}
  ~FaultCount() {
    state_.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - start_),
                                                   benchmark::Counter::kAvgIterations);
  }
  FaultCount(const FaultCount&) = delete;
  FaultCount& operator=(const FaultCount&) = delete;

 private:
  benchmark::State& state_;
  long start_;
};

void plainRead(benchmark::State& state, const std::string& path) {
  std::string bytes;
  FaultCount faults(state);
  for (auto _ : state) {
    dravik::readWholeFile(path, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * sizeOf(path));
}

void BM_ReadJsonBytes(benchmark::State& state) { plainRead(state, files().json); }
void BM_ReadBinaryBytes(benchmark::State& state) { plainRead(state, files().binary); }

// simdjson's DOM parse alone, of the file's bytes already in memory, with
// one parser kept across iterations: the floor for any loader on simdjson.
void BM_SimdjsonDomParse(benchmark::State& state) {
  std::string bytes;
  dravik::readWholeFile(files().json, bytes);
  const simdjson::padded_string padded(bytes);
  simdjson::dom::parser parser;
  FaultCount faults(state);
  for (auto _ : state) {
    simdjson::dom::element root;
    if (parser.parse(padded).get(root) != simdjson::SUCCESS) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(root);
  }
  state.SetBytesProcessed(state.iterations() * sizeOf(files().json));
}

// The same four arrays read with simdjson's On-Demand API instead of its DOM,
// as a loader would (file read into a padded buffer, one parser kept, arrays
// sized once), but with none of the loader's checks: a lower bound for an
// On-Demand loader, to set against BM_LoadJson.
template <std::size_t N>
simdjson::error_code readEntries(simdjson::ondemand::object& model, const char* name,
                                 const char* const (&keys)[N], std::vector<float>& out) {
  simdjson::ondemand::array entries;
  SIMDJSON_TRY(model.find_field_unordered(name).get_array().get(entries));
  std::size_t count = 0;
  SIMDJSON_TRY(entries.count_elements().get(count));
  out.assign(count * N, 0.0f);
  std::size_t k = 0;
  for (auto entry : entries) {
    simdjson::ondemand::object object;
    SIMDJSON_TRY(entry.get_object().get(object));
    for (auto field : object) {
      simdjson::ondemand::raw_json_string key;
      SIMDJSON_TRY(field.key().get(key));
      for (std::size_t c = 0; c < N; ++c) {
        if (key == keys[c]) {
          double value = 0;
          SIMDJSON_TRY(field.value().get_double().get(value));
          out[k * N + c] = static_cast<float>(value);
        }
      }
    }
    ++k;
  }
  return simdjson::SUCCESS;
}

simdjson::error_code readOnDemand(simdjson::ondemand::parser& parser,
                                  const simdjson::padded_string& text,
                                  std::vector<float>& positions, std::vector<float>& uvs,
                                  std::vector<float>& colours, std::vector<uint16_t>& indices) {
  simdjson::ondemand::document document;
  SIMDJSON_TRY(parser.iterate(text).get(document));
  simdjson::ondemand::object model;
  SIMDJSON_TRY(document.find_field("model").get_object().get(model));
  SIMDJSON_TRY(readEntries(model, "vertices", {"x", "y", "z"}, positions));
  SIMDJSON_TRY(readEntries(model, "uvs", {"u", "v"}, uvs));
  SIMDJSON_TRY(readEntries(model, "colors", {"r", "g", "b"}, colours));
  simdjson::ondemand::array triangles;
  SIMDJSON_TRY(model.find_field_unordered("indices").get_array().get(triangles));
  std::size_t count = 0;
  SIMDJSON_TRY(triangles.count_elements().get(count));
  indices.assign(count * 3, 0);
  std::size_t at = 0;
  for (auto triangle : triangles) {
    simdjson::ondemand::object object;
    SIMDJSON_TRY(triangle.get_object().get(object));
    for (auto field : object) {
      uint64_t index = 0;
      SIMDJSON_TRY(field.value().get_uint64().get(index));
      indices[at++] = static_cast<uint16_t>(index);
    }
  }
  return simdjson::SUCCESS;
}

void BM_OnDemandRead(benchmark::State& state) {
  simdjson::ondemand::parser parser;
  FaultCount faults(state);
  for (auto _ : state) {
    dravik::InputFile file;
    file.open(files().json);
    simdjson::padded_string text(file.length());
    file.read(text.data(), text.size());
    std::vector<float> positions, uvs, colours;
    std::vector<uint16_t> indices;
    if (readOnDemand(parser, text, positions, uvs, colours, indices) != simdjson::SUCCESS ||
        positions.size() != 3 * kVertices) {
      state.SkipWithError("On-Demand read failed");
    }
    benchmark::DoNotOptimize(positions.data());
  }
  state.SetBytesProcessed(state.iterations() * sizeOf(files().json));
}

void BM_LoadJson(benchmark::State& state) {
  FaultCount faults(state);
  for (auto _ : state) {
    dravik::Mesh mesh;
    mesh.loadJson(files().json);
    if (mesh.positionCount() != 3 * kVertices) state.SkipWithError("model did not load");
    benchmark::DoNotOptimize(mesh.positions().data());
  }
  state.SetBytesProcessed(state.iterations() * sizeOf(files().json));
}

void BM_LoadBinary(benchmark::State& state) {
  QuietStdout quiet;
  FaultCount faults(state);
  for (auto _ : state) {
    dravik::Mesh mesh;
    mesh.loadBinary(files().binary);
    if (mesh.positionCount() != 3 * kVertices) state.SkipWithError("model did not load");
    benchmark::DoNotOptimize(mesh.positions().data());
  }
  state.SetBytesProcessed(state.iterations() * sizeOf(files().binary));
}

BENCHMARK(BM_ReadJsonBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimdjsonDomParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnDemandRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBinaryBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond);

// Console report plus, at the end, each row's throughput in MB (10^6 bytes)
// per CPU second and each loader's CPU time over that of the plain read of
// its own file (and, for JSON, of the bare parse).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    // With repetitions the median stands for the benchmark.
    for (const Run& run : runs) {
      const bool single = run.run_type == Run::RT_Iteration;
      if ((single || run.aggregate_name == "median") && run.iterations > 0) {
        seconds_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        megabytesPerSecond_[run.run_name.function_name] =
            run.counters.count("bytes_per_second") ? run.counters.at("bytes_per_second") / 1e6 : 0;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, rate] : megabytesPerSecond_) {
      GetOutputStream() << name << ": " << rate << " MB/s\n";
    }
    ratio("BM_LoadJson", "BM_ReadJsonBytes");
    ratio("BM_LoadJson", "BM_SimdjsonDomParse");
    ratio("BM_OnDemandRead", "BM_SimdjsonDomParse");
    ratio("BM_LoadBinary", "BM_ReadBinaryBytes");
  }

 private:
  void ratio(const std::string& loader, const std::string& read) {
    if (seconds_.count(loader) == 0 || seconds_.count(read) == 0) return;
    GetOutputStream() << loader << " takes " << seconds_[loader] / seconds_[read]
                      << " times the CPU time of " << read << "\n";
  }
  std::map<std::string, double> seconds_;
  std::map<std::string, double> megabytesPerSecond_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  writeModels(files());
  std::cout << "model: " << kVertices << " vertices, " << kTriangles << " triangles; JSON "
            << sizeOf(files().json) << " bytes, binary " << sizeOf(files().binary) << " bytes"
            << std::endl;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(files().dir, ignored);
  return 0;
}
