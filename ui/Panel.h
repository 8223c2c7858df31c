#pragma once
// A bevelled container for controls (lowered outer, raised inner bevel). Tab
// and arrow-key navigation pass into it; its children's notifications go on
// to the panel's parent.

#include <windows.h>

namespace vantrel::ui {

extern const char *const PanelClassName;
void RegisterPanelClass(HINSTANCE instance);

} // namespace vantrel::ui
