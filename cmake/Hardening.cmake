# The usual Linux hardening for the programs handed to users: checked string
# and memory calls, stack canaries, read-only relocations bound at start-up,
# and position-independent executables. Debug and sanitizer builds keep them
# off: _FORTIFY_SOURCE needs optimisation, and ThreadSanitizer's interceptors
# and the fortified calls get in each other's way.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$"
   AND PST_SANITIZE STREQUAL "" AND NOT PST_BUILD_FUZZ)
  set(pst_default_hardening ON)
else()
  set(pst_default_hardening OFF)
endif()
option(PST_HARDENING "Build with fortified calls, stack protection, full RELRO and PIE"
  ${pst_default_hardening})

if(PST_HARDENING)
  # A compiler that already defines _FORTIFY_SOURCE (at another level) would
  # warn about the redefinition, an error under PST_WERROR.
  add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
  add_link_options(-Wl,-z,relro,-z,now)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
