// Files on the Win32 file system, as numbered open files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "desktop/file_store.h"
#include "desktop/win32/scoped_handle.h"

namespace vantrix::win32 {

// The open files of the program, each known by a FileId. Every file is
// opened with read sharing only: others may read it meanwhile, not write it.
class FileTable {
 public:
  FileId OpenForReading(const std::string& path);
  FileId CreateForWriting(const std::string& path);
  std::uint64_t Length(FileId file);
  std::size_t Read(FileId file, std::span<std::uint8_t> bytes);
  std::size_t Write(FileId file, std::span<const std::uint8_t> bytes);
  bool Flush(FileId file);
  bool Close(FileId file);

 private:
  FileId Keep(ScopedHandle handle);
  HANDLE Find(FileId file) const;

  std::map<FileId, ScopedHandle> open_;
  FileId lastId_ = kNoFile;
};

bool IsReadOnlyFile(const std::string& path);
bool MoveFileReplacing(const std::string& from, const std::string& to);
bool DeleteFileAt(const std::string& path);

}  // namespace vantrix::win32
