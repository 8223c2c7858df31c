#pragma once
// The window that the system's message boxes belong to, so that they are
// modal to it whether or not it is the active window at the moment.

#include <windows.h>

namespace vantrel::win32 {

// nullptr: the boxes have no owner (before the dialog exists, or after it is gone).
void SetMessageBoxOwner(HWND owner);

} // namespace vantrel::win32
