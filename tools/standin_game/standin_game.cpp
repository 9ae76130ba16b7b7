// standin_game.exe: a stand-in for the game, copied into a game folder as
// Skarvel.exe by the end-to-end tests and the demo.
//
// Its one window is titled "Skarvel", so the program treats it as the game.
// Every 250 ms it looks for the newest "_random_*.gam" in the "Saves\" folder
// beside its own executable and shows, in the label with id 100, the status
// text described in copy_status.h; a test driver reads it with WM_GETTEXT.
//
// It never asks for the state of any key: the "pressed since the last query"
// mark is one per key for the whole session, so a second program polling F5
// would take presses away from the program under test.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "desktop/file_store.h"
#include "text/text.h"
#include "tools/standin_game/copy_status.h"

namespace {

using vantrix::FileId;
using vantrix::kNoFile;
using vantrix::standin::CopySighting;

constexpr char kWindowClass[] = "VantrixStandinGame";
constexpr char kTitle[] = "Skarvel";
constexpr int kStatusLabelId = 100;
constexpr UINT_PTR kLookTimer = 1;
constexpr UINT kLookEveryMs = 250;
// Beside, not on top of, the program's window, which sits at (10, 10).
constexpr int kLeft = 440;
constexpr int kTop = 10;
constexpr int kWidth = 420;
constexpr int kHeight = 300;

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};
using OwnedFind = std::unique_ptr<void, FindCloser>;

// A file store that only reads. Files are opened with every kind of sharing:
// the program replaces a copy by moving a new file over it, and Windows
// refuses that move while some other handle on the file lacks delete
// sharing. The stand-in must never be the reason a copy fails.
class SharedReadStore final : public vantrix::FileStore {
 public:
  FileId OpenForReading(const std::string& path) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return kNoFile;
    open_ = OwnedHandle(handle);
    return kOnlyFile;
  }
  std::uint64_t FileLength(FileId file) override {
    LARGE_INTEGER size{};
    if (file != kOnlyFile || !open_ || GetFileSizeEx(open_.get(), &size) == FALSE) return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
  }
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override {
    if (file != kOnlyFile || !open_) return 0;
    // ReadFile takes a 32-bit count; the caller reads on until it has all.
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD got = 0;
    if (ReadFile(open_.get(), bytes.data(), asked, &got, nullptr) == FALSE) return 0;
    return got;
  }
  bool CloseFile(FileId file) override {
    if (file != kOnlyFile || !open_) return false;
    return CloseHandle(open_.release()) != FALSE;
  }
  bool IsReadOnly(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

  // The stand-in writes nothing into the game folder: every change is refused.
  FileId CreateForWriting(const std::string&) override { return kNoFile; }
  std::size_t WriteBytes(FileId, std::span<const std::uint8_t>) override { return 0; }
  bool FlushFile(FileId) override { return false; }
  bool MoveReplacing(const std::string&, const std::string&) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }

 private:
  // One file at a time is all that reading a saved game needs.
  static constexpr FileId kOnlyFile = 1;
  OwnedHandle open_;
};

std::uint64_t TimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string LocalTimeText(const FILETIME& time) {
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (FileTimeToSystemTime(&time, &utc) == FALSE ||
      SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) == FALSE) {
    return "?";
  }
  char text[40];
  wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned{local.wYear},
            unsigned{local.wMonth}, unsigned{local.wDay}, unsigned{local.wHour},
            unsigned{local.wMinute}, unsigned{local.wSecond}, unsigned{local.wMilliseconds});
  return text;
}

// The "Saves\" folder beside this executable.
std::string SavesFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // A full buffer means the path was cut short: try again with more room.
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return vantrix::FolderOf(path) + "Saves\\";
}

bool IsCopyName(const std::string& name) {
  // The wildcard is matched by the file system's own rules, which also look
  // at short 8.3 names; the long name itself decides.
  const std::string lower = vantrix::LowerText(name);
  constexpr std::string_view kPrefix = "_random_";
  constexpr std::string_view kSuffix = ".gam";
  return lower.size() >= kPrefix.size() + kSuffix.size() && lower.starts_with(kPrefix) &&
         lower.ends_with(kSuffix);
}

// The newest copy in the folder by last write time, if there is one.
std::optional<WIN32_FIND_DATAA> FindNewestCopy(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE first = FindFirstFileA((folder + "_random_*.gam").c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return std::nullopt;
  OwnedFind search(first);
  std::optional<WIN32_FIND_DATAA> newest;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!IsCopyName(found.cFileName)) continue;
    if (!newest || CompareFileTime(&found.ftLastWriteTime, &newest->ftLastWriteTime) > 0) {
      newest = found;
    }
  } while (FindNextFileA(search.get(), &found) != FALSE);
  return newest;
}

std::optional<std::uint64_t> WriteTimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) == FALSE) {
    return std::nullopt;
  }
  return TimeValue(data.ftLastWriteTime);
}

struct Standin {
  std::string savesFolder;
  HWND label = nullptr;
  SharedReadStore store;
  vantrix::SaveImage image;
  vantrix::standin::CopyCounter counter;
  std::optional<CopySighting> newest;
  std::string shownText;
};

// One look at the saves folder. False when the copy changed while it was
// being read: its time and contents may then not belong together, so the
// look is dropped and the next tick looks again.
bool LookForCopy(Standin& standin) {
  const std::optional<WIN32_FIND_DATAA> found = FindNewestCopy(standin.savesFolder);
  if (!found) {
    standin.newest.reset();
    return true;
  }
  const std::uint64_t writeTime = TimeValue(found->ftLastWriteTime);
  CopySighting sighting =
      vantrix::standin::SightCopy(standin.store, standin.savesFolder, found->cFileName, writeTime,
                                  LocalTimeText(found->ftLastWriteTime), standin.image);
  if (WriteTimeOf(standin.savesFolder + found->cFileName) != writeTime) return false;
  standin.newest = std::move(sighting);
  return true;
}

void Refresh(Standin& standin) {
  if (!LookForCopy(standin)) return;
  standin.counter.Notice(standin.newest);
  std::string text = vantrix::standin::StatusText(standin.newest, standin.counter.Seen());
  // Setting the same text again would only make the label flicker.
  if (text == standin.shownText) return;
  standin.shownText = std::move(text);
  SetWindowTextA(standin.label, standin.shownText.c_str());
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* standin = reinterpret_cast<Standin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_TIMER:
      if (wParam == kLookTimer && standin != nullptr) Refresh(*standin);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND OpenWindow(HINSTANCE instance, Standin& standin) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExA(&windowClass) == 0) return nullptr;
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  return CreateWindowExA(0, kWindowClass, kTitle, kStyle, kLeft, kTop, kWidth, kHeight, nullptr,
                         nullptr, instance, &standin);
}

HWND AddStatusLabel(HINSTANCE instance, HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  constexpr int kMargin = 10;
  HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, kMargin, kMargin,
                               client.right - 2 * kMargin, client.bottom - 2 * kMargin, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLabelId)),
                               instance, nullptr);
  if (label != nullptr) {
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }
  return label;
}

}  // namespace

int main() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  Standin standin;
  standin.savesFolder = SavesFolder();
  HWND window = OpenWindow(instance, standin);
  if (window == nullptr) return 1;
  standin.label = AddStatusLabel(instance, window);
  if (standin.label == nullptr) return 1;
  // Show the state at once rather than after the first tick.
  Refresh(standin);
  SetTimer(window, kLookTimer, kLookEveryMs, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
