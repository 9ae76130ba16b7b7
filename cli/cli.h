// vantrix-cli: lists a saved game's drivers and writes randomized copies
// without a window, for scripts and for players whose game runs where the
// window's F5 cannot reach it.
//
// A roll reads, draws and writes exactly as the window's Random button does
// (the same six draws, the same deviation for a slot's level and extra value,
// the same clamping, the same atomic copy), and with a given seed the same
// saved game and spread give the same copy on every system.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "desktop/file_store.h"

namespace vantrix {

// Exit codes.
inline constexpr int kExitDone = 0;         // the copy was written, or the listing shown
inline constexpr int kExitNothingDone = 1;  // nothing written; one line on err says why
inline constexpr int kExitUsage = 2;        // the command line is not understood

// Runs one command line (the arguments after the program name) against a
// file store: results go to out, reasons for failing to err. Returns the exit
// code. Never throws out of itself for a bad file or argument.
int RunCli(const std::vector<std::string>& args, FileStore& store, std::ostream& out,
           std::ostream& err);

// The text --help prints.
std::string CliHelpText();

}  // namespace vantrix
