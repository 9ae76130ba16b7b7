// make_save: writes a synthetic saved game.
//
//   make_save OUT [--entries E] [--count N] [--size BYTES] DRIVER...
//
// DRIVER is NAME:human[:EXTRA] or NAME:ai:LEVEL[:EXTRA]; a name may hold
// blanks and commas but no colon.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "tools/save_builder/save_builder.h"

namespace {

bool ParseDriver(const std::string& text, vantrix::DriverSpec& driver) {
  std::string parts[4];
  std::size_t count = 0;
  std::size_t start = 0;
  while (count < 4) {
    const std::size_t colon = text.find(':', start);
    parts[count++] = text.substr(start, colon == std::string::npos ? colon : colon - start);
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  if (count < 2) return false;
  driver.name = parts[0];
  driver.human = parts[1] == "human";
  if (!driver.human && parts[1] != "ai") return false;
  const std::string level = driver.human ? "0" : parts[2];
  const std::string extra = driver.human ? parts[2] : parts[3];
  driver.level = static_cast<std::uint8_t>(std::atoi(level.c_str()));
  driver.extra = static_cast<std::uint8_t>(std::atoi(extra.c_str()));
  return true;
}

int Usage() {
  std::fputs("usage: make_save OUT [--entries E] [--count N] [--size BYTES] "
             "NAME:human[:EXTRA] | NAME:ai:LEVEL[:EXTRA] ...\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  vantrix::SaveSpec spec;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--entries" && hasValue) {
      spec.entryCount = static_cast<std::uint8_t>(std::atoi(argv[++i]));
    } else if (arg == "--count" && hasValue) {
      spec.driverCount = static_cast<std::uint8_t>(std::atoi(argv[++i]));
    } else if (arg == "--size" && hasValue) {
      spec.size = static_cast<std::size_t>(std::strtoull(argv[++i], nullptr, 10));
    } else {
      vantrix::DriverSpec driver;
      if (!ParseDriver(std::string(arg), driver)) return Usage();
      spec.drivers.push_back(driver);
    }
  }
  const auto bytes = vantrix::BuildSavedGame(spec);
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_save: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
