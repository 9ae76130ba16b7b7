// Loading a saved game: the program's LoadSave (reading the file, building
// the roster and listing it in the log) against a plain read of the same
// file, for short, typical and largest files.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "app/saved_games.h"
#include "save/save_file.h"
#include "tests/bench/bench_support.h"

namespace vantrix::bench {
namespace {

void BM_LoadSave_RealFiles(benchmark::State& state) {
  const std::string path = RealSavedGame(SizeArg(state));
  RealFilesDesktop desktop;
  const auto app = StartedState(desktop, ScratchFolder(), path);
  for (auto _ : state) {
    LoadSave(*app);
    benchmark::DoNotOptimize(app->roster);
  }
  Require(app->image.saveSize == SizeArg(state), "LoadSave did not load the whole file");
  CountBytes(state);
}

// The file-to-roster path without the log: what LoadSave costs before it
// shows anything.
void BM_ReadSaveFileBuildRoster_Posix(benchmark::State& state) {
  const std::string path = RealSavedGame(SizeArg(state));
  PosixFileStore store;
  SaveImage image;
  for (auto _ : state) {
    Require(ReadSaveFile(store, path, image) == LoadResult::kLoaded, "ReadSaveFile failed");
    Roster roster = BuildRoster(image);
    benchmark::DoNotOptimize(roster);
  }
  CountBytes(state);
}

// The least any program does to have the file in memory: open, ask its
// length, read that many bytes, close. Into a buffer of the image's size,
// allocated once, as the program's is.
void BM_PlainRead(benchmark::State& state) {
  const std::string path = RealSavedGame(SizeArg(state));
  std::vector<std::uint8_t> buffer(kSaveCapacity);
  for (auto _ : state) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    ::fstat(descriptor, &status);
    const std::size_t length = static_cast<std::size_t>(status.st_size);
    std::size_t read = 0;
    while (read < length) {
      const ssize_t got = ::read(descriptor, buffer.data() + read, length - read);
      if (got <= 0) break;
      read += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    Require(read == SizeArg(state), "the plain read fell short");
    benchmark::DoNotOptimize(buffer.data());
  }
  CountBytes(state);
}

// The same LoadSave with the file held in memory: the program's own work
// (plus the in-memory desktop's copy of the bytes).
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

BENCHMARK(BM_LoadSave_RealFiles)->Apply(SaveSizes);
BENCHMARK(BM_ReadSaveFileBuildRoster_Posix)->Apply(SaveSizes);
BENCHMARK(BM_PlainRead)->Apply(SaveSizes);
BENCHMARK(BM_LoadSave_Memory)->Apply(SaveSizes);
BENCHMARK(BM_ReadRoster_Memory)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BuildRoster)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantrix::bench
