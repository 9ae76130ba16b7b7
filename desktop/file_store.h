// Files as the program sees them: open, read, create, write, flush, close,
// and the few whole-file operations that an atomic replace needs.
//
// Every operation says whether it succeeded; none throws. A FileStore is used
// on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vantrix {

// An open file of a FileStore; kNoFile when nothing is open.
using FileId = int;
inline constexpr FileId kNoFile = 0;

class FileStore {
 public:
  virtual ~FileStore() = default;

  // Opens an existing file for reading at its first byte. Others may read the
  // file meanwhile but not write it. kNoFile when it cannot be opened.
  virtual FileId OpenForReading(const std::string& path) = 0;
  // The length in bytes of an open file.
  virtual std::uint64_t FileLength(FileId file) = 0;
  // Reads up to bytes.size() bytes at the current position and moves past
  // them; returns how many were read: fewer at the end of the file, 0 on error.
  virtual std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) = 0;

  // Creates a file for writing, emptying an existing one. kNoFile when it
  // cannot be created: a read-only file, a missing folder, a folder of that
  // name, a full or failing disk.
  virtual FileId CreateForWriting(const std::string& path) = 0;
  // Writes at the end of what was written so far; returns how many bytes were
  // written, which is fewer than given when the disk fails or fills up.
  virtual std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) = 0;
  // Makes what was written durable; false when the system reports a failure.
  virtual bool FlushFile(FileId file) = 0;
  // Closes a file opened by this store; false when closing reported a failure.
  virtual bool CloseFile(FileId file) = 0;

  // True when path names an existing file that is marked read-only.
  virtual bool IsReadOnly(const std::string& path) = 0;
  // Moves a file over another name in one step, replacing an existing file of
  // that name; false when nothing was moved.
  virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
  // Deletes a file; false when it was not there or could not be deleted.
  virtual bool RemoveFile(const std::string& path) = 0;
};

// Closes its file when it goes out of scope.
class ScopedFile {
 public:
  ScopedFile(FileStore& store, FileId file) : store_(store), file_(file) {}
  ~ScopedFile() { Close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  bool IsOpen() const { return file_ != kNoFile; }
  FileId Id() const { return file_; }
  // Closes now; false when closing failed. Closing twice is harmless.
  bool Close();

 private:
  FileStore& store_;
  FileId file_;
};

// True when path names a file that can be opened for reading; leaves no file
// open.
bool CanOpenForReading(FileStore& store, const std::string& path);

// Writes all bytes to an open file, going on after a partial write; true only
// when every byte was written.
bool WriteAll(FileStore& store, FileId file, std::span<const std::uint8_t> bytes);

// The name an atomic replace of path writes to before it moves the file into
// place: in the same folder, so the move never crosses a volume.
std::string TemporaryNameFor(const std::string& path);

// Replaces the file at path with exactly these bytes, so that a reader sees
// either the old file whole or the new one whole. The bytes go to a temporary
// file beside the target, are flushed, and the temporary file is moved over
// the target. A read-only target is refused. On any failure the target is
// left as it was and the temporary file is removed. True only when the new
// file is in place.
bool ReplaceFileAtomically(FileStore& store, const std::string& path,
                           std::span<const std::uint8_t> bytes);

}  // namespace vantrix
