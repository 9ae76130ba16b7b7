// Runs a fuzz target over given files and folders without libFuzzer, for
// builds whose compiler has none (gcc) or that only replay: every seed and
// every saved crash input goes through the same checks, under the
// sanitizers where the build has them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunOne(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path given(argv[i]);
    if (!std::filesystem::exists(given)) {
      std::fprintf(stderr, "replay: %s does not exist\n", argv[i]);
      return 1;
    }
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(given)) {
      for (const auto& entry : std::filesystem::directory_iterator(given)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.push_back(given);
    }
    for (const auto& file : files) RunOne(file);
    inputs += files.size();
  }
  // A run over nothing proves nothing: an empty or missing corpus fails.
  std::printf("replay: %zu inputs passed\n", inputs);
  return inputs == 0 ? 1 : 0;
}
