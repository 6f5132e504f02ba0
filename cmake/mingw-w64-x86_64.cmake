# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers.
# The posix thread model is the one whose C++ library has std::thread and
# std::mutex; the win32 model has neither.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RT_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW sysroot and from RT_WINDOWS_DEPS,
# the folder where scripts/windows.sh installs the cross-built SDL2 and
# GoogleTest; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${RT_MINGW_PREFIX})
if(RT_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${RT_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine, when it is there.
find_program(RT_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(RT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RT_WINE})
endif()

# The C and C++ runtimes and the thread library go into each program, so that
# SDL2.dll is the only library shipped beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
