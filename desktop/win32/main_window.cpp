#include "desktop/win32/main_window.h"

#include "desktop/desktop.h"
#include "desktop/win32/resource_ids.h"

namespace vantrix::win32 {
namespace {

constexpr const char* kWindowClass = "VantrixMainWindow";
// A caption with the system menu (which carries the close box); no thick
// frame, so the size is fixed, and no minimize or maximize box.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = 0;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* owner = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      // Menus and accelerators send a null lParam; so does the dialog
      // manager when Enter or Escape asks for IDOK or IDCANCEL, which this
      // window has no controls for. Only notifications from controls count.
      if (owner != nullptr && lParam != 0) {
        owner->OnControlNotification(reinterpret_cast<HWND>(lParam), LOWORD(wParam),
                                     HIWORD(wParam));
      }
      return 0;
    case WM_CLOSE:
      // The close box, Alt+F4 and the system menu all end here. Left to
      // DefWindowProc the window would be destroyed; the program instead
      // hears of it and ends when it is ready, its controls readable till then.
      if (owner != nullptr) owner->OnCloseCommand();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  // A system colour index plus one stands for that colour's brush.
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Whether a notification is one the program hears about: a button's click;
// a text field's change of text and its gain or loss of the focus (not, for
// example, EN_UPDATE, which comes before every EN_CHANGE). Labels report
// nothing.
bool IsReported(ControlKind kind, int code) {
  switch (kind) {
    case ControlKind::kButton:
      return code == BN_CLICKED;
    case ControlKind::kTextField:
      return code == EN_CHANGE || code == EN_SETFOCUS || code == EN_KILLFOCUS;
    case ControlKind::kLabel:
      return false;
  }
  return false;
}

// The dialog manager makes a push button the default button when Tab gives
// it the focus, and then clicks it on Enter. Enter is to press nothing here,
// so its key-down never reaches the dialog manager or the controls.
bool IsEnterKeyFor(HWND window, const MSG& message) {
  return message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
         (message.hwnd == window || IsChild(window, message.hwnd) != FALSE);
}

struct ControlShape {
  const char* windowClass;
  DWORD style;
  DWORD exStyle;
};

ControlShape ShapeOf(ControlKind kind) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::kLabel:
      // SS_LEFT wraps at the width, breaks at "\r\n" and clips at the
      // height. SS_NOPREFIX shows an '&' in a file name as itself.
      return {"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::kButton:
      return {"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::kTextField:
      return {"EDIT", kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
  }
  return {"STATIC", kChild, 0};
}

}  // namespace

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

bool MainWindow::Open(int x, int y, int width, int height, const std::string& title) {
  if (window_ != nullptr) return true;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClass(instance)) return false;
  // CreateWindowExA takes the outer size; work it out from the client size
  // for this exact style so the client area comes out as asked.
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, kWindowStyle, FALSE, kWindowExStyle);
  window_ = CreateWindowExA(kWindowExStyle, kWindowClass, title.c_str(), kWindowStyle, x, y,
                            outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            instance, this);
  if (window_ == nullptr) return false;
  // Shown at once, before any control exists; activation gives the keyboard
  // focus to the window itself, so no control has it at first.
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  return true;
}

void MainWindow::AddControl(ControlKind kind, int id, int x, int y, int width, int height,
                            const std::string& text) {
  if (window_ == nullptr) return;
  const ControlShape shape = ShapeOf(kind);
  // Record the kind first: a control may notify while it is being created.
  kinds_[id] = kind;
  HWND control = CreateWindowExA(shape.exStyle, shape.windowClass, text.c_str(), shape.style, x,
                                 y, width, height, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control == nullptr) {
    kinds_.erase(id);
    return;
  }
  // Controls start with the old system font; the default GUI font is the
  // one dialogs use.
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               MAKELPARAM(TRUE, 0));
}

HWND MainWindow::ControlWindow(int id) const {
  if (id == 0) return window_;
  if (window_ == nullptr) return nullptr;
  return GetDlgItem(window_, id);
}

void MainWindow::SetText(int id, const std::string& text) {
  HWND target = ControlWindow(id);
  if (target != nullptr) SetWindowTextA(target, text.c_str());
}

std::string MainWindow::GetText(int id) const {
  HWND target = ControlWindow(id);
  if (target == nullptr) return "";
  const int length = GetWindowTextLengthA(target);
  if (length <= 0) return "";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(target, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

int MainWindow::PollEvent() {
  // Every pending message is handled now, not one per call: painting,
  // typing and Tab must not wait for the program's slow polling pace.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (window_ != nullptr && IsEnterKeyFor(window_, message)) continue;
    // The dialog manager moves the focus on Tab and Shift+Tab between the
    // WS_TABSTOP controls, in the order they were created.
    if (window_ != nullptr && IsDialogMessageA(window_, &message) != FALSE) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (pending_.empty()) {
    eventControl_ = 0;
    return kNoEvent;
  }
  const Event event = pending_.front();
  pending_.pop_front();
  eventControl_ = event.control;
  return event.code;
}

void MainWindow::OnControlNotification(HWND control, int id, int code) {
  const auto kind = kinds_.find(id);
  if (kind == kinds_.end() || GetParent(control) != window_) return;
  if (IsReported(kind->second, code)) pending_.push_back({kControlEvent, id});
}

void MainWindow::OnCloseCommand() { pending_.push_back({kCloseEvent, 0}); }

}  // namespace vantrix::win32
