#include "tests/cli/cli_test_support.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace vantrix::cli_test {

TempFolder::TempFolder() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "vantrix-cli-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  // A test may leave something read-only behind; give write access back so
  // the folder can go.
  ::chmod(path_.c_str(), 0755);
  for (const std::string& name : Names()) ::chmod((path_ / name).c_str(), 0755);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::set<std::string> TempFolder::Names() const {
  std::set<std::string> names;
  std::error_code error;
  std::filesystem::recursive_directory_iterator entry(path_, error);
  for (; !error && entry != std::filesystem::recursive_directory_iterator();
       entry.increment(error)) {
    names.insert(entry->path().lexically_relative(path_).generic_string());
  }
  return names;
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>());
}

}  // namespace vantrix::cli_test
