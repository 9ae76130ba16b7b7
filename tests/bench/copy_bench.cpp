// Writing the randomized copy: the program's WriteRandomCopy (the draw, the
// log line and the atomic replace; its pause after the copy is recorded, not
// slept) and the file store's WriteCopyFile alone, against a plain write of
// the same bytes to a file in the same folder, with and without fsync.
#include <benchmark/benchmark.h>

#include "app/saved_games.h"
#include "save/save_file.h"
#include "tests/bench/bench_support.h"

namespace vantrix::bench {
namespace {

void BM_WriteRandomCopy_RealFiles(benchmark::State& state) {
  const std::string path = RealSavedGame(SizeArg(state));
  RealFilesDesktop desktop;
  const auto app = StartedState(desktop, ScratchFolder(), path);
  for (auto _ : state) {
    WriteRandomCopy(*app);
    Require(app->lastWriteOk, "WriteRandomCopy failed");
  }
  CountBytes(state);
}

void BM_WriteCopyFile_Posix(benchmark::State& state) {
  const std::string path = RealSavedGame(SizeArg(state));
  PosixFileStore store;
  SaveImage image;
  Require(ReadSaveFile(store, path, image) == LoadResult::kLoaded, "ReadSaveFile failed");
  for (auto _ : state) {
    Require(WriteCopyFile(store, path, image), "WriteCopyFile failed");
  }
  CountBytes(state);
}

// A plain write of the copy's bytes to another name in the same folder.
void PlainCopy(benchmark::State& state, bool sync) {
  const std::vector<std::uint8_t> bytes = SavedGameOfSize(SizeArg(state));
  const std::string target =
      ScratchFolder() + "_plain_save_" + std::to_string(bytes.size()) + ".gam";
  for (auto _ : state) PlainWrite(target, bytes, sync);
  CountBytes(state);
}

void BM_PlainWrite(benchmark::State& state) { PlainCopy(state, false); }
void BM_PlainWriteFsync(benchmark::State& state) { PlainCopy(state, true); }

// The same durable one-step replace done with bare system calls, without and
// with the folder's fsync: the least an atomic replace can cost here, to tell
// the cost of the method from the cost of its code.
void PlainAtomicCopy(benchmark::State& state, bool syncFolder) {
  const std::vector<std::uint8_t> bytes = SavedGameOfSize(SizeArg(state));
  const std::string target =
      ScratchFolder() + "_replaced_save_" + std::to_string(bytes.size()) + ".gam";
  for (auto _ : state) PlainReplace(target, bytes, syncFolder);
  CountBytes(state);
}

void BM_PlainReplace(benchmark::State& state) { PlainAtomicCopy(state, false); }
void BM_PlainReplaceDirSync(benchmark::State& state) { PlainAtomicCopy(state, true); }

// The same WriteRandomCopy with the files held in memory: the draw, the log
// and the in-memory desktop's copies of the bytes, without any disk.
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

BENCHMARK(BM_WriteRandomCopy_RealFiles)->Apply(SaveSizes);
BENCHMARK(BM_WriteCopyFile_Posix)->Apply(SaveSizes);
BENCHMARK(BM_PlainWrite)->Apply(SaveSizes);
BENCHMARK(BM_PlainWriteFsync)->Apply(SaveSizes);
BENCHMARK(BM_PlainReplace)->Apply(SaveSizes);
BENCHMARK(BM_PlainReplaceDirSync)->Apply(SaveSizes);
BENCHMARK(BM_WriteRandomCopy_Memory)->Apply(SaveSizes);
BENCHMARK(BM_RandomizeRoster)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantrix::bench
