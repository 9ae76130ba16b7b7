#include "cli/win32_file_store.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX  // the mingw C++ headers define it already
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace vantrix {

namespace {

// ReadFile and WriteFile take a 32-bit count; larger spans go in pieces,
// which callers already expect of a read or write.
constexpr std::size_t kLargestTransfer = 1u << 30;

DWORD TransferSize(std::size_t size) {
  return static_cast<DWORD>(std::min(size, kLargestTransfer));
}

}  // namespace

void Win32FileStore::HandleCloser::operator()(void* handle) const {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

FileId Win32FileStore::Keep(void* handle) {
  if (handle == INVALID_HANDLE_VALUE) return kNoFile;
  OwnedHandle owned(handle);
  // A name like NUL or CON opens a device, not a file.
  if (GetFileType(handle) != FILE_TYPE_DISK) return kNoFile;
  const FileId id = nextId_++;
  handles_.emplace(id, std::move(owned));
  return id;
}

void* Win32FileStore::HandleOf(FileId file) const {
  auto found = handles_.find(file);
  return found == handles_.end() ? INVALID_HANDLE_VALUE : found->second.get();
}

FileId Win32FileStore::OpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, as wanted.
  return Keep(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::uint64_t Win32FileStore::FileLength(FileId file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(HandleOf(file), &size) || size.QuadPart < 0) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t Win32FileStore::ReadBytes(FileId file, std::span<std::uint8_t> bytes) {
  DWORD read = 0;
  if (!ReadFile(HandleOf(file), bytes.data(), TransferSize(bytes.size()), &read, nullptr)) return 0;
  return read;
}

FileId Win32FileStore::CreateForWriting(const std::string& path) {
  // CREATE_ALWAYS empties an existing file and fails on a read-only one.
  return Keep(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::size_t Win32FileStore::WriteBytes(FileId file, std::span<const std::uint8_t> bytes) {
  DWORD written = 0;
  if (!WriteFile(HandleOf(file), bytes.data(), TransferSize(bytes.size()), &written, nullptr)) {
    return 0;
  }
  return written;
}

bool Win32FileStore::FlushFile(FileId file) { return FlushFileBuffers(HandleOf(file)) != 0; }

bool Win32FileStore::CloseFile(FileId file) {
  auto found = handles_.find(file);
  if (found == handles_.end()) return false;
  void* handle = found->second.release();
  handles_.erase(found);
  return CloseHandle(handle) != 0;
}

bool Win32FileStore::IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool Win32FileStore::MoveReplacing(const std::string& from, const std::string& to) {
  // Write-through: the call returns once the move is on the disk.
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32FileStore::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace vantrix
