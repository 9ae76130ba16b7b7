#include "desktop/memory/memory_desktop.h"

#include <algorithm>
#include <utility>

#include "text/text.h"

namespace vantrix {

namespace {

constexpr int kCloseMarker = -1;  // in the event queue, the close command
constexpr std::size_t kTitleLimit = 199;
constexpr std::size_t kPathLimit = 259;

std::string AsciiLower(const std::string& text) {
  std::string lowered = text;
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

}  // namespace

// ---- Scripting the user.

MemoryDesktop::UserPass& MemoryDesktop::AddPass(UserPass::Action action, int control,
                                                const std::string& text) {
  UserPass pass;
  pass.action = action;
  pass.control = control;
  pass.text = text;
  script_.push_back(pass);
  return script_.back();
}

MemoryDesktop::UserPass& MemoryDesktop::Idle() { return AddPass(UserPass::Action::kNothing, 0); }
MemoryDesktop::UserPass& MemoryDesktop::Click(int control) {
  return AddPass(UserPass::Action::kClick, control);
}
MemoryDesktop::UserPass& MemoryDesktop::Type(int control, const std::string& text) {
  return AddPass(UserPass::Action::kType, control, text);
}
MemoryDesktop::UserPass& MemoryDesktop::Focus(int control) {
  return AddPass(UserPass::Action::kFocus, control);
}
MemoryDesktop::UserPass& MemoryDesktop::Close() { return AddPass(UserPass::Action::kClose, 0); }

// ---- Files.

std::string MemoryDesktop::Key(const std::string& path) { return AsciiLower(path); }

void MemoryDesktop::PutFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  files_[Key(path)] = StoredFile{path, bytes, false};
}

void MemoryDesktop::PutFile(const std::string& path, const std::string& text) {
  PutFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool MemoryDesktop::HasFile(const std::string& path) const { return files_.count(Key(path)) != 0; }

std::vector<std::uint8_t> MemoryDesktop::FileBytes(const std::string& path) const {
  auto found = files_.find(Key(path));
  return found == files_.end() ? std::vector<std::uint8_t>{} : found->second.bytes;
}

std::string MemoryDesktop::FileText(const std::string& path) const {
  auto bytes = FileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void MemoryDesktop::DeleteFile(const std::string& path) { files_.erase(Key(path)); }

void MemoryDesktop::SetReadOnly(const std::string& path, bool readOnly) {
  auto found = files_.find(Key(path));
  if (found != files_.end()) found->second.readOnly = readOnly;
}

std::vector<std::string> MemoryDesktop::FilePaths() const {
  std::vector<std::string> paths;
  for (const auto& [key, file] : files_) paths.push_back(file.path);
  return paths;
}

MemoryDesktop::Handle* MemoryDesktop::HandleOf(FileId file) {
  auto found = handles_.find(file);
  return found == handles_.end() ? nullptr : &found->second;
}

FileId MemoryDesktop::OpenForReading(const std::string& path) {
  if (!HasFile(path)) return kNoFile;
  handles_[nextFile_] = Handle{Key(path), false, 0};
  return nextFile_++;
}

std::uint64_t MemoryDesktop::FileLength(FileId file) {
  Handle* handle = HandleOf(file);
  return handle ? files_[handle->key].bytes.size() : 0;
}

std::size_t MemoryDesktop::ReadBytes(FileId file, std::span<std::uint8_t> bytes) {
  Handle* handle = HandleOf(file);
  if (!handle || handle->writing) return 0;
  const auto& stored = files_[handle->key].bytes;
  std::size_t end = stored.size();
  if (auto limit = readLimits_.find(handle->key); limit != readLimits_.end()) {
    end = std::min(end, limit->second);
  }
  if (handle->position >= end) return 0;
  const std::size_t count = std::min(bytes.size(), end - handle->position);
  std::copy_n(stored.begin() + static_cast<std::ptrdiff_t>(handle->position), count, bytes.begin());
  handle->position += count;
  return count;
}

FileId MemoryDesktop::CreateForWriting(const std::string& path) {
  const std::string key = Key(path);
  if (failCreate_.count(key) != 0) return kNoFile;
  auto found = files_.find(key);
  if (found != files_.end() && found->second.readOnly) return kNoFile;
  if (found == files_.end()) {
    files_[key] = StoredFile{path, {}, false};
  } else {
    found->second.bytes.clear();
  }
  handles_[nextFile_] = Handle{key, true, 0};
  return nextFile_++;
}

std::size_t MemoryDesktop::WriteBytes(FileId file, std::span<const std::uint8_t> bytes) {
  Handle* handle = HandleOf(file);
  if (!handle || !handle->writing) return 0;
  auto& stored = files_[handle->key].bytes;
  std::size_t count = bytes.size();
  if (auto limit = writeLimits_.find(handle->key); limit != writeLimits_.end()) {
    count = std::min(count, limit->second > stored.size() ? limit->second - stored.size() : 0);
  }
  stored.insert(stored.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

bool MemoryDesktop::FlushFile(FileId file) {
  Handle* handle = HandleOf(file);
  return handle && handle->writing && !failFlush_;
}

bool MemoryDesktop::CloseFile(FileId file) { return handles_.erase(file) != 0; }

bool MemoryDesktop::IsReadOnly(const std::string& path) {
  auto found = files_.find(Key(path));
  return found != files_.end() && found->second.readOnly;
}

bool MemoryDesktop::MoveReplacing(const std::string& from, const std::string& to) {
  auto source = files_.find(Key(from));
  if (failMove_ || source == files_.end() || IsReadOnly(to)) return false;
  StoredFile moved = std::move(source->second);
  moved.path = to;
  files_.erase(source);
  files_[Key(to)] = std::move(moved);
  return true;
}

bool MemoryDesktop::RemoveFile(const std::string& path) {
  auto found = files_.find(Key(path));
  if (found == files_.end() || found->second.readOnly) return false;
  files_.erase(found);
  return true;
}

// ---- The window.

void MemoryDesktop::OpenMainWindow(int x, int y, int width, int height, const std::string& title) {
  window_ = Window{true, x, y, width, height, title};
}

void MemoryDesktop::AddControl(ControlKind kind, int id, int x, int y, int width, int height,
                               const std::string& text) {
  controls_.push_back(Control{id, kind, x, y, width, height, text});
}

void MemoryDesktop::AddLabel(int id, int x, int y, int width, int height, const std::string& text) {
  AddControl(ControlKind::kLabel, id, x, y, width, height, text);
}

void MemoryDesktop::AddButton(int id, int x, int y, int width, int height, const std::string& text) {
  AddControl(ControlKind::kButton, id, x, y, width, height, text);
}

void MemoryDesktop::AddTextField(int id, int x, int y, int width, int height,
                                 const std::string& text) {
  AddControl(ControlKind::kTextField, id, x, y, width, height, text);
}

MemoryDesktop::Control* MemoryDesktop::ControlById(int id) {
  return const_cast<Control*>(std::as_const(*this).FindControl(id));
}

const MemoryDesktop::Control* MemoryDesktop::FindControl(int id) const {
  auto found = std::find_if(controls_.begin(), controls_.end(),
                            [id](const Control& control) { return control.id == id; });
  return found == controls_.end() ? nullptr : &*found;
}

void MemoryDesktop::SetControlText(int id, const std::string& text) {
  if (id == 0) {
    window_.title = text;
    return;
  }
  Control* control = ControlById(id);
  if (!control) return;
  control->text = text;
  // A real text field reports every change of its text, the program's own too.
  if (control->kind == ControlKind::kTextField) pendingEvents_.push_back(id);
}

std::string MemoryDesktop::GetControlText(int id) {
  if (id == 0) return window_.title;
  Control* control = ControlById(id);
  return control ? control->text : "";
}

void MemoryDesktop::ApplyUserAction(const UserPass& pass) {
  using Action = UserPass::Action;
  if (pass.action == Action::kClose) {
    pendingEvents_.push_back(kCloseMarker);
    return;
  }
  Control* control = ControlById(pass.control);
  // Labels report nothing, whatever the user does to them.
  if (!control || control->kind == ControlKind::kLabel) return;
  if (pass.action == Action::kType && control->kind == ControlKind::kTextField) {
    SetControlText(pass.control, pass.text);
  } else if (pass.action == Action::kClick || pass.action == Action::kFocus) {
    pendingEvents_.push_back(pass.control);
  }
}

int MemoryDesktop::PollEvent() {
  ++pollCount_;
  current_ = UserPass{};
  if (pollCount_ > pollLimit_) return kCloseEvent;
  // The user acts once the events the program caused itself are taken.
  if (pendingEvents_.empty()) {
    if (script_.empty()) {
      ++unscriptedCloses_;
      pendingEvents_.push_back(kCloseMarker);
    } else {
      current_ = script_.front();
      script_.pop_front();
      if (current_.meanwhile) current_.meanwhile(*this);
      ApplyUserAction(current_);
    }
  }
  if (pendingEvents_.empty()) return kNoEvent;
  const int next = pendingEvents_.front();
  pendingEvents_.pop_front();
  if (next == kCloseMarker) return kCloseEvent;
  eventControl_ = next;
  return kControlEvent;
}

void MemoryDesktop::ShowMessage(const std::string& title, const std::string& text) {
  messages_.push_back(Message{title, text});
}

std::string MemoryDesktop::ChooseFile(const std::string& title, const std::string& initialPath,
                                      const std::string& filter, int position) {
  dialogs_.push_back(FileDialog{title, initialPath, filter, position});
  if (dialogAnswers_.empty()) return "";
  std::string answer = dialogAnswers_.front();
  dialogAnswers_.pop_front();
  // The real dialog has room for 259 characters; a longer choice fails
  // there and comes back as nothing, as a cancel does.
  return answer.size() > kPathLimit ? "" : answer;
}

std::int64_t MemoryDesktop::RandomInt(std::int64_t max) {
  randomMaxima_.push_back(max);
  if (scriptedRandoms_.empty()) return random_.Next(max);
  const std::int64_t value = scriptedRandoms_.front();
  scriptedRandoms_.pop_front();
  return value;
}

int MemoryDesktop::KeyState(int code) {
  ++keyQueries_[code];
  const bool down = current_.keysDown.count(code) != 0;
  const bool pressedSinceLastQuery = keyMarks_.erase(code) != 0;
  return down || pressedSinceLastQuery ? 1 : 0;
}

int MemoryDesktop::KeyQueries(int code) const {
  auto found = keyQueries_.find(code);
  return found == keyQueries_.end() ? 0 : found->second;
}

std::string MemoryDesktop::ForegroundTitle() {
  std::string title = current_.foreground.value_or(window_.open ? window_.title : "");
  return title.substr(0, kTitleLimit);
}

std::optional<std::string> MemoryDesktop::TextFromUtf8(const std::string& utf8) {
  return Utf8ToWindows1252(utf8);
}

}  // namespace vantrix
