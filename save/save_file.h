// Reading a saved game from a file store into the image, and writing the
// randomized copy beside it. The window and the command-line tool share
// these, so both read and write byte for byte alike.
#pragma once

#include <string>

#include "desktop/file_store.h"
#include "save/saved_game.h"

namespace vantrix {

enum class LoadResult {
  kLoaded,      // the whole file is in the image; saveSize is its length
  kCannotOpen,  // nothing changed
  kTooLong,     // longer than the image holds; nothing changed
  kCutShort,    // a read failed part-way; saveSize is what was read
};

// Reads the whole file at path into the image from its first byte.
LoadResult ReadSaveFile(FileStore& store, const std::string& path, SaveImage& image);

// Replaces the copy beside savePath ("_random_" + its file name) with the
// loaded bytes of the image, atomically; true only when the whole copy is in
// place.
bool WriteCopyFile(FileStore& store, const std::string& savePath, const SaveImage& image);

}  // namespace vantrix
