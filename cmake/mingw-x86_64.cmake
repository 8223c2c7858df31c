# Cross build for 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Lets CTest start the .exe tests: the machine's 64-bit Wine, by its copy in
# the project's i386 root, beside the 32-bit loader that it starts the 32-bit
# programs with (scripts/i386-root.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_I386_ROOT}/usr/lib/wine/wine64)
