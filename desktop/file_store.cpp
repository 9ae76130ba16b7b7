#include "desktop/file_store.h"

namespace vantrix {

bool ScopedFile::Close() {
  if (file_ == kNoFile) return true;
  FileId file = file_;
  file_ = kNoFile;
  return store_.CloseFile(file);
}

bool CanOpenForReading(FileStore& store, const std::string& path) {
  ScopedFile file(store, store.OpenForReading(path));
  return file.IsOpen();
}

bool WriteAll(FileStore& store, FileId file, std::span<const std::uint8_t> bytes) {
  // A write may take fewer bytes than it is given; go on until everything is
  // written or a write makes no progress at all.
  while (!bytes.empty()) {
    std::size_t written = store.WriteBytes(file, bytes);
    if (written == 0 || written > bytes.size()) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

std::string TemporaryNameFor(const std::string& path) { return path + ".tmp"; }

bool ReplaceFileAtomically(FileStore& store, const std::string& path,
                           std::span<const std::uint8_t> bytes) {
  // Some systems (Wine among them) let a move replace a read-only file, so
  // the refusal is checked here rather than left to the move.
  if (store.IsReadOnly(path)) return false;
  const std::string temporary = TemporaryNameFor(path);
  bool complete = false;
  {
    ScopedFile file(store, store.CreateForWriting(temporary));
    if (!file.IsOpen()) return false;
    complete = WriteAll(store, file.Id(), bytes) && store.FlushFile(file.Id());
    complete = file.Close() && complete;
  }
  if (complete && store.MoveReplacing(temporary, path)) return true;
  store.RemoveFile(temporary);
  return false;
}

}  // namespace vantrix
