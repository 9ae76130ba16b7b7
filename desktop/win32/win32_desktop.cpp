#include "desktop/win32/win32_desktop.h"

#include <windows.h>

#include "desktop/random_source.h"
#include "desktop/win32/code_page.h"
#include "desktop/win32/dialogs.h"
#include "desktop/win32/files.h"
#include "desktop/win32/main_window.h"
#include "desktop/win32/programs_and_keys.h"

namespace vantrix {
namespace {

using win32::ControlKind;

class Win32Desktop final : public Desktop {
 public:
  Win32Desktop() : random_(FreshSeed()) {}

  void OpenMainWindow(int x, int y, int width, int height, const std::string& title) override {
    window_.Open(x, y, width, height, title);
  }
  void AddLabel(int id, int x, int y, int width, int height, const std::string& text) override {
    window_.AddControl(ControlKind::kLabel, id, x, y, width, height, text);
  }
  void AddButton(int id, int x, int y, int width, int height, const std::string& text) override {
    window_.AddControl(ControlKind::kButton, id, x, y, width, height, text);
  }
  void AddTextField(int id, int x, int y, int width, int height,
                    const std::string& text) override {
    window_.AddControl(ControlKind::kTextField, id, x, y, width, height, text);
  }
  void SetControlText(int id, const std::string& text) override { window_.SetText(id, text); }
  std::string GetControlText(int id) override { return window_.GetText(id); }

  int PollEvent() override { return window_.PollEvent(); }
  int EventControl() override { return window_.EventControl(); }

  void ShowMessage(const std::string& title, const std::string& text) override {
    win32::ShowMessageBox(window_.Handle(), title, text);
  }
  std::string ChooseFile(const std::string& title, const std::string& initialPath,
                         const std::string& filter, int position) override {
    return win32::ChooseFileDialog(window_.Handle(), title, initialPath, filter, position);
  }

  void LaunchProgram(const std::string& path) override { win32::LaunchDetached(path); }
  void Pause(int ms) override { Sleep(static_cast<DWORD>(ms > 0 ? ms : 0)); }
  std::int64_t RandomInt(std::int64_t max) override { return random_.Next(max); }
  int KeyState(int code) override { return win32::AsyncKeyState(code); }
  std::string ForegroundTitle() override { return win32::ForegroundWindowTitle(); }
  std::optional<std::string> TextFromUtf8(const std::string& utf8) override {
    return win32::AnsiFromUtf8(utf8);
  }

  FileId OpenForReading(const std::string& path) override { return files_.OpenForReading(path); }
  std::uint64_t FileLength(FileId file) override { return files_.FileLength(file); }
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override {
    return files_.ReadBytes(file, bytes);
  }
  FileId CreateForWriting(const std::string& path) override {
    return files_.CreateForWriting(path);
  }
  std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) override {
    return files_.WriteBytes(file, bytes);
  }
  bool FlushFile(FileId file) override { return files_.FlushFile(file); }
  bool CloseFile(FileId file) override { return files_.CloseFile(file); }
  bool IsReadOnly(const std::string& path) override { return files_.IsReadOnly(path); }
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    return files_.MoveReplacing(from, to);
  }
  bool RemoveFile(const std::string& path) override { return files_.RemoveFile(path); }

 private:
  win32::MainWindow window_;
  win32::Win32FileStore files_;
  RandomSource random_;
};

}  // namespace

std::unique_ptr<Desktop> MakeWin32Desktop() { return std::make_unique<Win32Desktop>(); }

}  // namespace vantrix
