# Cross build for 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Lets CTest start the .exe tests.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
