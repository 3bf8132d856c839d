# The Windows programs as a zip (`cpack -G ZIP` in the cross build): one
# folder with pennafor-cli.exe, pennafor-setting-tool.exe (when Qt for
# Windows was found) and the language files beside them, where the programs
# look for them. The command line is linked statically; the windows bring
# their Qt DLLs (cmake/WindowsQtRuntime.cmake).

set(PST_PACKAGE pennafor-setting-tool)

install(TARGETS pennafor-cli RUNTIME DESTINATION .)
if(PST_BUILD_WINDOWS)
  install(TARGETS pennafor-setting-tool RUNTIME DESTINATION .)
  include(cmake/WindowsQtRuntime.cmake)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/lang/Chinese.lng ${CMAKE_SOURCE_DIR}/lang/English.lng DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE
  ${CMAKE_SOURCE_DIR}/THIRD-PARTY.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PST_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pennafor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure Pennafor thermal receipt printers")
set(CPACK_SYSTEM_NAME windows-x86_64)
if(PST_BUILD_WINDOWS)
  set(CPACK_PACKAGE_FILE_NAME ${PST_PACKAGE}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
else()
  set(CPACK_PACKAGE_FILE_NAME ${PST_PACKAGE}-cli-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
endif()
# The debug information is most of the executable's size; the zip is for
# technicians' PCs.
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# The installer (NSIS, for those who want Start-menu entries and an
# uninstaller): `cmake --build build/windows --target windows_installer`
# stages the installed tree, stripped, and packs it into
# pennafor-setting-tool-VERSION-windows-x86_64-setup.exe.
find_program(PST_MAKENSIS makensis)
if(PST_BUILD_WINDOWS AND PST_MAKENSIS)
  set(pst_stage ${CMAKE_BINARY_DIR}/installer-stage)
  set(pst_setup ${CMAKE_BINARY_DIR}/${PST_PACKAGE}-${PROJECT_VERSION}-windows-x86_64-setup.exe)
  add_custom_target(windows_installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${pst_stage}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${pst_stage} --strip
    COMMAND ${PST_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${pst_stage} -DOUTFILE=${pst_setup}
      ${CMAKE_SOURCE_DIR}/packaging/windows/installer.nsi
    DEPENDS pennafor-cli pennafor-setting-tool
    VERBATIM)
endif()
