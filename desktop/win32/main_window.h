// The program's one window, its controls and the events they report.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>

namespace vantrix::win32 {

enum class ControlKind { kLabel, kButton, kTextField };

class MainWindow {
 public:
  MainWindow() = default;
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Opens and shows the window with its outer top-left corner at (x, y) and
  // a client area of width x height pixels. False when the system refused.
  bool Open(int x, int y, int width, int height, const std::string& title);
  // Adds a control at client coordinates; it carries id as its control id.
  void AddControl(ControlKind kind, int id, int x, int y, int width, int height,
                  const std::string& text);
  // The text of control id, or of the window itself for id 0.
  void SetText(int id, const std::string& text);
  std::string GetText(int id) const;

  // Handles every pending message without waiting and returns one queued
  // event code (kControlEvent, kCloseEvent or kNoEvent).
  int PollEvent();
  // The control id of the last control event PollEvent returned; 0 otherwise.
  int EventControl() const { return eventControl_; }
  // The window, for owning modal dialogs; null before Open.
  HWND Handle() const { return window_; }

  // For the window procedure: a child control sent a notification code, and
  // the window was asked to close.
  void OnControlNotification(HWND control, int id, int code);
  void OnCloseCommand();

 private:
  struct Event {
    int code;
    int control;
  };

  HWND ControlWindow(int id) const;

  HWND window_ = nullptr;
  std::map<int, ControlKind> kinds_;
  std::deque<Event> pending_;
  int eventControl_ = 0;
};

}  // namespace vantrix::win32
