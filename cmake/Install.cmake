# What `cmake --install` puts where, and the Debian package built from it by
# `cpack -G DEB`. Installed, the programs find their language files in
# share/pennafor-setting-tool (see dataSearchFolders()).

include(GNUInstallDirs)

set(PST_PACKAGE pennafor-setting-tool)
set(PST_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(PST_GENERATED_DIR ${CMAKE_BINARY_DIR}/packaging)
# The programs this build makes: the window program and the virtual printer
# can be left out (PST_BUILD_WINDOWS, PST_BUILD_SIM).
set(PST_PROGRAMS)
foreach(program pennafor-setting-tool pennafor-cli pennafor-printer-sim)
  if(TARGET ${program})
    list(APPEND PST_PROGRAMS ${program})
  endif()
endforeach()

# The virtual printer is a testing aid, not a user's command: it stays out of
# the search path, in the package's own library folder.
set(PST_TOOL_DIR lib/${PST_PACKAGE})
foreach(program pennafor-setting-tool pennafor-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET pennafor-printer-sim)
  install(TARGETS pennafor-printer-sim RUNTIME DESTINATION ${PST_TOOL_DIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/lang/Chinese.lng ${CMAKE_SOURCE_DIR}/lang/English.lng
  DESTINATION ${CMAKE_INSTALL_DATADIR}/${PST_PACKAGE})

# The desktop menu entry and its icon: the drawing, and a 48 px picture of it
# for menus that do not scale drawings; the entry starts the window program.
if(TARGET pennafor-setting-tool)
  install(FILES ${PST_PACKAGING_DIR}/${PST_PACKAGE}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PST_PACKAGING_DIR}/${PST_PACKAGE}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

find_program(PST_RSVG_CONVERT rsvg-convert)
find_program(PST_HELP2MAN help2man)
find_program(PST_GZIP gzip)
if(NOT PST_RSVG_CONVERT OR NOT PST_HELP2MAN OR NOT PST_GZIP)
  message(WARNING "rsvg-convert, help2man or gzip is missing (scripts/setup.sh installs them): "
                  "the installation will lack the 48 px icon or the manual pages")
endif()

if(PST_RSVG_CONVERT AND TARGET pennafor-setting-tool)
  set(png ${PST_GENERATED_DIR}/48x48/${PST_PACKAGE}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PST_GENERATED_DIR}/48x48
    COMMAND ${PST_RSVG_CONVERT} -w 48 -h 48 -o ${png} ${PST_PACKAGING_DIR}/${PST_PACKAGE}.svg
    DEPENDS ${PST_PACKAGING_DIR}/${PST_PACKAGE}.svg
    VERBATIM)
  add_custom_target(pst_icon ALL DEPENDS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
endif()

# Manual pages, written from each program's own --help and --version so they
# say what the program says.
if(PST_HELP2MAN AND PST_GZIP)
  set(summary_pennafor-setting-tool "configure Pennafor thermal receipt printers")
  set(summary_pennafor-cli "configure a Pennafor thermal printer from the command line")
  set(summary_pennafor-printer-sim "a virtual Pennafor receipt printer for trying the setting tool")
  # The page is English whatever language the builder's machine chose.
  set(language_pennafor-cli "--help-option=--language en --help" "--version-option=--language en --version")
  set(pages)
  foreach(program ${PST_PROGRAMS})
    set(page ${PST_GENERATED_DIR}/man1/${program}.1)
    # The data folder pennafor-cli --version names is the builder's, not the
    # reader's: it stays out of the page.
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PST_GENERATED_DIR}/man1
      COMMAND ${PST_HELP2MAN} --no-info --section=1 "--name=${summary_${program}}"
              ${language_${program}} --output=${page} $<TARGET_FILE:${program}>
      COMMAND sed -i -e "/^Data folder:/d" ${page}
      COMMAND ${PST_GZIP} -9nf ${page}
      DEPENDS ${program}
      VERBATIM)
    list(APPEND pages ${page}.gz)
  endforeach()
  add_custom_target(pst_manual_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES ${PST_PACKAGING_DIR}/bash-completion/pennafor-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
# udev reads rules from <prefix>/lib/udev/rules.d whatever the machine's
# library folder is called, so this is not CMAKE_INSTALL_LIBDIR.
install(FILES ${PST_PACKAGING_DIR}/60-pennafor-printer.rules DESTINATION lib/udev/rules.d)

# The licences, and the change log in the form Debian's tools read, in the
# package's documentation folder. The maintainer is named here once: the
# change log's entries are signed with it.
set(PST_MAINTAINER "Pennafor Setting Tool maintainers <maintainers@pennafor-setting-tool.example.org>")
set(PST_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${PST_PACKAGE})
set(changelog ${PST_GENERATED_DIR}/debian/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PST_GENERATED_DIR}/debian
  COMMAND sh ${PST_PACKAGING_DIR}/debian/changelog-from-markdown.sh ${CMAKE_SOURCE_DIR}/CHANGELOG.md
          ${PST_PACKAGE} ${PROJECT_VERSION} ${PST_MAINTAINER} > ${changelog}
  COMMAND gzip -9nf ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${PST_PACKAGING_DIR}/debian/changelog-from-markdown.sh
  VERBATIM)
add_custom_target(pst_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz ${PST_PACKAGING_DIR}/debian/copyright ${CMAKE_SOURCE_DIR}/THIRD-PARTY.md
  DESTINATION ${PST_DOC_DIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PST_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pennafor")
set(CPACK_PACKAGE_CONTACT ${PST_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure Pennafor thermal receipt printers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A technician's tool for Pennafor thermal receipt and label printers: it tests
the link over a serial port, Ethernet (UDP) or USB, identifies the printer
and writes its stored settings, updates its program and firmware, and
downloads fonts and logos. It comes as a window program and a command-line
program (pennafor-cli), with a virtual printer for trying both without
hardware (/usr/lib/pennafor-setting-tool/pennafor-printer-sim).")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs and buttons (file dialogs, Yes/No/OK) in Chinese when the
# window program runs in Chinese; without it they stay in English, nothing
# more, so it is recommended rather than required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
foreach(script postinst postrm)
  configure_file(${PST_PACKAGING_DIR}/debian/${script}.in ${PST_GENERATED_DIR}/debian/${script} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PST_GENERATED_DIR}/debian/postinst ${PST_GENERATED_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
