// The POSIX file store on the real file system: reads that stop at the end,
// creating and replacing files, and the read-only refusal.
#include "desktop/posix/posix_file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>

#include "tests/cli/cli_test_support.h"

namespace vantrix {
namespace {

using cli_test::ReadWholeFile;
using cli_test::TempFolder;
using cli_test::WriteWholeFile;

TEST(PosixFileStore, ReadsUpToTheEndAndReportsTheLength) {
  TempFolder folder;
  WriteWholeFile(folder / "ten", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  PosixFileStore store;
  const FileId file = store.OpenForReading(folder / "ten");
  ASSERT_NE(file, kNoFile);
  EXPECT_EQ(store.FileLength(file), 10u);
  std::array<std::uint8_t, 4> small{};
  EXPECT_EQ(store.ReadBytes(file, small), 4u);
  EXPECT_EQ(small, (std::array<std::uint8_t, 4>{0, 1, 2, 3}));
  std::array<std::uint8_t, 16> large{};
  EXPECT_EQ(store.ReadBytes(file, large), 6u);  // only what is left
  EXPECT_EQ(large[5], 9);
  EXPECT_EQ(store.ReadBytes(file, large), 0u);  // at the end
  EXPECT_TRUE(store.CloseFile(file));
  EXPECT_FALSE(store.CloseFile(file));  // not open any more
}

TEST(PosixFileStore, OpensOnlyRegularFilesAndNeverWaitsOnAPipe) {
  TempFolder folder;
  ASSERT_EQ(::mkdir((folder / "dir").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0);
  PosixFileStore store;
  for (const char* name : {"missing", "dir", "pipe"}) {
    EXPECT_EQ(store.OpenForReading(folder / name), kNoFile) << name;
  }
  for (const char* name : {"dir", "pipe", "no folder/file"}) {
    EXPECT_EQ(store.CreateForWriting(folder / name), kNoFile) << name;
  }
  // Names are taken as given: letter case makes another file.
  WriteWholeFile(folder / "Cup.gam", {1});
  EXPECT_EQ(store.OpenForReading(folder / "cup.gam"), kNoFile);
}

TEST(PosixFileStore, CreatesEmptyingAnExistingFileAndReplacesByMoving) {
  TempFolder folder;
  WriteWholeFile(folder / "target", {7, 7, 7, 7, 7});
  WriteWholeFile(folder / "new", {5, 5, 5, 5, 5, 5, 5, 5});
  PosixFileStore store;
  const FileId file = store.CreateForWriting(folder / "new");
  ASSERT_NE(file, kNoFile);
  const std::array<std::uint8_t, 3> bytes{1, 2, 3};
  EXPECT_EQ(store.WriteBytes(file, bytes), 3u);
  EXPECT_TRUE(store.FlushFile(file));
  EXPECT_TRUE(store.CloseFile(file));
  EXPECT_EQ(ReadWholeFile(folder / "new"), (std::vector<std::uint8_t>{1, 2, 3}));

  EXPECT_TRUE(store.MoveReplacing(folder / "new", folder / "target"));
  EXPECT_EQ(ReadWholeFile(folder / "target"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"target"}));
  EXPECT_FALSE(store.MoveReplacing(folder / "new", folder / "target"));  // gone now
  EXPECT_TRUE(store.RemoveFile(folder / "target"));
  EXPECT_FALSE(store.RemoveFile(folder / "target"));
}

TEST(PosixFileStore, TellsReadOnlyFilesByTheirModeAndTheAtomicReplaceRefusesThem) {
  TempFolder folder;
  WriteWholeFile(folder / "open", {1});
  WriteWholeFile(folder / "locked", {2});
  ASSERT_EQ(::chmod((folder / "locked").c_str(), 0444), 0);
  PosixFileStore store;
  EXPECT_FALSE(store.IsReadOnly(folder / "missing"));
  EXPECT_FALSE(store.IsReadOnly(folder / "open"));
  EXPECT_TRUE(store.IsReadOnly(folder / "locked"));

  const std::array<std::uint8_t, 2> bytes{8, 9};
  EXPECT_FALSE(ReplaceFileAtomically(store, folder / "locked", bytes));
  EXPECT_EQ(ReadWholeFile(folder / "locked"), (std::vector<std::uint8_t>{2}));
  EXPECT_TRUE(ReplaceFileAtomically(store, folder / "open", bytes));
  EXPECT_EQ(ReadWholeFile(folder / "open"), (std::vector<std::uint8_t>{8, 9}));
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"locked", "open"}));
}

}  // namespace
}  // namespace vantrix
