// Files on the Win32 file system: the FileStore of the program and of
// vantrix-cli on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "desktop/file_store.h"
#include "desktop/win32/scoped_handle.h"

namespace vantrix::win32 {

// The open files, each known by a FileId. Every file is opened with read
// sharing only: others may read it meanwhile, not write it. Only disk files
// open: a folder, or a device name such as NUL or CON, gives kNoFile.
class Win32FileStore final : public FileStore {
 public:
  FileId OpenForReading(const std::string& path) override;
  std::uint64_t FileLength(FileId file) override;
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override;
  FileId CreateForWriting(const std::string& path) override;
  std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) override;
  bool FlushFile(FileId file) override;
  bool CloseFile(FileId file) override;
  // An existing file (not a folder) with the read-only attribute.
  bool IsReadOnly(const std::string& path) override;
  // MoveFileExA with replace and write-through.
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;

 private:
  FileId Keep(ScopedHandle handle);
  HANDLE Find(FileId file) const;

  std::map<FileId, ScopedHandle> open_;
  FileId lastId_ = kNoFile;
};

}  // namespace vantrix::win32
