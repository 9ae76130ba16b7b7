#include "desktop/posix/posix_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace vantrix {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// The folder part of a path, for syncing it after a rename; "." for a bare
// file name.
std::string FolderForSync(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

PosixFileStore::~PosixFileStore() {
  for (const auto& [id, descriptor] : descriptors_) ::close(descriptor);
}

FileId PosixFileStore::Open(const std::string& path, int flags) {
  // O_NONBLOCK keeps a pipe from holding the program until another end
  // opens; it changes nothing for the regular files accepted below.
  const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  if (descriptor < 0) return kNoFile;
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(descriptor);
    return kNoFile;
  }
  const FileId id = nextId_++;
  descriptors_[id] = descriptor;
  return id;
}

int PosixFileStore::DescriptorOf(FileId file) const {
  auto found = descriptors_.find(file);
  return found == descriptors_.end() ? -1 : found->second;
}

FileId PosixFileStore::OpenForReading(const std::string& path) { return Open(path, O_RDONLY); }

std::uint64_t PosixFileStore::FileLength(FileId file) {
  struct stat status {};
  if (::fstat(DescriptorOf(file), &status) != 0 || status.st_size < 0) return 0;
  return static_cast<std::uint64_t>(status.st_size);
}

std::size_t PosixFileStore::ReadBytes(FileId file, std::span<std::uint8_t> bytes) {
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) return 0;
  const std::size_t wanted =
      std::min<std::size_t>(bytes.size(), std::numeric_limits<ssize_t>::max());
  ssize_t got = -1;
  do {
    got = ::read(descriptor, bytes.data(), wanted);
  } while (got < 0 && errno == EINTR);
  return got < 0 ? 0 : static_cast<std::size_t>(got);
}

FileId PosixFileStore::CreateForWriting(const std::string& path) {
  return Open(path, O_WRONLY | O_CREAT | O_TRUNC);
}

std::size_t PosixFileStore::WriteBytes(FileId file, std::span<const std::uint8_t> bytes) {
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) return 0;
  const std::size_t given =
      std::min<std::size_t>(bytes.size(), std::numeric_limits<ssize_t>::max());
  ssize_t written = -1;
  do {
    written = ::write(descriptor, bytes.data(), given);
  } while (written < 0 && errno == EINTR);
  return written < 0 ? 0 : static_cast<std::size_t>(written);
}

bool PosixFileStore::FlushFile(FileId file) {
  const int descriptor = DescriptorOf(file);
  return descriptor >= 0 && ::fsync(descriptor) == 0;
}

bool PosixFileStore::CloseFile(FileId file) {
  auto found = descriptors_.find(file);
  if (found == descriptors_.end()) return false;
  const int descriptor = found->second;
  descriptors_.erase(found);
  return ::close(descriptor) == 0;
}

bool PosixFileStore::IsReadOnly(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;  // no file, nothing to refuse
  // access() answers yes to root for every file, so the mode bits are
  // checked as well: a file marked read-only stays unreplaced for root too.
  return (status.st_mode & kWriteBits) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool PosixFileStore::MoveReplacing(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  // The rename is in place; syncing the folder makes it survive a crash.
  // A folder that cannot be synced does not undo the move.
  const int folder = ::open(FolderForSync(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

bool PosixFileStore::RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace vantrix
