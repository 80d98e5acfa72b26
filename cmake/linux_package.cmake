# The Debian package of the native saver (target "package"):
#   /usr/libexec/xscreensaver/tessellane       the hack, where XScreenSaver looks for hacks
#   /usr/bin/tessellane                        a relative symlink to it, so one file serves both
#   /usr/lib/<multiarch>/tessellane/tessellane-settings  the settings window, which tessellane /c starts
#   /usr/lib/<multiarch>/tessellane/tessellane-gst.so    the music's devices, loaded when music is chosen
#   /usr/bin/tessellane-add-to-xscreensaver   adds the hack to the list of ~/.xscreensaver
#   /usr/share/xscreensaver/config/tessellane.xml  its name and description in XScreenSaver's list
#   /usr/share/applications/screensavers/tessellane.desktop  the hack in MATE's and Xfce's lists
#   /usr/share/man/man6/tessellane.6.gz        the manual page
#   /usr/share/man/man1/tessellane-add-to-xscreensaver.1.gz  the helper's manual page
#   /usr/share/applications/tessellane-settings.desktop  the settings window in the desktop's menu
#   /usr/share/doc/tessellane/copyright, changelog.gz  Debian's copyright file and the changelog
# Only the "saver" component goes in: tests, tools and benchmarks never ship.
# Expects the targets "tessellane", "tessellane-settings" and "tessellane-gst",
# TESS_PRIVATE_DIR_NAME and PROJECT_VERSION.

set(TESS_PKG_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)

# The manual page names the version; Debian installs manual pages compressed
# with gzip -9n (no name or time stamp inside, so the bytes are reproducible).
find_program(TESS_GZIP gzip REQUIRED)
function(tess_manpage page)
  set(source ${CMAKE_BINARY_DIR}/packaging/${page})
  configure_file(${TESS_PKG_DIR}/${page} ${source} @ONLY)
  add_custom_command(OUTPUT ${source}.gz
    COMMAND ${TESS_GZIP} -9n --keep --force ${source}
    DEPENDS ${source}
    COMMENT "Compressing the manual page ${page}" VERBATIM)
endfunction()
tess_manpage(tessellane.6)
tess_manpage(tessellane-add-to-xscreensaver.1)
set(TESS_MANPAGE_GZ ${CMAKE_BINARY_DIR}/packaging/tessellane.6.gz)
set(TESS_HELPER_MANPAGE_GZ ${CMAKE_BINARY_DIR}/packaging/tessellane-add-to-xscreensaver.1.gz)
add_custom_target(tess_manpage ALL DEPENDS ${TESS_MANPAGE_GZ} ${TESS_HELPER_MANPAGE_GZ})

# The changelog of a native package, compressed the same way.
set(TESS_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(${TESS_PKG_DIR}/changelog ${TESS_CHANGELOG} @ONLY)
add_custom_command(OUTPUT ${TESS_CHANGELOG}.gz
  COMMAND ${TESS_GZIP} -9n --keep --force ${TESS_CHANGELOG}
  DEPENDS ${TESS_CHANGELOG}
  COMMENT "Compressing the changelog" VERBATIM)
add_custom_target(tess_changelog ALL DEPENDS ${TESS_CHANGELOG}.gz)

# A symlink rather than a second copy: the program needs nothing beside it
# (its settings live in ~/.config/tessellane), and both names stay one file.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
file(CREATE_LINK ../${TESS_HACK_DIR_NAME}/tessellane
     ${CMAKE_BINARY_DIR}/packaging/bin/tessellane SYMBOLIC)

install(TARGETS tessellane RUNTIME DESTINATION ${TESS_HACK_DIR_NAME} COMPONENT saver)
install(FILES ${CMAKE_BINARY_DIR}/packaging/bin/tessellane DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT saver)
install(PROGRAMS ${TESS_PKG_DIR}/tessellane-add-to-xscreensaver DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT saver)
install(TARGETS tessellane-settings RUNTIME DESTINATION ${TESS_PRIVATE_DIR_NAME} COMPONENT saver)
install(TARGETS tessellane-gst LIBRARY DESTINATION ${TESS_PRIVATE_DIR_NAME} COMPONENT saver)
install(FILES ${TESS_PKG_DIR}/tessellane.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config
        COMPONENT saver)
install(FILES ${TESS_MANPAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT saver)
install(FILES ${TESS_HELPER_MANPAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT saver)
install(FILES ${TESS_PKG_DIR}/tessellane-settings.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT saver)
# MATE's and Xfce's savers list the entries of this folder as the themes
# screensavers-NAME.
install(FILES ${TESS_PKG_DIR}/screensavers/tessellane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers COMPONENT saver)
install(FILES ${TESS_PKG_DIR}/copyright ${TESS_CHANGELOG}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessellane
        COMPONENT saver)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessellane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};saver;/")
# The shipped program carries no debug information.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The Tessellane authors <authors@tessellane.example.org>")
# First line: the synopsis; the rest: the long description.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "screen saver of overlapping one-pixel rings (テセレーン)"
  "One-pixel circle outlines move along a diagonal that bounces off the edges"
  "of the screen and overlap into a net of rings. It runs full-screen on its"
  "own or as an XScreenSaver hack.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the program links, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What it loads at run time: GStreamer's players (playbin, the MP3 decoder,
# the WAV parser) and the fonts the settings window asks for by name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-ipafont-gothic")
# The CD source and a sound output.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-ugly, gstreamer1.0-pulseaudio | gstreamer1.0-alsa, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver")
include(CPack)
