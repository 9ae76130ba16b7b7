// A desktop held in memory, for tests: a case-insensitive file store with
// fault injection, a window whose controls can be read back, a script of
// user passes (clicks, typing, the close command, keys held and the window in
// front), queued answers for the open-file dialog, and a record of message
// boxes, launched programs, pauses and random draws. Nothing sleeps and
// nothing reaches the real system.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop/desktop.h"
#include "desktop/random_source.h"

namespace vantrix {

class MemoryDesktop : public Desktop {
 public:
  enum class ControlKind { kLabel, kButton, kTextField };
  struct Control {
    int id = 0;
    ControlKind kind = ControlKind::kLabel;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;
  };
  struct Window {
    bool open = false;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title;
  };
  struct FileDialog {
    std::string title, initialPath, filter;
    int position = 0;
  };
  struct Message {
    std::string title, text;
    bool operator==(const Message&) const = default;
  };

  // What the user does on one pass of the program's loop. The pass's user
  // action happens at the program's next PollEvent once the events the
  // program caused itself have been taken; keys and the window in front hold
  // from then until the next pass begins.
  struct UserPass {
    enum class Action { kNothing, kClick, kType, kFocus, kClose } action = Action::kNothing;
    int control = 0;
    std::string text;                      // typed text, for kType
    std::set<int> keysDown;                // virtual-key codes held down
    std::optional<std::string> foreground;  // the window in front; the tool's own by default
    // Something else that happens on the desktop as the pass begins, such as
    // another program deleting a file.
    std::function<void(MemoryDesktop&)> meanwhile;
  };

  explicit MemoryDesktop(std::uint32_t seed = 1) : random_(seed) {}

  // ---- Scripting the user.
  UserPass& Idle();
  UserPass& Click(int control);
  UserPass& Type(int control, const std::string& text);
  UserPass& Focus(int control);
  UserPass& Close();
  // A key pressed and released before the next query of it.
  void PressKey(int code) { keyMarks_.insert(code); }
  // The next ChooseFile returns this ("" is a cancel). Without a queued
  // answer the dialog is cancelled.
  void AnswerFileDialog(const std::string& answer) { dialogAnswers_.push_back(answer); }
  // After this many polls every poll gives the close command, so a program
  // caught in an endless round of events still ends (PollCount tells).
  void LimitPolls(int polls) { pollLimit_ = polls; }
  // The next RandomInt calls return these values instead of drawing.
  void QueueRandom(std::int64_t value) { scriptedRandoms_.push_back(value); }

  // ---- Files. Paths are matched without regard to ASCII letter case.
  void PutFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
  void PutFile(const std::string& path, const std::string& text);
  bool HasFile(const std::string& path) const;
  std::vector<std::uint8_t> FileBytes(const std::string& path) const;
  std::string FileText(const std::string& path) const;
  void DeleteFile(const std::string& path);
  void SetReadOnly(const std::string& path, bool readOnly);
  // Every path held, in the case it was created with.
  std::vector<std::string> FilePaths() const;

  // ---- Faults.
  void FailCreate(const std::string& path) { failCreate_.insert(Key(path)); }
  // Writes to this path stop after this many bytes in all, as on a full disk.
  void LimitWrites(const std::string& path, std::size_t bytes) { writeLimits_[Key(path)] = bytes; }
  void FailFlush(bool fail) { failFlush_ = fail; }
  void FailMove(bool fail) { failMove_ = fail; }
  void FailReads(const std::string& path, std::size_t afterBytes) { readLimits_[Key(path)] = afterBytes; }

  // ---- What happened.
  const Window& MainWindow() const { return window_; }
  const std::vector<Control>& Controls() const { return controls_; }
  const Control* FindControl(int id) const;
  const std::vector<Message>& Messages() const { return messages_; }
  const std::vector<FileDialog>& FileDialogs() const { return dialogs_; }
  const std::vector<std::string>& Launched() const { return launched_; }
  const std::vector<int>& Pauses() const { return pauses_; }
  const std::vector<std::int64_t>& RandomMaxima() const { return randomMaxima_; }
  int PollCount() const { return pollCount_; }
  // Close commands given because the script had run out.
  int UnscriptedCloses() const { return unscriptedCloses_; }
  int KeyQueries(int code) const;
  int OpenFiles() const { return static_cast<int>(handles_.size()); }

  // ---- Desktop.
  FileId OpenForReading(const std::string& path) override;
  std::uint64_t FileLength(FileId file) override;
  std::size_t ReadBytes(FileId file, std::span<std::uint8_t> bytes) override;
  FileId CreateForWriting(const std::string& path) override;
  std::size_t WriteBytes(FileId file, std::span<const std::uint8_t> bytes) override;
  bool FlushFile(FileId file) override;
  bool CloseFile(FileId file) override;
  bool IsReadOnly(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;

  void OpenMainWindow(int x, int y, int width, int height, const std::string& title) override;
  void AddLabel(int id, int x, int y, int width, int height, const std::string& text) override;
  void AddButton(int id, int x, int y, int width, int height, const std::string& text) override;
  void AddTextField(int id, int x, int y, int width, int height, const std::string& text) override;
  void SetControlText(int id, const std::string& text) override;
  std::string GetControlText(int id) override;
  int PollEvent() override;
  int EventControl() override { return eventControl_; }
  void ShowMessage(const std::string& title, const std::string& text) override;
  std::string ChooseFile(const std::string& title, const std::string& initialPath,
                         const std::string& filter, int position) override;
  void LaunchProgram(const std::string& path) override { launched_.push_back(path); }
  void Pause(int ms) override { pauses_.push_back(ms); }
  std::int64_t RandomInt(std::int64_t max) override;
  int KeyState(int code) override;
  std::string ForegroundTitle() override;
  std::optional<std::string> TextFromUtf8(const std::string& utf8) override;

 private:
  struct StoredFile {
    std::string path;  // as created
    std::vector<std::uint8_t> bytes;
    bool readOnly = false;
  };
  struct Handle {
    std::string key;
    bool writing = false;
    std::size_t position = 0;
  };

  static std::string Key(const std::string& path);
  UserPass& AddPass(UserPass::Action action, int control, const std::string& text = "");
  void AddControl(ControlKind kind, int id, int x, int y, int width, int height,
                  const std::string& text);
  Control* ControlById(int id);
  void ApplyUserAction(const UserPass& pass);
  Handle* HandleOf(FileId file);

  std::map<std::string, StoredFile> files_;
  std::map<FileId, Handle> handles_;
  FileId nextFile_ = 1;
  std::set<std::string> failCreate_;
  std::map<std::string, std::size_t> writeLimits_;
  std::map<std::string, std::size_t> readLimits_;
  bool failFlush_ = false;
  bool failMove_ = false;

  Window window_;
  std::vector<Control> controls_;
  std::deque<UserPass> script_;
  std::deque<int> pendingEvents_;  // ids of controls that reported, oldest first
  int eventControl_ = 0;
  int pollCount_ = 0;
  int pollLimit_ = 100'000;
  int unscriptedCloses_ = 0;
  UserPass current_;  // the pass under way: its keys and window in front
  std::set<int> keyMarks_;
  std::map<int, int> keyQueries_;

  std::deque<std::string> dialogAnswers_;
  std::vector<FileDialog> dialogs_;
  std::vector<Message> messages_;
  std::vector<std::string> launched_;
  std::vector<int> pauses_;
  RandomSource random_;
  std::deque<std::int64_t> scriptedRandoms_;
  std::vector<std::int64_t> randomMaxima_;
};

}  // namespace vantrix
