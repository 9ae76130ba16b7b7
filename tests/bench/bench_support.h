// What the benchmarks share: a scratch folder on a real disk, a desktop whose
// files are real files in that folder, the plain system calls each operation
// is compared with, and synthetic saved games of a given length.
//
// "Plain" means the least a program could do for the same bytes: open, read
// or write in a loop until done (optionally fsync), close. No checks, no
// temporary file, no move.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "desktop/posix/posix_file_store.h"
#include "desktop/memory/memory_desktop.h"

namespace vantrix::bench {

// The scratch folder of this run: a new folder under $VANTRIX_BENCH_DIR (or
// the system's temporary folder), removed when the process ends. Ends in '/'.
const std::string& ScratchFolder();

// The in-memory desktop with its file operations sent to real files through
// the POSIX file store. A relative path is taken from the scratch folder, as
// the program takes one from its working directory. Pauses are recorded, not
// slept, as in the in-memory desktop.
class RealFilesDesktop final : public MemoryDesktop {
 public:
  FileId OpenForReading(const std::string& path) override;
  std::uint64_t FileLength(FileId file) override;
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override;
  FileId CreateForWriting(const std::string& path) override;
  std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) override;
  bool FlushFile(FileId file) override;
  bool CloseFile(FileId file) override;
  bool IsReadOnly(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;

 private:
  static std::string InFolder(const std::string& path);
  PosixFileStore files_;
};

// A saved game of exactly `size` bytes with six drivers, one of them human.
// Below about 11 KB the file is too short to hold the extra values, as a
// short file in the field would be; every level is still there.
std::vector<std::uint8_t> SavedGameOfSize(std::size_t size);

// The game folder of the in-memory desktops.
inline const std::string kMemoryFolder = "c:\\games\\skarvel\\";

// The real file of the saved game of this length in the scratch folder,
// written on first use, with the game's executable beside it.
std::string RealSavedGame(std::size_t size);
// The same saved game on an in-memory desktop, with the game's executable in
// kMemoryFolder; returns its path there.
std::string MemorySavedGame(MemoryDesktop& desktop, std::size_t size);

// The saved-game lengths measured: 1 KB, 100 KB and the largest the image
// holds; times in microseconds of wall-clock time, since a flush waits for
// the disk without using the processor.
void SaveSizes(benchmark::internal::Benchmark* bench);
// The length of the saved game a benchmark of SaveSizes was given.
std::size_t SizeArg(const benchmark::State& state);
// Reports the saved game's bytes as processed by each iteration.
void CountBytes(benchmark::State& state);

// One of the operations a benchmark times side by side with others; its
// median time per run goes to the counter name + "_ns".
struct TimedOperation {
  std::string name;
  std::function<void()> run;
};

// Runs every operation once per iteration, starting each iteration with the
// next one in turn, and times each on its own. Operations on real files are
// compared this way because the disk's speed comes in bursts: a burst of
// other work then falls on the program and on the plain calls alike, and the
// ratio of their medians holds where separate runs minutes apart do not.
void RunSideBySide(benchmark::State& state, const std::vector<TimedOperation>& operations);

// Writes bytes to path with plain calls (no fsync); aborts the run on failure.
void PutRealFile(const std::string& path, std::span<const std::uint8_t> bytes);
void PutRealFile(const std::string& path, const std::string& text);

// The least any program does to have a whole file in memory: open, ask its
// length, read that many bytes into buffer (which must be large enough),
// close. Returns the bytes read.
std::size_t PlainRead(const std::string& path, std::span<std::uint8_t> buffer);
// Plain writes bytes to path, with fsync when sync is true.
void PlainWrite(const std::string& path, std::span<const std::uint8_t> bytes, bool sync);

// The fewest plain calls that replace path durably and in one step: write a
// temporary file beside it, fsync, close, rename over path; then, when
// syncFolder is true, fsync the folder so the rename itself is durable.
void PlainReplace(const std::string& path, std::span<const std::uint8_t> bytes, bool syncFolder);

// A program state after startup on this desktop: window and controls open,
// the game found, the saved game at savePath loaded. The desktop must hold
// folder + "Skarvel.exe" and the saved game.
std::unique_ptr<AppState> StartedState(MemoryDesktop& desktop, const std::string& folder,
                                       const std::string& savePath);

// Stops the run with a message when an operation that must succeed did not:
// a benchmark of a failing path would measure the wrong thing.
void Require(bool condition, const char* what);

}  // namespace vantrix::bench
