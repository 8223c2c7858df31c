// The x86 programs link crtdll.dll, the C runtime of every Windows 95 and NT
// (msvcrt.dll came later, with Internet Explorer 4). The C++ runtime asks for
// a few names that crtdll.dll has under another name, or lacks.
#include <cerrno>
#include <io.h>

// The POSIX names, which msvcrt's import library maps to the underscored ones.
extern "C" int read(int file, void *buffer, unsigned int count) { return _read(file, buffer, count); }
extern "C" int close(int file) { return _close(file); }

namespace {
int __cdecl NoRandS(unsigned int *) { return EINVAL; }
} // namespace

// std::random_device's source on Windows, through its import pointer; the
// programs never make a random_device.
extern "C" int(__cdecl *const CrtdllRandS)(unsigned int *) __asm__("__imp__rand_s");
extern "C" int(__cdecl *const CrtdllRandS)(unsigned int *) = NoRandS;
