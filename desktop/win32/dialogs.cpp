#include "desktop/win32/dialogs.h"

#include <commdlg.h>

#include <array>
#include <string_view>

namespace vantrix::win32 {
namespace {

struct StartingPoint {
  std::string folder;
  std::string fileName;
};

// A preset name the dialog could never accept as a file name is dropped
// rather than shown: control characters and the characters Windows refuses
// in names (a backslash cannot occur, the path was cut at the last one).
bool IsUsableFileName(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
    for (const char refused : std::string_view("<>:\"/\\|?*")) {
      if (c == refused) return false;
    }
  }
  return true;
}

StartingPoint StartingPointOf(const std::string& initialPath) {
  const std::size_t cut = initialPath.rfind('\\');
  StartingPoint start;
  if (cut == std::string::npos) {
    start.fileName = initialPath;
  } else {
    start.folder = initialPath.substr(0, cut);
    start.fileName = initialPath.substr(cut + 1);
  }
  if (!IsUsableFileName(start.fileName)) start.fileName.clear();
  return start;
}

// "description|pattern" becomes "description\0pattern\0\0", the layout
// lpstrFilter wants.
std::string FilterPairs(const std::string& filter) {
  std::string pairs = filter;
  for (char& c : pairs) {
    if (c == '|') c = '\0';
  }
  pairs.push_back('\0');
  pairs.push_back('\0');
  return pairs;
}

std::string CurrentDirectory() {
  std::array<char, MAX_PATH + 1> buffer{};
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return "";
  return std::string(buffer.data(), length);
}

}  // namespace

void ShowMessageBox(HWND owner, const std::string& title, const std::string& text) {
  MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK);
}

std::string ChooseFileDialog(HWND owner, const std::string& title, const std::string& initialPath,
                             const std::string& filter, int filterPosition) {
  const StartingPoint start = StartingPointOf(initialPath);
  const std::string filterPairs = FilterPairs(filter);
  // MAX_PATH characters including the terminating zero: a longer choice
  // fails (FNERR_BUFFERTOOSMALL) and reads as cancelled.
  std::array<char, MAX_PATH> file{};
  start.fileName.copy(file.data(), file.size() - 1);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filterPairs.c_str();
  // 1 selects the first pair; 0 with no custom filter does too.
  dialog.nFilterIndex = static_cast<DWORD>(filterPosition > 0 ? filterPosition : 0);
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = start.folder.empty() ? nullptr : start.folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // The folder must exist, the file need not. The read-only check box has no
  // meaning here and is hidden.
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

  // OFN_NOCHANGEDIR is documented as ineffective for GetOpenFileName, and the
  // settings file is named relative to the working directory: put it back.
  const std::string workingDirectory = CurrentDirectory();
  const BOOL chosen = GetOpenFileNameA(&dialog);
  if (!workingDirectory.empty() && CurrentDirectory() != workingDirectory) {
    SetCurrentDirectoryA(workingDirectory.c_str());
  }
  if (chosen == FALSE) return "";
  return std::string(file.data());
}

}  // namespace vantrix::win32
