# pst_warnings(target): the project's warning set, errors when PST_WERROR is on.
function(pst_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wnull-dereference
    -Wformat=2 -Wimplicit-fallthrough
    # Designated initializers that leave members at their defaults are intended.
    -Wno-missing-field-initializers)
  if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12's libstdc++ for mingw-w64 trips its own -Wrestrict in inlined
    # string concatenation (GCC bug 105329); nothing of ours is involved.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(PST_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
