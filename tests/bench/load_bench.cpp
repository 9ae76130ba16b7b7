// Loading a saved game: the program's LoadSave (reading the file, building
// the roster and listing it in the log), and its file-to-roster part alone,
// side by side with a plain read of the same file, for short, typical and
// largest files; then the same work with the file held in memory.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "app/saved_games.h"
#include "save/save_file.h"
#include "tests/bench/bench_support.h"

namespace vantrix::bench {
namespace {

void BM_Load_RealFiles(benchmark::State& state) {
  const std::string path = RealSavedGame(SizeArg(state));
  RealFilesDesktop desktop;
  const auto app = StartedState(desktop, ScratchFolder(), path);
  PosixFileStore store;
  SaveImage image;
  std::vector<std::uint8_t> buffer(kSaveCapacity);
  RunSideBySide(state, {{"loadsave",
                         [&] {
                           LoadSave(*app);
                           benchmark::DoNotOptimize(app->roster);
                         }},
                        // The file-to-roster path without the log: what LoadSave costs before
                        // it shows anything.
                        {"readsavefile_buildroster",
                         [&] {
                           Require(ReadSaveFile(store, path, image) == LoadResult::kLoaded,
                                   "ReadSaveFile failed");
                           Roster roster = BuildRoster(image);
                           benchmark::DoNotOptimize(roster);
                         }},
                        // Into a buffer of the image's size, allocated once, as the program's is.
                        {"plain_read", [&] {
                           Require(PlainRead(path, buffer) == SizeArg(state),
                                   "the plain read fell short");
                           benchmark::DoNotOptimize(buffer.data());
                         }}});
  Require(app->image.saveSize == SizeArg(state), "LoadSave did not load the whole file");
}

// LoadSave with the file held in memory: the program's own work (plus the
// in-memory desktop's copy of the bytes).
void BM_LoadSave_Memory(benchmark::State& state) {
  MemoryDesktop desktop;
  const std::string path = MemorySavedGame(desktop, SizeArg(state));
  const auto app = StartedState(desktop, kMemoryFolder, path);
  for (auto _ : state) {
    LoadSave(*app);
    benchmark::DoNotOptimize(app->roster);
  }
  CountBytes(state);
}

void BM_ReadRoster_Memory(benchmark::State& state) {
  MemoryDesktop desktop;
  const std::string path = MemorySavedGame(desktop, SizeArg(state));
  const auto app = StartedState(desktop, kMemoryFolder, path);
  for (auto _ : state) {
    ReadRoster(*app);
    benchmark::DoNotOptimize(app->roster);
  }
}

// The roster alone, without the log: ReadRoster less the log lines it shows.
void BM_BuildRoster(benchmark::State& state) {
  SaveImage image;
  const std::vector<std::uint8_t> bytes = SavedGameOfSize(SizeArg(state));
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  image.saveSize = bytes.size();
  for (auto _ : state) {
    Roster roster = BuildRoster(image);
    benchmark::DoNotOptimize(roster);
  }
}

BENCHMARK(BM_Load_RealFiles)->Apply(SaveSizes);
BENCHMARK(BM_LoadSave_Memory)->Apply(SaveSizes);
BENCHMARK(BM_ReadRoster_Memory)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BuildRoster)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantrix::bench
