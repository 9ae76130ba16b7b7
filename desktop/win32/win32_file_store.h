// The Win32 file store on its own, for programs that need files but no
// window (vantrix-cli on Windows). Keeps <windows.h> out of its users.
#pragma once

#include <memory>

#include "desktop/file_store.h"

namespace vantrix {

std::unique_ptr<FileStore> MakeWin32FileStore();

}  // namespace vantrix
