// Vantrel: registers a component vendor's help files with the IDE's help system.
#include "engine/TargetProfile.h"
#include "platform/DllSearch.h"
#include "ui/RunProgram.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  vantrel::RestrictDllSearch(); // before anything could load a DLL
  // The C runtime's split of the command line, as 8-bit text.
  const std::vector<std::string> arguments(__argv + 1, __argv + __argc);
  return vantrel::ui::RunProgram(instance, vantrel::BuildTargetProfile(), arguments);
}
