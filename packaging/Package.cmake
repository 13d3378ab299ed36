# The Debian package (scripts/package, or `cpack -G DEB` in a build folder after a build):
# zintor_<version>_amd64.deb with what packaging/Install.cmake installs below /usr.
set(ZINTOR_PACKAGE_MAINTAINER "Zintor developers <zintor@example.org>" CACHE STRING
    "The Debian package's maintainer: Name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zintor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZINTOR_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "phone on a serial line as a remote control for the PC")
set(CPACK_PACKAGE_DESCRIPTION
    "Zintor talks AT commands to a mobile phone on a serial cable or a Bluetooth
serial link and puts its own entry into the phone's accessory menu. The
phone's keys then move the mouse, type, control the media player (Audacious
or any MPRIS player) and the master volume, start programs and switch the
outputs of a Velleman K8055 USB I/O board. Zintor lives in the system tray.

The package also holds zintor-keymap-check, which checks a key-map file, and
zintor-phone, a virtual phone for trying Zintor without a phone.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZINTOR_HOME_PAGE})
# Libraries from the programs themselves (dpkg-shlibdeps); the programs the features talk to at
# run time as recommendations: a sound server for the master volume, a media player, a session
# bus to reach the player, Qt's Wayland platform (windows and tray without XWayland). The portal
# gives keyboard and mouse input on GNOME and KDE Plasma under Wayland, whose desktops pull it in
# anyway.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(JOIN ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio"
       "audacious | vlc | mpv-mpris" "dbus-user-session | dbus-x11" qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-desktop-portal")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst
    ${CMAKE_CURRENT_LIST_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
