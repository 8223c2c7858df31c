# Windows build (MinGW-w64): every program is linked statically, so that it
# needs nothing beyond Windows' own DLLs. The compilers are the win32-threads
# ones: the posix-threads runtime imports functions of Vista and later.

add_link_options(-static -static-libgcc -static-libstdc++)
if(VANTREL_X86_RUNTIME)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-march=${VANTREL_X86_ARCH}>")
  add_link_options(-march=${VANTREL_X86_ARCH} "-B${VANTREL_X86_RUNTIME}/")
endif()
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)

# The product's own code sees the Windows headers of its oldest system
# (Windows 98 and NT 4.0), so that they refuse what they can of newer
# functions; those are looked up at run time (platform/win32/OptionalFunctions).
# The tests and their helpers may use anything Wine has.
set(product_target "$<BOOL:$<TARGET_PROPERTY:VANTREL_PRODUCT>>")
add_compile_definitions("$<IF:${product_target},_WIN32_WINNT=0x0400,_WIN32_WINNT=0x0601>"
  "$<IF:${product_target},WINVER=0x0400,WINVER=0x0601>")

# Hardening, as the common PE analyzers check it. The stack protector's guard
# and handlers are the program's own (platform/win32/StackGuard.cpp, linked
# into every program), not the compiler's library, which seeds the guard
# through CryptoAPI; fortification needs optimisation, which every build type
# here has. Terminal Server aware; and on x86, NO_SEH: the 32-bit build
# unwinds with DWARF and registers no SEH handlers. No time stamp in the
# headers, so that a build is the same bytes every time. Control Flow Guard
# and CET shadow-stack compatibility need linker support that GNU ld does not
# have. The subsystem version is the oldest Windows the program starts on.
add_compile_options(-fstack-protector-strong)
add_compile_definitions(_FORTIFY_SOURCE=2)
add_link_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2 -Wl,--tsaware
  -Wl,--no-insert-timestamp)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_link_options(-Wl,--no-seh -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
else()
  add_link_options(-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,2
    -Wl,--major-os-version,5 -Wl,--minor-os-version,2)
endif()
add_library(vantrel_stack_guard OBJECT platform/win32/StackGuard.cpp)
set_target_properties(vantrel_stack_guard PROPERTIES VANTREL_PRODUCT ON)
link_libraries(vantrel_stack_guard)

add_library(vantrel_engine STATIC ${ENGINE_SOURCES})

add_library(vantrel_platform STATIC
  platform/win32/SystemMessage.cpp
  platform/win32/ProfileFile.cpp
  platform/win32/TextFile.cpp
  platform/win32/FileCopy.cpp
  platform/win32/FlushFile.cpp
  platform/win32/Registry.cpp
  platform/win32/ExecutablePath.cpp
  platform/win32/MessageBox.cpp
  platform/win32/FileReplace.cpp
  platform/win32/FileExistence.cpp
  platform/win32/RunLog.cpp
  platform/win32/CharacterSet.cpp
  platform/win32/CodePageText.cpp
  platform/win32/DllSearch.cpp
  platform/win32/OptionalFunctions.cpp
  platform/win32/FileDeletion.cpp
  platform/win32/SystemFolders.cpp
  platform/win32/MachineLock.cpp
  platform/win32/Clock.cpp
  platform/win32/FolderIdentity.cpp
  platform/win32/RecordStore.cpp
  ${TEXT_FORMAT_SOURCES})

# The programs, one per TargetVersion.
enable_language(RC)
add_library(vantrel_ui STATIC ui/Application.cpp ui/FrmVantrel.cpp ui/Panel.cpp ui/Gdi.cpp
  ui/RunProgram.cpp)
target_compile_definitions(vantrel_ui PRIVATE VantrelVersion="${PROJECT_VERSION}")
target_link_libraries(vantrel_ui PUBLIC vantrel_engine vantrel_platform user32 gdi32)
foreach(version IN LISTS TargetVersion)
  add_executable(Vantrel${version} WIN32 ui/Main.cpp engine/BuildTargetProfile.cpp resources/Vantrel.rc)
  target_compile_definitions(Vantrel${version} PRIVATE TargetVersion=${version}
    VantrelVersionMajor=${PROJECT_VERSION_MAJOR} VantrelVersionMinor=${PROJECT_VERSION_MINOR}
    VantrelVersionPatch=${PROJECT_VERSION_PATCH})
  target_link_libraries(Vantrel${version} PRIVATE vantrel_ui)
  set_target_properties(Vantrel${version} PROPERTIES VANTREL_PRODUCT ON)
endforeach()
set_target_properties(vantrel_engine vantrel_platform vantrel_ui PROPERTIES VANTREL_PRODUCT ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The x86 programs use crtdll.dll, the C runtime of every Windows 95 and NT
  # (msvcrt.dll came later); crtdll.specs links it in place of msvcrt.dll.
  foreach(version IN LISTS TargetVersion)
    target_sources(Vantrel${version} PRIVATE platform/win32/CrtdllNames.cpp)
    target_link_options(Vantrel${version} PRIVATE
      "-specs=${CMAKE_SOURCE_DIR}/cmake/crtdll.specs")
  endforeach()
endif()

if(NOT VANTREL_TESTS)
  return()
endif()

# The win32-threads runtime has no std::mutex, which googletest's
# Notification uses: every test program gets one on a Win32 event instead.
target_compile_options(gtest PUBLIC -include
  "${CMAKE_SOURCE_DIR}/tests/support/GtestNotification.h")

add_library(vantrel_win32_test_support STATIC
  tests/support/TempFolder.cpp
  tests/support/ChildProcess.cpp
  tests/support/Win32FileSandbox.cpp
  tests/support/RegistryHelpers.cpp)
target_link_libraries(vantrel_win32_test_support PUBLIC vantrel_platform)

# The portable engine tests again, this time on real files through the Win32 services.
add_executable(engine_tests ${ENGINE_TEST_SOURCES})
target_link_libraries(engine_tests PRIVATE vantrel_engine vantrel_win32_test_support GTest::gtest_main)
add_test(NAME engine_win32 COMMAND engine_tests)

add_executable(platform_tests
  tests/win32/ProfileFileTest.cpp
  tests/win32/TextFileTest.cpp
  tests/win32/FileCopyTest.cpp
  tests/win32/RegistryTest.cpp
  tests/win32/RegistrationTest.cpp
  tests/win32/CharacterSetTest.cpp
  tests/win32/StackGuardTest.cpp
  tests/win32/OlderSystemsTest.cpp
  tests/win32/MachineLockTest.cpp
  tests/win32/PlatformTestMain.cpp
  tests/support/MemoryFileSystem.cpp
  tests/support/MemoryRegistry.cpp)
target_link_libraries(platform_tests PRIVATE vantrel_engine vantrel_win32_test_support GTest::gtest)
# A DLL beside the program that says so when a process ends the orderly way:
# an overrun must end it at once.
add_library(vantrel_detach_marker SHARED tests/win32/DetachMarker.c)
set_target_properties(vantrel_detach_marker PROPERTIES PREFIX "")
add_dependencies(platform_tests vantrel_detach_marker)
add_test(NAME platform_win32 COMMAND platform_tests)
# Once more as on Windows 98: every function newer than the oldest system absent.
add_test(NAME platform_win32_oldest COMMAND platform_tests --oldest-system)

add_build_profile_test(vantrel_engine)

# A DLL planted in a test program's folder, and the start-up's DLL search that
# keeps it out; its own program, since the restriction lasts for the process.
add_library(vantrel_sideload SHARED tests/win32/SideloadDll.c)
set_target_properties(vantrel_sideload PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sideload)
add_executable(dll_search_tests tests/win32/DllSearchTest.cpp)
target_compile_definitions(dll_search_tests PRIVATE SideloadDll="$<TARGET_FILE:vantrel_sideload>")
target_link_libraries(dll_search_tests PRIVATE vantrel_platform GTest::gtest_main)
add_dependencies(dll_search_tests vantrel_sideload)
add_test(NAME dll_search_win32 COMMAND dll_search_tests)

# The dialog in this process, on stand-in services; it needs the desktop.
add_executable(ui_tests tests/win32/DialogTest.cpp tests/support/MemoryFileSystem.cpp
  tests/support/MemoryRegistry.cpp)
target_link_libraries(ui_tests PRIVATE vantrel_ui vantrel_win32_test_support GTest::gtest_main)
add_test(NAME ui_win32 COMMAND ui_tests)
set_tests_properties(ui_win32 PROPERTIES RESOURCE_LOCK wine_desktop)

# The merge timed on real files, for scripts/bench.
add_executable(merge_timing bench/MergeTiming.cpp)
target_compile_options(merge_timing PRIVATE -O2)
target_link_libraries(merge_timing PRIVATE vantrel_engine vantrel_win32_test_support)
# What a registration's time is measured against (scripts/bench).
add_executable(bare_start WIN32 bench/BareStart.cpp)
target_link_libraries(bare_start PRIVATE user32 gdi32 advapi32)

# End-to-end: both programs run in a Wine virtual desktop under Xvfb, driven
# with real key presses and looked at by the probe from inside the desktop.
add_executable(vantrel_probe tests/e2e/Probe.cpp)
target_link_libraries(vantrel_probe PRIVATE user32 version advapi32)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# The 32-bit programs run the cases whose outcome can differ for them (see
# SUITES in test_program.py): in the 64-bit prefix under WoW64, where only the
# program itself is emulated, and a few in the 32-bit prefix, for its single
# registry view. Each suite takes a minute or less: 5 minutes mean a hang,
# which fails.
foreach(version IN LISTS TargetVersion)
  set(e2e ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/test_program.py --version ${version}
    --probe $<TARGET_FILE:vantrel_probe>)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # The 32-bit program that ships (dist/x86) also meets the 64-bit one in
    # the same prefix.
    add_test(NAME program_${version}
      COMMAND ${e2e} --program $<TARGET_FILE:Vantrel${version}>
              --screenshots ${CMAKE_BINARY_DIR}/screenshots
              --wow64-program ${CMAKE_SOURCE_DIR}/dist/x86/Vantrel${version}.exe)
    add_test(NAME program_x86_${version}
      COMMAND ${e2e} --program ${CMAKE_SOURCE_DIR}/dist/x86/Vantrel${version}.exe --suite x86-wow64
              --screenshots ${CMAKE_BINARY_DIR}/screenshots/x86)
    set_tests_properties(program_x86_${version} PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 300)
  else()
    add_test(NAME program_${version}
      COMMAND ${e2e} --program $<TARGET_FILE:Vantrel${version}> --suite x86
              --screenshots ${CMAKE_BINARY_DIR}/screenshots)
  endif()
  set_tests_properties(program_${version} PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 300)
endforeach()

# The release package that scripts/package (and scripts/test) writes; checked
# once, from the 64-bit build.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()
add_test(NAME package
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/package/test_package.py
          --zip ${CMAKE_SOURCE_DIR}/dist/Vantrel-${PROJECT_VERSION}.zip --version ${PROJECT_VERSION}
          --probe $<TARGET_FILE:vantrel_probe>)
