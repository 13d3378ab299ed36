# Desktop integration, included from the top-level CMakeLists.txt: a menu entry, its icon (the
# still tray frame) and a `zintor` command beside the program installed in lib/zintor.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/zintor.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/101.png DESTINATION share/icons/hicolor/32x32/apps
        RENAME zintor.png)
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../lib/zintor/zintor \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/zintor\"
         SYMBOLIC)
")
