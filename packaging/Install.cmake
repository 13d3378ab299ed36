# What `cmake --install` and the Debian package put where (paths below the prefix):
#   bin/zintor, bin/zintor-phone, bin/zintor-keymap-check
#   share/zintor/KeyMap.xml                 the default key maps (the program looks there)
#   share/applications, share/metainfo      the menu entry and its AppStream description
#   share/icons/hicolor/*/apps/zintor.*     the icon, scalable and in PNG sizes
#   share/man/man1/*.1.gz                   the manual pages
#   share/doc/zintor/                       copyright (GPL-3.0-or-later) and changelog
#   lib/udev/rules.d/70-zintor-k8055.rules  the logged-in user may open the K8055 board
set(pkg ${CMAKE_CURRENT_LIST_DIR})
set(data ${PROJECT_SOURCE_DIR}/data)
set(gen ${CMAKE_BINARY_DIR}/packaging)
set(ZINTOR_APPSTREAM_ID io.github.zintor.zintor)
set(ZINTOR_SCREENSHOTS_URL "" CACHE STRING
    "Where docs/screenshots/ is published (https://...), for the AppStream file")

install(TARGETS zintor zintor-phone zintor-keymap-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data}/KeyMap.xml DESTINATION ${ZINTOR_DATA_DIR})
install(FILES ${data}/zintor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/icons/zintor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${data}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${pkg}/udev/70-zintor-k8055.rules DESTINATION lib/udev/rules.d)

# The AppStream file: its home page and screenshots only when the build names where they are.
set(ZINTOR_METAINFO_LINKS "")
if(ZINTOR_HOME_PAGE)
    string(APPEND ZINTOR_METAINFO_LINKS "  <url type=\"homepage\">${ZINTOR_HOME_PAGE}</url>\n")
endif()
if(ZINTOR_SCREENSHOTS_URL)
    string(APPEND ZINTOR_METAINFO_LINKS "  <screenshots>\n")
    set(type " type=\"default\"")
    foreach(shot "main|The main window, on a desktop without a tray"
                 "settings|The settings window: programs, media player, mouse speed"
                 "keyhelp|The key help window: what each phone key does"
                 "notice|The notice after switching to another key map")
        string(REPLACE "|" ";" shot "${shot}")
        list(GET shot 0 name)
        list(GET shot 1 caption)
        string(APPEND ZINTOR_METAINFO_LINKS "    <screenshot${type}>\n"
               "      <caption>${caption}</caption>\n"
               "      <image>${ZINTOR_SCREENSHOTS_URL}/${name}.png</image>\n"
               "    </screenshot>\n")
        set(type "")
    endforeach()
    string(APPEND ZINTOR_METAINFO_LINKS "  </screenshots>\n")
endif()
set(ZINTOR_RELEASE_DATE 2026-12-06)  # of this version, as in the changelog
configure_file(${pkg}/metainfo.xml.in ${gen}/${ZINTOR_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${gen}/${ZINTOR_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and changelog, gzip'ed without a time stamp (the same sources give the same
# package).
set(gzipped "")
foreach(page zintor zintor-phone zintor-keymap-check)
    configure_file(${pkg}/man/${page}.1 ${gen}/${page}.1 @ONLY)
    list(APPEND gzipped ${gen}/${page}.1)
endforeach()
configure_file(${pkg}/changelog ${gen}/changelog @ONLY)
list(APPEND gzipped ${gen}/changelog)
foreach(file ${gzipped})
    add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nkf ${file} DEPENDS ${file} VERBATIM)
endforeach()
list(TRANSFORM gzipped APPEND .gz)
add_custom_target(zintor_package_files ALL DEPENDS ${gzipped})
list(FILTER gzipped INCLUDE REGEX "\\.1\\.gz$")
install(FILES ${gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pkg}/copyright ${gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zintor)
