// The file store of vantrix-cli on Windows (built only there).
//
// Implemented: reading with read sharing only (others may read the saved
// game meanwhile, not write it), writing, FlushFileBuffers, the read-only
// attribute, MoveFileExA with replace and write-through as the atomic
// replace, DeleteFileA. Paths are ANSI code-page paths, used as given.
// <windows.h> stays inside the .cpp; handles are held as plain pointers
// that close themselves.
#pragma once

#include <map>
#include <memory>

#include "desktop/file_store.h"

namespace vantrix {

class Win32FileStore : public FileStore {
 public:
  Win32FileStore() = default;
  Win32FileStore(const Win32FileStore&) = delete;
  Win32FileStore& operator=(const Win32FileStore&) = delete;

  // Only disk files open: a folder or a device such as NUL gives kNoFile.
  FileId OpenForReading(const std::string& path) override;
  std::uint64_t FileLength(FileId file) override;
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override;
  FileId CreateForWriting(const std::string& path) override;
  std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) override;
  bool FlushFile(FileId file) override;
  bool CloseFile(FileId file) override;
  // An existing file (not a folder) with the read-only attribute.
  bool IsReadOnly(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;

 private:
  struct HandleCloser {
    void operator()(void* handle) const;
  };
  using OwnedHandle = std::unique_ptr<void, HandleCloser>;

  // Keeps an opened disk file and hands out its id; kNoFile for anything else.
  FileId Keep(void* handle);
  void* HandleOf(FileId file) const;

  std::map<FileId, OwnedHandle> handles_;
  FileId nextId_ = 1;
};

}  // namespace vantrix
