# Cross build for 64-bit Windows with Debian's mingw-w64, posix thread model
# (std::thread, std::mutex and std::condition_variable come from winpthreads,
# which the win32 model of GCC 12 lacks).
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The programs are linked statically, so they need no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PST_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PST_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PST_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PST_MINGW_TRIPLET}-windres)

# Libraries and CMake packages come from the cross sysroot only; header-only
# packages of the build machine (nlohmann-json, stb) are found there too, as
# their headers do not depend on the target.
set(CMAKE_FIND_ROOT_PATH /usr/${PST_MINGW_TRIPLET} /usr)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# No libstdc++, libgcc or winpthread DLL beside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Programs built here run under Wine (the tests, the help pages).
find_program(PST_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(PST_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PST_WINE})
endif()
