// Reading and writing a large library (about 2,000 kestles, 5 MB), as the app does at
// start and after every change.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "KestlesCore/archive/KestlesArchive.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/library/Library.hpp"
#include "bench/support/LargeLibrary.hpp"

namespace kestles {
namespace {

const std::string& largeLibraryBytes() {
  static const std::string bytes = json_style::encode(nlohmann::json(largeLibrary()));
  return bytes;
}

std::filesystem::path benchFile() {
  return std::filesystem::temp_directory_path() / ("kestles-bench-" + std::to_string(::getpid())) /
         "library.json";
}

void BM_DecodeLibrary(benchmark::State& state) {
  const auto& bytes = largeLibraryBytes();
  for (auto _ : state) {
    auto library = decodeDocument(bytes, std::type_identity<Library>{});
    benchmark::DoNotOptimize(library);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_DecodeLibrary)->Unit(benchmark::kMillisecond);

// The same through the whole parsed document, for comparison.
void BM_DecodeLibraryDocument(benchmark::State& state) {
  const auto& bytes = largeLibraryBytes();
  for (auto _ : state) {
    auto library = json_style::parse(bytes).get<Library>();
    benchmark::DoNotOptimize(library);
  }
}
BENCHMARK(BM_DecodeLibraryDocument)->Unit(benchmark::kMillisecond);

void BM_ParseLibraryJSON(benchmark::State& state) {
  const auto& bytes = largeLibraryBytes();
  for (auto _ : state) {
    auto json = json_style::parse(bytes);
    benchmark::DoNotOptimize(json);
  }
}
BENCHMARK(BM_ParseLibraryJSON)->Unit(benchmark::kMillisecond);

void BM_LoadLibraryFile(benchmark::State& state) {
  JSONFile<Library> file{benchFile()};
  file.save(largeLibrary());
  for (auto _ : state) {
    auto library = file.load();
    benchmark::DoNotOptimize(library);
  }
  std::filesystem::remove_all(file.path.parent_path());
}
BENCHMARK(BM_LoadLibraryFile)->Unit(benchmark::kMillisecond);

void BM_EncodeLibrary(benchmark::State& state) {
  const auto& library = largeLibrary();
  for (auto _ : state) {
    auto bytes = json_style::encode(nlohmann::json(library));
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_EncodeLibrary)->Unit(benchmark::kMillisecond);

void BM_SaveLibraryFile(benchmark::State& state) {
  JSONFile<Library> file{benchFile()};
  for (auto _ : state)
    file.save(largeLibrary());
  std::filesystem::remove_all(file.path.parent_path());
}
BENCHMARK(BM_SaveLibraryFile)->Unit(benchmark::kMillisecond);

// Merging the whole library's archive into a library that already holds all of it: every
// item is compared and its name checked against 2,000 others.
void BM_ImportArchiveAgain(benchmark::State& state) {
  auto archive = KestlesArchive::ofLibrary(largeLibrary());
  for (auto _ : state) {
    state.PauseTiming();
    Library library = largeLibrary();
    state.ResumeTiming();
    auto summary = archive.importInto(library, ImportParts{ImportParts::all});
    benchmark::DoNotOptimize(summary);
  }
}
BENCHMARK(BM_ImportArchiveAgain)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestles
