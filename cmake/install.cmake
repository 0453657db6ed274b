# Installing the game like any other (cmake --install) and packaging it
# (cpack): the `korvane` launcher on the PATH, the game binary in libexec, kvxtool, the campaign under the data folder, a desktop entry, the
# icon in the hicolor sizes, man pages; CPack makes a Debian package of it.
# The Windows build packs a zip of its own (see the end).
include(GNUInstallDirs)

if(WIN32)
  # The zip: korvane.exe with the campaign beside it, where the game looks
  # for its missions, and a short read-me. The campaign comes from the native
  # build, which has kvxtool to build it.
  install(TARGETS korvane RUNTIME DESTINATION .)
  if(KORVANE_CAMPAIGN_DIR)
    install(DIRECTORY ${KORVANE_CAMPAIGN_DIR}/ DESTINATION . FILES_MATCHING PATTERN "kvxmap.*.kvx")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README-windows.txt
    ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME korvane-${PROJECT_VERSION}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()

if(NOT KORVANE_SDL)
  return()
endif()

# As Debian's games: the launcher in games/ (on the PATH), the game itself in
# libexec, the data in share/korvane; kvxtool, a tool, in bin/.
set(KORVANE_INSTALL_GAMESDIR games CACHE STRING "Where the korvane launcher goes, under the prefix")
set(korvane_libexec ${CMAKE_INSTALL_LIBEXECDIR}/korvane)
set(korvane_data ${CMAKE_INSTALL_DATADIR}/korvane)

# The launcher twice: in the build folder, for ./play, with the paths of the
# build; and for installing, with the installed paths relative to games/.
set(KORVANE_GAME ${CMAKE_BINARY_DIR}/src/korvane)
set(KORVANE_CAMPAIGN ${CMAKE_BINARY_DIR}/campaign)
set(KORVANE_KVXTOOL ${CMAKE_BINARY_DIR}/tools/kvxtool)
set(launcher_mode FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
  GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
configure_file(${PROJECT_SOURCE_DIR}/packaging/korvane.in ${CMAKE_BINARY_DIR}/korvane @ONLY
  ${launcher_mode})
set(KORVANE_GAME ../${korvane_libexec}/korvane)
set(KORVANE_CAMPAIGN ../${korvane_data}/campaign)
set(KORVANE_KVXTOOL ../${CMAKE_INSTALL_BINDIR}/kvxtool)
configure_file(${PROJECT_SOURCE_DIR}/packaging/korvane.in ${CMAKE_BINARY_DIR}/packaging/korvane @ONLY
  ${launcher_mode})

# Man pages and the changelog, gzipped as Debian wants them.
set(packaged)
foreach(page korvane.6 kvxtool.1 changelog)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${page} ${CMAKE_BINARY_DIR}/packaging/${page} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${page}.gz
    COMMAND gzip -9nf -k ${page}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/${page}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
    VERBATIM)
  list(APPEND packaged ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
endforeach()
add_custom_target(packaging ALL DEPENDS ${packaged})

install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/korvane DESTINATION ${KORVANE_INSTALL_GAMESDIR})
# games/ is not on every PATH (root's, for one): bin/korvane leads there too.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
file(CREATE_LINK ../${KORVANE_INSTALL_GAMESDIR}/korvane ${CMAKE_BINARY_DIR}/packaging/bin/korvane
  SYMBOLIC)
install(DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin/ DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS korvane RUNTIME DESTINATION ${korvane_libexec})
install(TARGETS kvxtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/campaign/ DESTINATION ${korvane_data}/campaign
  FILES_MATCHING PATTERN "kvxmap.*.kvx")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/korvane.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}/korvane.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/packaging/korvane.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/packaging/kvxtool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: its dependencies found from the binaries by
# dpkg-shlibdeps, ffmpeg recommended, the binaries stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "Korvane developers")
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down space-combat game with a mission editor")
set(CPACK_PACKAGE_DESCRIPTION
  "Ships are built from hull plates, engines and guns; they fly with inertia,\n\
fire, lose parts to hits, break apart, repair themselves and come back at\n\
their bases. Missions of up to 50 ships on three sides are made in the\n\
built-in editor and chained into a campaign of nine missions.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# kvxtool video films recordings with the ffmpeg program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korvane.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
