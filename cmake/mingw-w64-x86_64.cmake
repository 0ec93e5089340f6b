# Cross-build for 64-bit Windows with mingw-w64 on a Linux host.
#
# Every program links the C and C++ runtimes and winpthread statically
# (-static), so compila_scenario.exe runs on a Windows machine with nothing
# installed. On the build host the programs (tests, discovery, the default run)
# run under Wine, in a Wine prefix of their own inside the build directory, so
# a build never touches the user's ~/.wine and a first start creates it there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triplet x86_64-w64-mingw32)
# The posix thread model: the standard library's threads and mutexes exist
# (the win32 model of GCC 12 has neither).
find_program(CMAKE_CXX_COMPILER NAMES ${_triplet}-g++-posix ${_triplet}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${_triplet}-gcc-posix ${_triplet}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_triplet}-windres windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian installs the 64-bit loader and the server outside PATH.
find_program(SCENARIO_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine)
find_program(SCENARIO_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine /usr/lib64/wine)
set(SCENARIO_WINEPREFIX "${CMAKE_BINARY_DIR}/wine" CACHE PATH "The Wine prefix the cross-built programs run in")
if(SCENARIO_WINE AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  # mscoree and mshtml off: a fresh prefix would otherwise offer to download
  # the .NET and HTML runtimes, which these programs never use.
  set(CMAKE_CROSSCOMPILING_EMULATOR env "WINEPREFIX=${SCENARIO_WINEPREFIX}" WINEDEBUG=-all
      "WINEDLLOVERRIDES=mscoree,mshtml=" ${SCENARIO_WINE})
endif()

# mingw-w64's g++ 12 at -O3 warns falsely (-Wrestrict) inside libstdc++'s
# operator+ for strings; the same code is clean with the native compilers.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
