#include "desktop/win32/files.h"

#include "desktop/win32/win32_file_store.h"

#include <algorithm>
#include <limits>

namespace vantrix::win32 {
namespace {

// ReadFile and WriteFile take a 32-bit count.
DWORD ChunkSize(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

ScopedHandle CreateWithReadSharing(const std::string& path, DWORD access, DWORD disposition) {
  return ScopedHandle(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

FileId Win32FileStore::Keep(ScopedHandle handle) {
  if (!handle.IsValid()) return kNoFile;
  // A name like NUL or CON opens a device, not a file.
  if (GetFileType(handle.Get()) != FILE_TYPE_DISK) return kNoFile;
  ++lastId_;
  open_.emplace(lastId_, std::move(handle));
  return lastId_;
}

HANDLE Win32FileStore::Find(FileId file) const {
  const auto found = open_.find(file);
  return found == open_.end() ? nullptr : found->second.Get();
}

FileId Win32FileStore::OpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, as wanted.
  return Keep(CreateWithReadSharing(path, GENERIC_READ, OPEN_EXISTING));
}

FileId Win32FileStore::CreateForWriting(const std::string& path) {
  // Windows refuses to truncate a read-only file, but Wine run as root does
  // not: check the attribute so a read-only file fails everywhere.
  if (IsReadOnly(path)) return kNoFile;
  return Keep(CreateWithReadSharing(path, GENERIC_WRITE, CREATE_ALWAYS));
}

std::uint64_t Win32FileStore::FileLength(FileId file) {
  HANDLE handle = Find(file);
  if (handle == nullptr) return 0;
  DWORD high = 0;
  const DWORD low = GetFileSize(handle, &high);
  // INVALID_FILE_SIZE is also a valid low half of a large file; only the
  // error code tells them apart.
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

std::size_t Win32FileStore::ReadBytes(FileId file, std::span<std::uint8_t> bytes) {
  HANDLE handle = Find(file);
  if (handle == nullptr) return 0;
  // ReadFile may return fewer bytes than asked before the end; go on until
  // everything asked for is read or a read yields nothing (the end).
  std::size_t total = 0;
  while (total < bytes.size()) {
    DWORD got = 0;
    const BOOL ok = ReadFile(handle, bytes.data() + total, ChunkSize(bytes.size() - total), &got,
                             nullptr);
    if (ok == FALSE) return 0;
    if (got == 0) break;
    total += got;
  }
  return total;
}

std::size_t Win32FileStore::WriteBytes(FileId file, std::span<const std::uint8_t> bytes) {
  HANDLE handle = Find(file);
  if (handle == nullptr) return 0;
  DWORD written = 0;
  if (WriteFile(handle, bytes.data(), ChunkSize(bytes.size()), &written, nullptr) == FALSE) {
    return 0;
  }
  return written;
}

bool Win32FileStore::FlushFile(FileId file) {
  HANDLE handle = Find(file);
  return handle != nullptr && FlushFileBuffers(handle) != FALSE;
}

bool Win32FileStore::CloseFile(FileId file) {
  const auto found = open_.find(file);
  if (found == open_.end()) return false;
  const bool closed = found->second.Close();
  open_.erase(found);
  return closed;
}

bool Win32FileStore::IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool Win32FileStore::MoveReplacing(const std::string& from, const std::string& to) {
  // WRITE_THROUGH: return only once the move is on the disk.
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileStore::RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != FALSE;
}

}  // namespace vantrix::win32

namespace vantrix {

std::unique_ptr<FileStore> MakeWin32FileStore() {
  return std::make_unique<win32::Win32FileStore>();
}

}  // namespace vantrix
