// Files on Linux and other POSIX systems: the file store of vantrix-cli there,
// and of the benchmarks that time real files.
//
// Implemented: reading, writing, fsync, read-only check, rename(2) as the
// atomic replace (followed by an fsync of the folder, so the new name is
// durable too), unlink. Paths are used exactly as given: POSIX file systems
// tell letter case apart, so nothing is lowered.
// Not implemented: keeping other programs from writing a file that is open
// for reading (POSIX has no mandatory share modes); the copy is replaced
// atomically, so a reader never sees it half-written either way.
#pragma once

#include <map>

#include "desktop/file_store.h"

namespace vantrix {

class PosixFileStore : public FileStore {
 public:
  PosixFileStore() = default;
  ~PosixFileStore() override;
  PosixFileStore(const PosixFileStore&) = delete;
  PosixFileStore& operator=(const PosixFileStore&) = delete;

  // Only regular files open: a folder, device or pipe gives kNoFile.
  FileId OpenForReading(const std::string& path) override;
  std::uint64_t FileLength(FileId file) override;
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override;
  FileId CreateForWriting(const std::string& path) override;
  std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) override;
  bool FlushFile(FileId file) override;
  bool CloseFile(FileId file) override;
  // An existing file whose mode has no write bit, or that this process may
  // not write (for root, which may write anything, only the mode counts).
  bool IsReadOnly(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;

 private:
  // Opens path with the given flags as a regular file and hands out its id.
  FileId Open(const std::string& path, int flags);
  // The descriptor of an id, or -1.
  int DescriptorOf(FileId file) const;

  std::map<FileId, int> descriptors_;
  FileId nextId_ = 1;
};

}  // namespace vantrix
