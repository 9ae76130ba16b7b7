// desktop_probe: runs the Win32 desktop services one by one, for the
// end-to-end tests to check them where the program itself does not reach
// (preset names of the open-file dialog, file sharing, launching).
//
//   desktop_probe events                   a window with the program's six controls;
//                                          prints every event until the close command
//   desktop_probe choose-file TITLE INITIAL FILTER POSITION
//                                          prints the dialog's result
//   desktop_probe files FOLDER             file operations in FOLDER, one fact a line
//   desktop_probe launch PATH              LaunchProgram(PATH), then ends
//   desktop_probe utf8 HEX...              TextFromUtf8 of each hex-coded text
//   desktop_probe                          (no arguments: started by launch) writes
//                                          launched.txt into its working directory
//
// Output lines are tab-separated name=value fields, escaped as the
// ui_driver escapes them.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktop/win32/win32_desktop.h"

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(sizeof(buffer)), buffer);
  return std::string(buffer, length < sizeof(buffer) ? length : 0);
}

// The program's window and controls, and the event stream. A click on
// Random makes the probe set the field's text, as the program does when it
// corrects the spread.
int Events(vantrix::Desktop& desktop) {
  const std::string title = "Vantrix probe";
  desktop.OpenMainWindow(10, 10, 400, 500, title);
  desktop.AddLabel(10, 10, 10, 350, 24, "label");
  desktop.AddButton(20, 10, 100, 80, 30, "Game");
  desktop.AddButton(21, 10, 170, 80, 30, "Start Skarvel");
  desktop.AddButton(22, 150, 100, 80, 30, "Random");
  desktop.AddLabel(8, 10, 300, 280, 280, "");
  desktop.AddTextField(5, 150, 170, 80, 30, "30");
  Print("ready");
  while (true) {
    desktop.Pause(50);
    const int event = desktop.PollEvent();
    if (event == vantrix::kNoEvent) continue;
    const int control = event == vantrix::kControlEvent ? desktop.EventControl() : 0;
    Print("event=" + std::to_string(event) + "\tcontrol=" + std::to_string(control) +
          "\tfield=" + Escape(desktop.GetControlText(5)));
    if (event == vantrix::kControlEvent && control == 22) desktop.SetControlText(5, "77");
    if (event == vantrix::kCloseEvent) {
      // The close command leaves the window open and its controls readable.
      Print("after-close\ttitle=" + Escape(desktop.GetControlText(0)) +
            "\tfield=" + Escape(desktop.GetControlText(5)));
      return 0;
    }
  }
}

int ChooseFile(vantrix::Desktop& desktop, char** argv) {
  const std::string before = CurrentDirectory();
  const std::string result = desktop.ChooseFile(argv[2], argv[3], argv[4], std::atoi(argv[5]));
  Print("result=" + Escape(result) + "\tcwd-unchanged=" + (CurrentDirectory() == before ? "1" : "0"));
  return 0;
}

