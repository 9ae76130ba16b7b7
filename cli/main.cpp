// vantrix-cli's entry point: the command line and the system's file store
// handed to RunCli.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#ifdef _WIN32
#include "cli/win32_file_store.h"
using SystemFileStore = vantrix::Win32FileStore;
#else
#include "cli/posix_file_store.h"
using SystemFileStore = vantrix::PosixFileStore;
#endif

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    SystemFileStore store;
    return vantrix::RunCli(args, store, std::cout, std::cerr);
  } catch (const std::exception& failure) {
    // Only running out of memory gets here; say so rather than abort.
    std::cerr << "vantrix-cli: " << failure.what() << "\n";
    return vantrix::kExitNothingDone;
  }
}
