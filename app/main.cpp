// The entry point of vantrix.exe: the program on the Win32 desktop.
#include "app/program.h"
#include "desktop/win32/win32_desktop.h"

int main() {
  auto desktop = vantrix::MakeWin32Desktop();
  return vantrix::RunProgram(*desktop);
}
