#include "save/save_file.h"

namespace vantrix {

LoadResult ReadSaveFile(FileStore& store, const std::string& path, SaveImage& image) {
  ScopedFile file(store, store.OpenForReading(path));
  if (!file.IsOpen()) return LoadResult::kCannotOpen;
  const std::uint64_t length = store.FileLength(file.Id());
  // A longer file would not fit, and a truncated image would give a
  // truncated, corrupt copy: such a file is refused whole.
  if (length > image.bytes.size()) return LoadResult::kTooLong;
  const std::span<std::uint8_t> into(image.bytes.data(), static_cast<std::size_t>(length));
  std::size_t read = 0;
  // A read may return fewer bytes than asked; go on until the file is in or
  // a read brings nothing.
  while (read < into.size()) {
    const std::size_t got = store.ReadBytes(file.Id(), into.subspan(read));
    if (got == 0) break;
    read += got;
  }
  image.saveSize = read;
  return read == into.size() ? LoadResult::kLoaded : LoadResult::kCutShort;
}

bool WriteCopyFile(FileStore& store, const std::string& savePath, const SaveImage& image) {
  return ReplaceFileAtomically(store, CopyPathOf(savePath), LoadedBytes(image));
}

}  // namespace vantrix
