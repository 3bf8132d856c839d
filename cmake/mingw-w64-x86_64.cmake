# Cross build for 64-bit Windows with Debian's mingw-w64, posix thread model
# (std::thread, std::mutex and std::condition_variable come from winpthreads,
# which the win32 model of GCC 12 lacks).
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The command line is linked statically, so it needs no DLL beyond Windows'
# own. The windows link Qt for Windows, when there is one (scripts/setup.sh
# puts it in /opt/qt6-mingw-6.4.2; PST_QT_MINGW_DIR names another), as DLLs
# that are deployed beside the program.
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

if(NOT PST_QT_MINGW_DIR)
  if(DEFINED ENV{PST_QT_MINGW_DIR})
    set(PST_QT_MINGW_DIR $ENV{PST_QT_MINGW_DIR})
  else()
    set(PST_QT_MINGW_DIR /opt/qt6-mingw-6.4.2)
  endif()
endif()
if(EXISTS ${PST_QT_MINGW_DIR}/lib/cmake/Qt6/Qt6Config.cmake)
  # Searched before the build machine's own Qt, which is for Linux; moc, uic
  # and rcc come from the build machine (the same Qt version).
  list(PREPEND CMAKE_FIND_ROOT_PATH ${PST_QT_MINGW_DIR})
  list(PREPEND CMAKE_PREFIX_PATH ${PST_QT_MINGW_DIR})
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
  set(PST_HAVE_QT_MINGW ON)
endif()
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
