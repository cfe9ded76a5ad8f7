# How velun-saver installs on Linux, and its Debian package.
#
#   <prefix>/lib/velun-saver/velun-saver         the program
#   <prefix>/lib/velun-saver/finalvelun.txt      its verse file (found beside the program's real path)
#   <prefix>/bin/velun-saver                     -> ../lib/velun-saver/velun-saver
#   <prefix>/libexec/xscreensaver/velun-saver    -> ../../lib/velun-saver/velun-saver
#                                                   (XScreenSaver's folder of display modes)
#   <prefix>/share/xscreensaver/config/velun-saver.xml   the mode's page in xscreensaver-settings
#   <prefix>/share/applications/velun-saver.desktop      "Velun Saver Preferences" (velun-saver /C)
#   <prefix>/share/applications/screensavers/velun-saver.desktop   the mode for MATE's screen saver
#   <prefix>/share/icons/hicolor/<S>x<S>/apps/velun-saver.png      the icon, drawn at build time
#
# The links are relative, so the tree works wherever it is unpacked. `cpack` (or the
# target velun_deb) makes build/.../velun-saver_<version>_<arch>.deb for prefix /usr:
# Debian's XScreenSaver looks for its display modes in /usr/libexec/xscreensaver.
include(GNUInstallDirs)

set(VELUN_PROGRAM_TARGET velun-saver CACHE STRING "Target of the Linux program")
set(velun_packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
set(velun_program_dir lib/velun-saver)
set(velun_package_build ${CMAKE_BINARY_DIR}/linux-package)
# Where the package tests pack and unpack the .deb (its tree in root/) for the scenarios
# that run the program from it.
set(VELUN_DEB_WORK ${velun_package_build}/test)

# The icon in the sizes that menus, docks and the hicolor theme ask for.
set(VELUN_ICON_SIZES 16 24 32 48 64 128 256)
set(velun_icon_dir ${velun_package_build}/icons)
set(velun_icons ${VELUN_ICON_SIZES})
list(TRANSFORM velun_icons REPLACE "^(.+)$" "${velun_icon_dir}/hicolor/\\1x\\1/apps/velun-saver.png")
find_package(Python3 COMPONENTS Interpreter REQUIRED)
string(JOIN ", " velun_icon_size_text ${VELUN_ICON_SIZES})
add_custom_command(
  OUTPUT ${velun_icons}
  COMMAND ${Python3_EXECUTABLE} -B ${velun_packaging}/make_icons.py ${velun_icon_dir}
          ${VELUN_ICON_SIZES}
  DEPENDS ${velun_packaging}/make_icons.py ${PROJECT_SOURCE_DIR}/src/platform/win32/make_icon.py
  COMMENT "Drawing the icon at ${velun_icon_size_text} pixels")
add_custom_target(velun_icons ALL DEPENDS ${velun_icons})
foreach(size IN LISTS VELUN_ICON_SIZES)
  install(FILES ${velun_icon_dir}/hicolor/${size}x${size}/apps/velun-saver.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Links made in the build tree and installed as links (install(FILES) keeps a link a link).
set(velun_links ${velun_package_build}/links)
file(MAKE_DIRECTORY ${velun_links}/bin ${velun_links}/hack)
file(CREATE_LINK ../${velun_program_dir}/velun-saver ${velun_links}/bin/velun-saver SYMBOLIC)
file(CREATE_LINK ../../${velun_program_dir}/velun-saver ${velun_links}/hack/velun-saver SYMBOLIC)
install(FILES ${velun_links}/bin/velun-saver DESTINATION bin)
install(FILES ${velun_links}/hack/velun-saver DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)

install(FILES ${VELUN_SAMPLE_VERSE_FILE} DESTINATION ${velun_program_dir})
install(FILES ${velun_packaging}/velun-saver.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${velun_packaging}/velun-saver.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${velun_packaging}/velun-saver-screensaver.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers
        RENAME velun-saver.desktop)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velun-saver)
set(CPACK_PACKAGE_VENDOR "Velun Saver")
set(CPACK_PACKAGE_CONTACT "Velun Saver <${VELUN_CONTACT_ADDRESS}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver that shows verses of an Arabic scripture")
set(CPACK_PACKAGE_DESCRIPTION [[
Covers the screen with black and shows verses of an Arabic scripture, one at a
time, large and centred, each sliding in from an edge or popping on. It runs as
an XScreenSaver display mode (velun-saver -root) or on its own (velun-saver /S).
Velun Saver Preferences, in the desktop's menu, sets the font, colour, verse
order, animation, speed and delay.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)  # the package carries no debugging information
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt's and the C++ runtime's libraries come from dpkg-shlibdeps (xcb, the platform
# plugin, is in libqt6gui6); the stored default "Traditional Arabic" is drawn in Noto
# Naskh Arabic, which Debian ships in fonts-noto-core.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
include(CPack)

# `cmake --build ... --target velun_deb` builds the program and packs it.
add_custom_target(velun_deb
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing velun-saver into a .deb"
  VERBATIM)
add_dependencies(velun_deb velun_icons)

# The program's own rules wait until the whole tree is read: its target is defined
# in src/platform/qt, which this file does not depend on being read first.
function(velun_install_program)
  if(TARGET ${VELUN_PROGRAM_TARGET})
    install(TARGETS ${VELUN_PROGRAM_TARGET} RUNTIME DESTINATION ${velun_program_dir})
    add_dependencies(velun_deb ${VELUN_PROGRAM_TARGET})
  else()
    message(STATUS "The .deb holds no program: target ${VELUN_PROGRAM_TARGET} is not built")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL velun_install_program)
