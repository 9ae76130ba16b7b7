// ui_driver: looks at and drives the windows of another program, for the
// end-to-end tests. One command per run:
//
//   ui_driver find TITLE [--wait SECONDS]      the top-level window of exactly this title
//   ui_driver wait-gone TITLE [--wait SECONDS] until no window has this title
//   ui_driver window TITLE                     its rectangles, style bits and focus
//   ui_driver controls TITLE                   every control in it, one line each
//   ui_driver click TITLE ID                   posts BM_CLICK to the control
//   ui_driver set-text TITLE ID TEXT           sends WM_SETTEXT to the control
//   ui_driver file-dialog TITLE PATH           types PATH as the file name and opens it
//   ui_driver file-dialog-cancel TITLE         cancels the open-file dialog
//   ui_driver file-dialog-state TITLE          its file name and its combo boxes' texts
//   ui_driver message TITLE                    the text of a message box
//   ui_driver message-dismiss TITLE            presses the message box's button
//   ui_driver close TITLE                      posts the close command (SC_CLOSE)
//   ui_driver foreground                       the foreground window's title
//   ui_driver front TITLE                      brings the window to the front
//
// Output: one record per line, fields separated by tabs, each field
// "name=value". Texts are escaped: backslash, tab, CR and LF as \\ \t \r \n,
// other control bytes as \xHH. Exit code 0 on success, 1 when the window or
// control is not there or the action failed, 2 for a malformed command.
//
// Clicks and the dialog answers are posted, not sent: a sent click would
// block this program until any modal dialog the click opens is closed.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kUsage = 2;
constexpr UINT kSendTimeoutMs = 5000;

std::string Escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof(hex), "\\x%02X", byte);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string Hex(unsigned long long value) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%llX", value);
  return text;
}

void PrintRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += field;
  }
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  const int length = GetClassNameA(window, name, static_cast<int>(sizeof(name)));
  return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

// The text of a window of another process: WM_GETTEXT, since GetWindowTextA
// only reads captions across processes (an edit control's text is no caption).
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          &length) == 0) {
    return "";
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutA(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                          reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          &copied) == 0) {
    return "";
  }
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::string CaptionOf(HWND window) {
  char title[512] = {};
  const int length = GetWindowTextA(window, title, static_cast<int>(sizeof(title)));
  return std::string(title, static_cast<std::size_t>(length > 0 ? length : 0));
}

