#include "desktop/win32/programs_and_keys.h"

#include <objbase.h>
#include <shellapi.h>

#include <array>

#include "desktop/win32/scoped_handle.h"

namespace vantrix::win32 {
namespace {

// The path in double quotes is the whole command line: a folder with blanks
// in its name must not split it, and there are no arguments. The new process
// keeps this one's working directory.
bool CreateDetachedProcess(const std::string& path) {
  std::string commandLine = "\"" + path + "\"";  // CreateProcessA may write into it
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process) == FALSE) {
    return false;
  }
  // Not waiting for it: its handles are of no further use.
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
  return true;
}

std::string FolderOfPath(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The shell may hand the file to an extension that needs COM; initialising
// it twice on one thread is harmless.
void OpenWithShell(const std::string& path) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::string folder = FolderOfPath(path);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  // No error box: a launch the system refuses is dropped silently.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpFile = path.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
}

}  // namespace

void LaunchDetached(const std::string& path) {
  if (!CreateDetachedProcess(path)) OpenWithShell(path);
}

int AsyncKeyState(int code) {
  // Any bit counts: a press shorter than one polling pass shows only in the
  // "pressed since the previous query" bit, not in the "down now" bit.
  return GetAsyncKeyState(code) != 0 ? 1 : 0;
}

std::string ForegroundWindowTitle() {
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) return "";
  // 200 characters of room: at most 199 and the terminating zero.
  std::array<char, 200> title{};
  const int length = GetWindowTextA(foreground, title.data(), static_cast<int>(title.size()));
  return std::string(title.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

}  // namespace vantrix::win32