std::string ReadAll(vantrix::Desktop& desktop, const std::string& path) {
  vantrix::ScopedFile file(desktop, desktop.OpenForReading(path));
  if (!file.IsOpen()) return "<unopened>";
  std::string text(static_cast<std::size_t>(desktop.FileLength(file.Id())), '\0');
  const auto got = desktop.ReadBytes(
      file.Id(), std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
  text.resize(got);
  return text;
}

std::string Flag(bool on) { return on ? "1" : "0"; }

// Each line is one fact about the file services, checked by the test.
int Files(vantrix::Desktop& desktop, const std::string& folder) {
  const std::string a = folder + "\\a.bin";
  const std::string hello = "hello";
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(hello.data()), hello.size());
  {
    vantrix::ScopedFile file(desktop, desktop.CreateForWriting(a));
    Print("create-new=" + Flag(file.IsOpen()));
    Print("written=" + std::to_string(desktop.WriteBytes(file.Id(), bytes)));
    Print("flushed=" + Flag(desktop.FlushFile(file.Id())));
    Print("closed=" + Flag(file.Close()));
  }
  {
    vantrix::ScopedFile file(desktop, desktop.OpenForReading(a));
    Print("length=" + std::to_string(desktop.FileLength(file.Id())));
    std::uint8_t buffer[16] = {};
    Print("read-past-end=" + std::to_string(desktop.ReadBytes(file.Id(), buffer)));
    Print("read-at-end=" + std::to_string(desktop.ReadBytes(file.Id(), buffer)));
    // Opened with read sharing only: another reader is let in, a writer not.
    vantrix::ScopedFile reader(desktop, desktop.OpenForReading(a));
    Print("second-reader=" + Flag(reader.IsOpen()));
    vantrix::ScopedFile writer(desktop, desktop.CreateForWriting(a));
    Print("writer-while-read=" + Flag(writer.IsOpen()));
  }
  Print("content-kept=" + Escape(ReadAll(desktop, a)));
  {
    vantrix::ScopedFile file(desktop, desktop.CreateForWriting(a));
    Print("recreated=" + Flag(file.IsOpen()));
  }
  Print("length-after-recreate=" + Escape(std::to_string(ReadAll(desktop, a).size())));
  const std::string locked = folder + "\\readonly.bin";
  Print("read-only=" + Flag(desktop.IsReadOnly(locked)));
  Print("writable-is-read-only=" + Flag(desktop.IsReadOnly(a)));
  {
    vantrix::ScopedFile file(desktop, desktop.CreateForWriting(locked));
    Print("create-read-only=" + Flag(file.IsOpen()));
  }
  Print("read-only-content=" + Escape(ReadAll(desktop, locked)));
  {
    vantrix::ScopedFile file(desktop, desktop.CreateForWriting(folder + "\\folder"));
    Print("create-over-folder=" + Flag(file.IsOpen()));
  }
  const std::string target = folder + "\\target.bin";
  {
    vantrix::ScopedFile file(desktop, desktop.CreateForWriting(a));
    vantrix::WriteAll(desktop, file.Id(), bytes);
  }
  Print("moved=" + Flag(desktop.MoveReplacing(a, target)));
  Print("target-content=" + Escape(ReadAll(desktop, target)));
  Print("source-left=" + Flag(vantrix::CanOpenForReading(desktop, a)));
  Print("removed=" + Flag(desktop.RemoveFile(target)));
  Print("removed-again=" + Flag(desktop.RemoveFile(target)));
  return 0;
}

int Utf8(vantrix::Desktop& desktop, int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    std::string text;
    const std::string hex = argv[i] == std::string("-") ? "" : argv[i];
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
      text.push_back(static_cast<char>(std::strtol(hex.substr(at, 2).c_str(), nullptr, 16)));
    }
    const auto converted = desktop.TextFromUtf8(text);
    Print("input=" + std::string(argv[i]) + "\t" +
          (converted ? "text=" + Escape(*converted) : std::string("none")));
  }
  return 0;
}

// Started by LaunchProgram: reports how it was started.
int Launched() {
  FILE* out = std::fopen("launched.txt", "wb");
  if (out == nullptr) return 1;
  std::fprintf(out, "command-line=%s\ncwd=%s\n", GetCommandLineA(), CurrentDirectory().c_str());
  std::fclose(out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Launched();
  auto desktop = vantrix::MakeWin32Desktop();
  const std::string command = argv[1];
  if (command == "events") return Events(*desktop);
  if (command == "choose-file" && argc == 6) return ChooseFile(*desktop, argv);
  if (command == "files" && argc == 3) return Files(*desktop, argv[2]);
  if (command == "launch" && argc == 3) {
    desktop->LaunchProgram(argv[2]);
    return 0;
  }
  if (command == "utf8") return Utf8(*desktop, argc, argv);
  std::fprintf(stderr, "desktop_probe: malformed command; see the source's head\n");
  return 2;
}
