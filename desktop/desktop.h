// The desktop services the program runs on: one window with its controls,
// the events they report, message boxes, the open-file dialog, files,
// starting a program, the clock, random numbers, the keyboard and the
// foreground window.
//
// Plain values cross this interface: control ids, texts, byte counts and
// success flags. All calls are made on the program's one thread. Two
// implementations exist: the real one on Win32 (desktop/win32) and an
// in-memory one for tests (desktop/memory).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/file_store.h"

namespace vantrix {

// Codes that PollEvent returns.
inline constexpr int kNoEvent = 0;
inline constexpr int kCloseEvent = 16;      // the window's close command
inline constexpr int kControlEvent = 13100;  // a control reported something

class Desktop : public FileStore {
 public:
  // Opens the program's one window with its outer top-left corner at screen
  // position (x, y) and a client area of width x height pixels: a caption with
  // system menu and close box, no minimize or maximize box, not resizable,
  // shown at once. Controls are added to this window.
  virtual void OpenMainWindow(int x, int y, int width, int height, const std::string& title) = 0;
  // A left-aligned label that wraps at its width, starts a new line at each
  // "\r\n", cuts off text below its height and reports nothing.
  virtual void AddLabel(int id, int x, int y, int width, int height, const std::string& text) = 0;
  // A push button that reports one control event per click.
  virtual void AddButton(int id, int x, int y, int width, int height, const std::string& text) = 0;
  // A one-line text field that reports a control event whenever its text
  // changes (typed or set by the program) and whenever it gains or loses the
  // keyboard focus.
  virtual void AddTextField(int id, int x, int y, int width, int height, const std::string& text) = 0;
  // The whole text of a control (or of the window, for id 0).
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual std::string GetControlText(int id) = 0;

  // Takes at most one pending event without waiting: kControlEvent (then
  // EventControl gives the control's id), kCloseEvent for the window's close
  // command (the window stays open), or kNoEvent when nothing is pending.
  virtual int PollEvent() = 0;
  virtual int EventControl() = 0;

  // A message box with one OK button; modal: returns when it is dismissed.
  virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
  // The open-file dialog. initialPath is cut at its last backslash into the
  // starting folder and a preset file name; filter is "description|pattern"
  // and the filter at position is selected. The chosen file's folder must
  // exist, the file need not. Returns the full path (at most 259 characters),
  // or "" when cancelled. Modal; the working directory stays as it was.
  virtual std::string ChooseFile(const std::string& title, const std::string& initialPath,
                                 const std::string& filter, int position) = 0;

  // Starts a program with no arguments and does not wait for it; a launch
  // that the system refuses is dropped silently.
  virtual void LaunchProgram(const std::string& path) = 0;
  // Blocks the thread for ms milliseconds.
  virtual void Pause(int ms) = 0;
  // A uniformly distributed integer from 0 to max inclusive.
  virtual std::int64_t RandomInt(std::int64_t max) = 0;
  // Nonzero when the key with this virtual-key code is down or was pressed
  // since the previous query of it.
  virtual int KeyState(int code) = 0;
  // The title of the foreground window of any program, at most 199
  // characters; "" when there is none.
  virtual std::string ForegroundTitle() = 0;

  // UTF-8 text converted to the system's 8-bit code page; nothing when the
  // text is not valid UTF-8 or holds a character without an 8-bit form.
  virtual std::optional<std::string> TextFromUtf8(const std::string& utf8) = 0;
};

}  // namespace vantrix
