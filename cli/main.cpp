// vantrix-cli's entry point: the command line and the system's file store
// handed to RunCli.
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"
#ifdef _WIN32
#include "desktop/win32/win32_file_store.h"
#else
#include "desktop/posix/posix_file_store.h"
#endif

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
#ifdef _WIN32
    const auto store = vantrix::MakeWin32FileStore();
#else
    const auto store = std::make_unique<vantrix::PosixFileStore>();
#endif
    return vantrix::RunCli(args, *store, std::cout, std::cerr);
  } catch (const std::exception& failure) {
    // Only running out of memory gets here; say so rather than abort.
    std::cerr << "vantrix-cli: " << failure.what() << "\n";
    return vantrix::kExitNothingDone;
  }
}
