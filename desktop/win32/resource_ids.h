// Resource ids shared by the resource script and the code. Plain macros: the
// resource compiler reads this file too.
#pragma once

#define VANTRIX_ICON_ID 1

#ifndef RC_INVOKED
namespace vantrix::win32 {
inline constexpr int kIconId = VANTRIX_ICON_ID;
}
#endif
