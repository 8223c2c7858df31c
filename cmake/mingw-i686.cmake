# Cross build for 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Lets CTest start the .exe tests: 32-bit Wine, which runs under qemu's
# user-mode emulator on this machine (scripts/setup.sh sets that up).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
