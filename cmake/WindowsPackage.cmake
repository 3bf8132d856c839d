# The Windows command line as a zip (`cpack -G ZIP` in the cross build): one
# folder with pennafor-cli.exe and its language files beside it, where the
# program looks for them. The program is linked statically, so nothing else
# goes in.

set(PST_PACKAGE pennafor-setting-tool)

install(TARGETS pennafor-cli RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/lang/Chinese.lng ${CMAKE_SOURCE_DIR}/lang/English.lng DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE
  ${CMAKE_SOURCE_DIR}/THIRD-PARTY.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PST_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pennafor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure Pennafor thermal receipt printers")
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_PACKAGE_FILE_NAME ${PST_PACKAGE}-cli-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
# The debug information is most of the executable's size; the zip is for
# technicians' PCs.
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
