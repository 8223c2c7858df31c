#pragma once
// Owners for GDI objects and window handles.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace vantrel::ui {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// The system DPI (the program is DPI-aware), and a length scaled to it.
int SystemDpi();
inline int Scaled(int designPixels) { return MulDiv(designPixels, SystemDpi(), 96); }

} // namespace vantrel::ui
