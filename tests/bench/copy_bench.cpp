// Writing the randomized copy over real files: the program's WriteRandomCopy
// (the draw, the log line and the atomic replace; its pause after the copy is
// recorded, not slept) and the file store's WriteCopyFile alone, side by side
// with plain writes of the same bytes to other names in the same folder:
// without and with fsync, and the same durable one-step replace done with
// bare calls, without and with the folder's fsync. Then the same work with
// the files held in memory, and the draw alone.
#include <benchmark/benchmark.h>

#include "app/saved_games.h"
#include "save/save_file.h"
#include "tests/bench/bench_support.h"

namespace vantrix::bench {
namespace {

std::string PlainTarget(const char* name, std::size_t size) {
  return ScratchFolder() + name + std::to_string(size) + ".gam";
}

void BM_Copy_RealFiles(benchmark::State& state) {
  const std::size_t size = SizeArg(state);
  const std::string path = RealSavedGame(size);
  RealFilesDesktop desktop;
  const auto app = StartedState(desktop, ScratchFolder(), path);
  PosixFileStore store;
  SaveImage image;
  Require(ReadSaveFile(store, path, image) == LoadResult::kLoaded, "ReadSaveFile failed");
  const std::vector<std::uint8_t> bytes = SavedGameOfSize(size);
  const std::string written = PlainTarget("_plain_save_", size);
  const std::string synced = PlainTarget("_synced_save_", size);
  const std::string replaced = PlainTarget("_replaced_save_", size);
  const std::string durable = PlainTarget("_durable_save_", size);
  RunSideBySide(state,
                {{"writerandomcopy",
                  [&] {
                    WriteRandomCopy(*app);
                    Require(app->lastWriteOk, "WriteRandomCopy failed");
                  }},
                 {"writecopyfile",
                  [&] { Require(WriteCopyFile(store, path, image), "WriteCopyFile failed"); }},
                 {"plain_write", [&] { PlainWrite(written, bytes, false); }},
                 {"plain_write_fsync", [&] { PlainWrite(synced, bytes, true); }},
                 {"plain_replace", [&] { PlainReplace(replaced, bytes, false); }},
                 {"plain_replace_dirsync", [&] { PlainReplace(durable, bytes, true); }}});
}

// WriteRandomCopy with the files held in memory: the draw, the log and the
// in-memory desktop's copies of the bytes, without any disk.
void BM_WriteRandomCopy_Memory(benchmark::State& state) {
  MemoryDesktop desktop;
  const std::string path = MemorySavedGame(desktop, SizeArg(state));
  const auto app = StartedState(desktop, kMemoryFolder, path);
  for (auto _ : state) {
    WriteRandomCopy(*app);
    Require(app->lastWriteOk, "WriteRandomCopy failed");
  }
  CountBytes(state);
}

// The draw alone: six deviations, the clamped values stored, one log line.
void BM_RandomizeRoster(benchmark::State& state) {
  MemoryDesktop desktop;
  const std::string path = MemorySavedGame(desktop, SizeArg(state));
  const auto app = StartedState(desktop, kMemoryFolder, path);
  for (auto _ : state) {
    RandomizeRoster(*app);
    benchmark::DoNotOptimize(app->image.bytes.data());
  }
}

BENCHMARK(BM_Copy_RealFiles)->Apply(SaveSizes);
BENCHMARK(BM_WriteRandomCopy_Memory)->Apply(SaveSizes);
BENCHMARK(BM_RandomizeRoster)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantrix::bench
