# What the Windows windows need beside them, as windeployqt would put it
# there: the Qt DLLs, the platform and style plugins, the mingw runtime the
# Qt DLLs were built with, and Qt's own Chinese texts in translations/
# (where the program looks first). The build tree gets them in bin/, so that
# the window suites run in place; the package gets them by install().

# The DLLs are copied stripped, once: their symbols are more than half their
# size (libstdc++'s nine tenths), and nobody debugs them on a technician's PC.
set(pst_qt_runtime_dir ${CMAKE_BINARY_DIR}/qt-runtime)
function(pst_stripped_copy source destination_var)
  cmake_path(GET source FILENAME name)
  cmake_path(GET source PARENT_PATH folder)
  cmake_path(GET folder FILENAME kind)
  if(kind STREQUAL "bin")
    set(copy ${pst_qt_runtime_dir}/${name})
  else()
    set(copy ${pst_qt_runtime_dir}/${kind}/${name})
  endif()
  if(NOT EXISTS ${copy} OR ${source} IS_NEWER_THAN ${copy})
    file(COPY_FILE ${source} ${copy}.tmp)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded ${copy}.tmp COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME ${copy}.tmp ${copy})
  endif()
  set(${destination_var} ${copy} PARENT_SCOPE)
endfunction()
file(MAKE_DIRECTORY ${pst_qt_runtime_dir}/platforms ${pst_qt_runtime_dir}/styles)
set(pst_qt_bin ${pst_qt_runtime_dir})
set(pst_qt_plugins ${pst_qt_runtime_dir})
foreach(dll bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll bin/libstdc++-6.dll
    bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll plugins/platforms/qwindows.dll
    plugins/platforms/qoffscreen.dll plugins/styles/qwindowsvistastyle.dll)
  pst_stripped_copy(${PST_QT_MINGW_DIR}/${dll} copy)
endforeach()
set(pst_qt_dlls ${pst_qt_bin}/Qt6Core.dll ${pst_qt_bin}/Qt6Gui.dll ${pst_qt_bin}/Qt6Widgets.dll)
set(pst_mingw_dlls ${pst_qt_bin}/libstdc++-6.dll ${pst_qt_bin}/libgcc_s_seh-1.dll
  ${pst_qt_bin}/libwinpthread-1.dll)
# Built from the same Qt version on the build machine (qt6-translations-l10n);
# a .qm file is the same on every system.
find_file(PST_QT_ZH_CN_QM qtbase_zh_CN.qm PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(pst_bin ${CMAKE_BINARY_DIR}/bin)
add_custom_target(pst_qt_runtime
  COMMAND ${CMAKE_COMMAND} -E make_directory ${pst_bin}/platforms ${pst_bin}/styles ${pst_bin}/translations
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${pst_qt_dlls} ${pst_qt_bin}/Qt6Test.dll ${pst_mingw_dlls} ${pst_bin}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${pst_qt_plugins}/platforms/qwindows.dll
    ${pst_qt_plugins}/platforms/qoffscreen.dll ${pst_bin}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${pst_qt_plugins}/styles/qwindowsvistastyle.dll ${pst_bin}/styles
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PST_QT_ZH_CN_QM} ${pst_bin}/translations
  VERBATIM)

install(FILES ${pst_qt_dlls} ${pst_mingw_dlls} DESTINATION .)
install(FILES ${pst_qt_plugins}/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${pst_qt_plugins}/styles/qwindowsvistastyle.dll DESTINATION styles)
install(FILES ${PST_QT_ZH_CN_QM} DESTINATION translations)
add_dependencies(pennafor-setting-tool pst_qt_runtime)
