# Cross build for 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Lets CTest start the .exe tests: 32-bit Wine from the project's i386 root,
# which runs under qemu's user-mode emulator on this machine
# (scripts/i386-root.sh sets that up and names the root).
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_I386_ROOT}/usr/lib/wine/wine)
# Every PC the IDE ran on, from the 486: the code is compiled for it, and
# linked with a runtime built for it (runtime/x86, from
# scripts/build-x86-runtime) ahead of the compiler's own, which Debian
# builds for the Pentium Pro.
# (Windows.cmake applies both, also to a build folder configured before.)
set(VANTREL_X86_ARCH i486)
set(VANTREL_X86_RUNTIME ${CMAKE_CURRENT_LIST_DIR}/../runtime/x86)
