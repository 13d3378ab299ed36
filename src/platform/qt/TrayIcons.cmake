# The tray icon frames, compiled into the Qt adapter library so the program needs no data files
# for them. Included from src/platform/CMakeLists.txt.
qt_add_resources(zintor_qt zintor_tray_icons
    PREFIX /zintor/icons
    BASE ${PROJECT_SOURCE_DIR}/data/icons
    FILES ${PROJECT_SOURCE_DIR}/data/icons/101.png
          ${PROJECT_SOURCE_DIR}/data/icons/102.png
          ${PROJECT_SOURCE_DIR}/data/icons/103.png)
