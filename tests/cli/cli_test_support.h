// Helpers for the vantrix-cli tests: running a command line against a file
// store, a temporary folder on the real file system, and whole-file access.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace vantrix::cli_test {

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

inline CliRun RunWith(FileStore& store, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CliRun run;
  run.code = RunCli(args, store, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test ends.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The path of a name inside the folder.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names in the folder, subfolders' contents included ("sub/name").
  std::set<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace vantrix::cli_test