struct TitleSearch {
  std::string title;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TitleSearch*>(data);
  if (IsWindowVisible(window) == FALSE || CaptionOf(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(const std::string& title) {
  TitleSearch search{title};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls for a condition every 50 ms until it holds or the time is up.
template <typename Condition>
bool WaitFor(double seconds, Condition condition) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND ControlById(HWND window, int id) {
  for (HWND child : Descendants(window)) {
    if (GetParent(child) == window && GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

// The window that has the keyboard focus in the thread that owns window.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) == FALSE) return nullptr;
  return info.hwndFocus;
}

std::string Flag(const char* name, bool on) { return std::string(name) + (on ? "=1" : "=0"); }

int ShowWindowFacts(HWND window) {
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  PrintRecord({"window=" + Hex(reinterpret_cast<UINT_PTR>(window)), "pid=" + std::to_string(pid),
               "class=" + Escape(ClassOf(window)), "title=" + Escape(CaptionOf(window))});
  PrintRecord({"rect", "x=" + std::to_string(outer.left), "y=" + std::to_string(outer.top),
               "w=" + std::to_string(outer.right - outer.left),
               "h=" + std::to_string(outer.bottom - outer.top)});
  PrintRecord({"client", "x=" + std::to_string(origin.x), "y=" + std::to_string(origin.y),
               "w=" + std::to_string(client.right - client.left),
               "h=" + std::to_string(client.bottom - client.top)});
  PrintRecord({"style", "style=" + Hex(style), "exstyle=" + Hex(exStyle),
               Flag("caption", (style & WS_CAPTION) == WS_CAPTION),
               Flag("sysmenu", (style & WS_SYSMENU) != 0),
               Flag("minimizebox", (style & WS_MINIMIZEBOX) != 0),
               Flag("maximizebox", (style & WS_MAXIMIZEBOX) != 0),
               Flag("thickframe", (style & WS_THICKFRAME) != 0),
               Flag("visible", (style & WS_VISIBLE) != 0),
               Flag("enabled", IsWindowEnabled(window) != FALSE)});
  HWND focus = FocusOf(window);
  std::string focused = "none";
  if (focus == window) {
    focused = "window";
  } else if (focus != nullptr && IsChild(window, focus) != FALSE) {
    focused = std::to_string(GetDlgCtrlID(focus));
  }
  PrintRecord({"focus=" + focused});
  return 0;
}

int ShowControls(HWND window) {
  HWND focus = FocusOf(window);
  for (HWND child : Descendants(window)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    // Positions in the client area of the control's parent, as it was created.
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    PrintRecord({"id=" + std::to_string(GetDlgCtrlID(child)), "class=" + Escape(ClassOf(child)),
                 "x=" + std::to_string(rect.left), "y=" + std::to_string(rect.top),
                 "w=" + std::to_string(rect.right - rect.left),
                 "h=" + std::to_string(rect.bottom - rect.top),
                 "style=" + Hex(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE))),
                 "exstyle=" + Hex(static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE))),
                 Flag("visible", IsWindowVisible(child) != FALSE),
                 Flag("focused", child == focus),
                 Flag("direct", GetParent(child) == window), "text=" + Escape(TextOf(child))});
  }
  return 0;
}

int Click(HWND window, int id) {
  HWND control = ControlById(window, id);
  if (control == nullptr) return 1;
  return PostMessageA(control, BM_CLICK, 0, 0) != FALSE ? 0 : 1;
}

int SetText(HWND window, int id, const std::string& text) {
  HWND control = ControlById(window, id);
  if (control == nullptr) return 1;
  DWORD_PTR result = 0;
  const LRESULT sent =
      SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return sent != 0 && result != 0 ? 0 : 1;
}

// The file-name box of an open-file dialog: a visible edit control, inside
// the file-name combo box on newer dialogs. Its id differs between systems,
// so it is found by class and visibility.
HWND FileNameEdit(HWND dialog) {
  HWND fallback = nullptr;
  for (HWND child : Descendants(dialog)) {
    if (ClassOf(child) != "Edit" || IsWindowVisible(child) == FALSE) continue;
    const std::string parentClass = ClassOf(GetParent(child));
    if (parentClass == "ComboBox" || parentClass == "ComboBoxEx32") return child;
    if (fallback == nullptr) fallback = child;
  }
  return fallback;
}

HWND ButtonWithId(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button != nullptr && ClassOf(button) == "Button" ? button : nullptr;
}

int AnswerFileDialog(HWND dialog, const std::string& path) {
  HWND edit = FileNameEdit(dialog);
  if (edit == nullptr) return 1;
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                          SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) == 0) {
    return 1;
  }
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(ButtonWithId(dialog, IDOK))) != FALSE
             ? 0
             : 1;
}

// The file name box's text, then the visible combo boxes of the dialog
// itself: the folder shown and the file type chosen.
int ShowFileDialog(HWND dialog) {
  HWND edit = FileNameEdit(dialog);
  if (edit == nullptr) return 1;
  PrintRecord({"name=" + Escape(TextOf(edit))});
  for (HWND child : Descendants(dialog)) {
    if (GetParent(child) != dialog || IsWindowVisible(child) == FALSE) continue;
    if (ClassOf(child) != "ComboBox") continue;
    PrintRecord({"combo", "id=" + std::to_string(GetDlgCtrlID(child)),
                 "text=" + Escape(TextOf(child))});
  }
  return 0;
}

