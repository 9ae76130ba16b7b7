// A game installed on an in-memory desktop, and the program run against it
// from start to close.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/program.h"
#include "app/saved_games.h"
#include "desktop/memory/memory_desktop.h"
#include "tools/save_builder/save_builder.h"

namespace vantrix {

inline const std::string kGameFolder = "c:\\games\\skarvel\\";
inline const std::string kSavePath = "c:\\games\\skarvel\\saves\\cup.gam";
inline const std::string kCopyPath = "c:\\games\\skarvel\\saves\\_random_cup.gam";

// Anna (human, extra 12), Bot (AI 45, extra 80), Cid (AI 150, extra 0).
inline SaveSpec SmallField() {
  SaveSpec spec;
  spec.drivers = {{"Anna", true, 0, 12}, {"Bot", false, 45, 80}, {"Cid", false, 150, 0}};
  return spec;
}

// A saved game's bytes loaded into an image, as a load would leave it.
inline SaveImage ImageOf(const std::vector<std::uint8_t>& bytes) {
  SaveImage image;
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  image.saveSize = bytes.size();
  return image;
}

inline std::string SettingsText(const std::string& folder, const std::string& save,
                                 const std::string& spread) {
  return "Skarvel = " + folder + "\r\ngame = " + save + "\r\nrandom = " + spread + "\r\n";
}

// The game's executable, a saved game and settings that name both, so the
// program starts without a dialog. Returns the saved game's bytes.
inline std::vector<std::uint8_t> InstallGameOn(MemoryDesktop& desktop,
                                               const SaveSpec& spec = SmallField(),
                                               const std::string& spread = "30") {
  desktop.PutFile(kGameFolder + "Skarvel.exe", std::string("MZ"));
  auto bytes = BuildSavedGame(spec);
  desktop.PutFile(kSavePath, bytes);
  desktop.PutFile("vantrix.prf", SettingsText(kGameFolder, kSavePath, spread));
  return bytes;
}

// How many copies were written: each written copy is followed by its pause.
inline int CopyPauses(const MemoryDesktop& desktop) {
  return static_cast<int>(
      std::count(desktop.Pauses().begin(), desktop.Pauses().end(), kAfterCopyPauseMs));
}

inline std::string ControlText(const MemoryDesktop& desktop, int control) {
  const auto* found = desktop.FindControl(control);
  return found ? found->text : "<no control>";
}

class ProgramTest : public ::testing::Test {
 protected:
  void InstallGame(const SaveSpec& spec = SmallField(), const std::string& spread = "30") {
    saveBytes = InstallGameOn(desktop, spec, spread);
  }

  int Run() { return RunProgram(desktop); }

  std::string Text(int control) const { return ControlText(desktop, control); }

  // The activity log as its label shows it, one entry per line.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::string text = Text(kLogLabel);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      if (end == std::string::npos) break;
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  MemoryDesktop desktop;
  std::vector<std::uint8_t> saveBytes;
};

}  // namespace vantrix
