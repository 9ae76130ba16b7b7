#include "tests/bench/bench_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/program.h"
#include "tools/save_builder/save_builder.h"

namespace vantrix::bench {

namespace {

// Removes the scratch folder when the process ends, whatever was left in it.
class ScratchFolderOwner {
 public:
  ScratchFolderOwner() {
    const char* base = std::getenv("VANTRIX_BENCH_DIR");
    std::string pattern = (base != nullptr && *base != '\0')
                              ? std::string(base)
                              : std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(pattern);
    pattern += "/vantrix-bench-XXXXXX";
    Require(::mkdtemp(pattern.data()) != nullptr, "cannot create the scratch folder");
    folder_ = pattern + "/";
  }
  ~ScratchFolderOwner() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ScratchFolderOwner(const ScratchFolderOwner&) = delete;
  ScratchFolderOwner& operator=(const ScratchFolderOwner&) = delete;

  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

int OpenOrDie(const std::string& path, int flags) {
  const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  Require(descriptor >= 0, "a plain open failed");
  return descriptor;
}

}  // namespace

const std::string& ScratchFolder() {
  static const ScratchFolderOwner owner;
  return owner.Folder();
}

std::string RealFilesDesktop::InFolder(const std::string& path) {
  return !path.empty() && path.front() == '/' ? path : ScratchFolder() + path;
}

FileId RealFilesDesktop::OpenForReading(const std::string& path) {
  return files_.OpenForReading(InFolder(path));
}
std::uint64_t RealFilesDesktop::FileLength(FileId file) { return files_.FileLength(file); }
std::size_t RealFilesDesktop::ReadBytes(FileId file, std::span<std::uint8_t> bytes) {
  return files_.ReadBytes(file, bytes);
}
FileId RealFilesDesktop::CreateForWriting(const std::string& path) {
  return files_.CreateForWriting(InFolder(path));
}
std::size_t RealFilesDesktop::WriteBytes(FileId file, std::span<const std::uint8_t> bytes) {
  return files_.WriteBytes(file, bytes);
}
bool RealFilesDesktop::FlushFile(FileId file) { return files_.FlushFile(file); }
bool RealFilesDesktop::CloseFile(FileId file) { return files_.CloseFile(file); }
bool RealFilesDesktop::IsReadOnly(const std::string& path) {
  return files_.IsReadOnly(InFolder(path));
}
bool RealFilesDesktop::MoveReplacing(const std::string& from, const std::string& to) {
  return files_.MoveReplacing(InFolder(from), InFolder(to));
}
bool RealFilesDesktop::RemoveFile(const std::string& path) {
  return files_.RemoveFile(InFolder(path));
}

std::vector<std::uint8_t> SavedGameOfSize(std::size_t size) {
  SaveSpec spec;
  spec.drivers = {{"Anna", true, 0, 12},   {"Bot", false, 45, 80},  {"Cid", false, 150, 0},
                  {"Dora", false, 90, 40}, {"Eli", false, 120, 60}, {"Fynn", false, 30, 200}};
  spec.entryCount = 3;
  spec.size = size;
  return BuildSavedGame(spec);
}

std::string RealSavedGame(std::size_t size) {
  static std::set<std::size_t> written;
  const std::string path = ScratchFolder() + "save_" + std::to_string(size) + ".gam";
  if (written.insert(size).second) {
    PutRealFile(path, SavedGameOfSize(size));
    PutRealFile(ScratchFolder() + "Skarvel.exe", std::string("MZ"));
  }
  return path;
}

std::string MemorySavedGame(MemoryDesktop& desktop, std::size_t size) {
  const std::string path = kMemoryFolder + "saves\\save_" + std::to_string(size) + ".gam";
  desktop.PutFile(kMemoryFolder + "Skarvel.exe", std::string("MZ"));
  desktop.PutFile(path, SavedGameOfSize(size));
  return path;
}

void SaveSizes(benchmark::internal::Benchmark* bench) {
  bench->Arg(1024)->Arg(100 * 1024)->Arg(static_cast<std::int64_t>(kSaveCapacity));
  bench->Unit(benchmark::kMicrosecond)->UseRealTime();
}

std::size_t SizeArg(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0));
}

void CountBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void RunSideBySide(benchmark::State& state, const std::vector<TimedOperation>& operations) {
  using Clock = std::chrono::steady_clock;
  std::vector<std::vector<double>> times(operations.size());
  std::size_t first = 0;
  for (auto _ : state) {
    for (std::size_t k = 0; k < operations.size(); ++k) {
      const std::size_t at = (first + k) % operations.size();
      const Clock::time_point start = Clock::now();
      operations[at].run();
      times[at].push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
    }
    first = (first + 1) % operations.size();
  }
  for (std::size_t at = 0; at < operations.size(); ++at) {
    std::vector<double>& mine = times[at];
    if (mine.empty()) continue;
    std::nth_element(mine.begin(), mine.begin() + static_cast<std::ptrdiff_t>(mine.size() / 2),
                     mine.end());
    state.counters[operations[at].name + "_ns"] = mine[mine.size() / 2];
  }
}

void PutRealFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  PlainWrite(path, bytes, false);
}

void PutRealFile(const std::string& path, const std::string& text) {
  PlainWrite(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
             false);
}

std::size_t PlainRead(const std::string& path, std::span<std::uint8_t> buffer) {
  const int descriptor = OpenOrDie(path, O_RDONLY);
  struct stat status {};
  Require(::fstat(descriptor, &status) == 0, "a plain fstat failed");
  const std::size_t length = std::min(static_cast<std::size_t>(status.st_size), buffer.size());
  std::size_t read = 0;
  while (read < length) {
    const ssize_t got = ::read(descriptor, buffer.data() + read, length - read);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    read += static_cast<std::size_t>(got);
  }
  ::close(descriptor);
  return read;
}

void PlainWrite(const std::string& path, std::span<const std::uint8_t> bytes, bool sync) {
  const int descriptor = OpenOrDie(path, O_WRONLY | O_CREAT | O_TRUNC);
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    Require(written > 0, "a plain write failed");
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  if (sync) Require(::fsync(descriptor) == 0, "a plain fsync failed");
  ::close(descriptor);
}

void PlainReplace(const std::string& path, std::span<const std::uint8_t> bytes, bool syncFolder) {
  const std::string temporary = path + ".tmp";
  PlainWrite(temporary, bytes, true);
  Require(::rename(temporary.c_str(), path.c_str()) == 0, "a plain rename failed");
  if (!syncFolder) return;
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  const int descriptor = OpenOrDie(folder, O_RDONLY | O_DIRECTORY);
  Require(::fsync(descriptor) == 0, "a plain fsync of the folder failed");
  ::close(descriptor);
}

std::unique_ptr<AppState> StartedState(MemoryDesktop& desktop, const std::string& folder,
                                       const std::string& savePath) {
  auto state = std::make_unique<AppState>(desktop);
  state->gameFolder = folder;
  state->savePath = savePath;
  StartUp(*state);
  Require(!state->ended, "the program ended at startup");
  Require(state->loadedPath == savePath, "the saved game was not loaded at startup");
  return state;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "vantrix_bench: %s\n", what);
  std::exit(2);
}

}  // namespace vantrix::bench