int CancelFileDialog(HWND dialog) {
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                      reinterpret_cast<LPARAM>(ButtonWithId(dialog, IDCANCEL))) != FALSE
             ? 0
             : 1;
}

// A message box's text is its one static control that shows text rather
// than the icon; its id differs between systems.
int ShowMessage(HWND box) {
  std::string text;
  std::vector<std::string> buttons;
  for (HWND child : Descendants(box)) {
    const std::string className = ClassOf(child);
    const auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    if (className == "Static" && (style & SS_TYPEMASK) != SS_ICON && IsWindowVisible(child)) {
      const std::string part = TextOf(child);
      if (!part.empty()) text += part;
    } else if (className == "Button" && IsWindowVisible(child)) {
      buttons.push_back(Escape(TextOf(child)));
    }
  }
  std::string buttonList;
  for (const std::string& button : buttons) buttonList += (buttonList.empty() ? "" : ",") + button;
  PrintRecord({"title=" + Escape(CaptionOf(box)), "text=" + Escape(text),
               "buttons=" + buttonList});
  return 0;
}

int DismissMessage(HWND box) {
  for (HWND child : Descendants(box)) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child)) {
      return PostMessageA(child, BM_CLICK, 0, 0) != FALSE ? 0 : 1;
    }
  }
  return 1;
}

int BringToFront(HWND window) {
  const bool done = SetForegroundWindow(window) != FALSE;
  PrintRecord({Flag("foreground", GetForegroundWindow() == window), Flag("called", done)});
  return done ? 0 : 1;
}

double WaitSeconds(int argc, char** argv, int from) {
  for (int i = from; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--wait") return std::atof(argv[i + 1]);
  }
  return 0.0;
}

int Run(int argc, char** argv) {
  if (argc < 2) return kUsage;
  const std::string command = argv[1];
  if (command == "foreground") {
    HWND window = GetForegroundWindow();
    PrintRecord({"title=" + Escape(window == nullptr ? "" : CaptionOf(window))});
    return 0;
  }
  if (argc < 3) return kUsage;
  const std::string title = argv[2];
  const double wait = WaitSeconds(argc, argv, 3);
  if (command == "wait-gone") {
    const bool gone = WaitFor(wait, [&] { return FindTopLevel(title) == nullptr; });
    PrintRecord({Flag("gone", gone)});
    return gone ? 0 : 1;
  }
  HWND window = nullptr;
  WaitFor(wait, [&] { return (window = FindTopLevel(title)) != nullptr; });
  if (window == nullptr) {
    PrintRecord({"error=no window titled " + Escape(title)});
    return 1;
  }
  if (command == "find") {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    PrintRecord({"window=" + Hex(reinterpret_cast<UINT_PTR>(window)),
                 "pid=" + std::to_string(pid)});
    return 0;
  }
  if (command == "window") return ShowWindowFacts(window);
  if (command == "controls") return ShowControls(window);
  if (command == "file-dialog-cancel") return CancelFileDialog(window);
  if (command == "file-dialog-state") return ShowFileDialog(window);
  if (command == "message") return ShowMessage(window);
  if (command == "message-dismiss") return DismissMessage(window);
  if (command == "front") return BringToFront(window);
  if (command == "close") {
    // The way the close box asks: through the queue, as a system command.
    return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE ? 0 : 1;
  }
  if (argc < 4) return kUsage;
  if (command == "click") return Click(window, std::atoi(argv[3]));
  if (command == "file-dialog") return AnswerFileDialog(window, argv[3]);
  if (argc < 5) return kUsage;
  if (command == "set-text") return SetText(window, std::atoi(argv[3]), argv[4]);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const int result = Run(argc, argv);
  if (result == kUsage) std::fprintf(stderr, "ui_driver: malformed command; see the source's head\n");
  return result;
}
