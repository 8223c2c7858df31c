#pragma once

namespace vantrel {

// Limits where DLLs are looked for to Windows' own System32 folder, so that a
// DLL that a system DLL loads by its bare name can no longer come from the
// program's folder (a Downloads folder, an installer's unpacked files) while
// the program runs elevated. The program's first act.
void RestrictDllSearch();

} // namespace vantrel
