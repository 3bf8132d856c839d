# PST_BUILD_FUZZ: everything the fuzz targets link is instrumented for
# libFuzzer's coverage and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer; the targets themselves add -fsanitize=fuzzer
# (fuzz/CMakeLists.txt), which brings libFuzzer's main.
if(PST_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PST_BUILD_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  if(PST_SANITIZE)
    message(FATAL_ERROR "PST_BUILD_FUZZ brings its own sanitizers: leave PST_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -g -O1)
  add_link_options(-fsanitize=address,undefined)
endif()
