# What `cmake --install` puts beside the programs so that the desktop finds them (menu entry,
# icon, software-centre metadata, man pages), and the Debian package built from that with CPack.
include(GNUInstallDirs)

set(WEBCONSOLE_APP_ID org.webconsole.webconsole)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${packaging}/${WEBCONSOLE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${WEBCONSOLE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/ui/icons/webconsole.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging}/webconsole-256.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME webconsole.png)
install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The user unit of webconsole-auto, where systemd looks for the units of packages.
configure_file(${packaging}/systemd/webconsole-auto.service.in ${CMAKE_CURRENT_BINARY_DIR}/webconsole-auto.service @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/webconsole-auto.service DESTINATION lib/systemd/user)

# The commands that are installed in the programs' folder, each with the one-line summary of its
# man page; the FILES, ENVIRONMENT and SEE ALSO sections come from packaging/man/<program>.h2m.
# The attachment downloader is no command: it is installed in WEBCONSOLE_HELPER_DIR (src/).
set(WEBCONSOLE_PROGRAMS webconsole webconsole-auto webconsole-demo webconsole-migrate)
set(summary_webconsole "list and process the web quote requests, web orders and sign-ups of the print website")
set(summary_webconsole-auto "process web quote requests and RFQs automatically, without a display")
set(summary_webconsole-demo "create a webconsole demo workspace with demo data")
set(summary_webconsole-migrate "copy a webconsole business database into an empty PostgreSQL database")
set(summary_webmon-demo "play the web monitor service against a webconsole workspace")
if(TARGET webmon-demo)
  install(TARGETS webmon-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  list(APPEND WEBCONSOLE_PROGRAMS webmon-demo)
endif()

# Man pages are made from each program's --help at build time (gzipped, as Debian wants them).
# A sanitizer build is never packaged, and its programs' leak reports would fail help2man.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
if(WEBCONSOLE_SANITIZE)
  # nothing to make
elseif(HELP2MAN AND GZIP)
  set(pages)
  foreach(program IN LISTS WEBCONSOLE_PROGRAMS)
    set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
              ${HELP2MAN} --no-info --no-discard-stderr "--name=${summary_${program}}"
              "--include=${packaging}/man/${program}.h2m" "--version-string=${PROJECT_VERSION}" --section=1
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${page}
      DEPENDS ${program} ${packaging}/man/${program}.h2m
      COMMENT "Man page of ${program}"
      VERBATIM)
    list(APPEND pages ${page}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man or gzip is missing: no man pages are made or installed (scripts/deps.sh installs them)")
endif()

# The Debian package: `cpack -G DEB` in the build folder. dpkg-shlibdeps finds the libraries the
# programs link; what they load at run time is listed by hand: the SQL drivers, the SVG plugins
# that draw the icons, and the dictionary the spelling checker opens.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME webconsole)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for the requests of a web-to-print website")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Web console lists the web quote requests, web orders and sign-ups that a print company's\n"
       "website sends, announces new ones and turns them into quotes, orders and client accounts.\n"
       "Several workstations can share one PostgreSQL database; one workstation can start on SQLite.")
set(CPACK_PACKAGE_CONTACT "webconsole maintainers <maintainers@webconsole.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, libqt6svg6, hunspell-en-us")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql-client, default-mta | mail-transport-agent")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
