# The Windows configuration (cross-built with cmake/mingw-w64.cmake): the core, the Win32
# adapters, zintor.exe, zintor-keymap-check.exe and the tests, which ctest runs under wine.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_subdirectory(src/core)
add_subdirectory(tools/cli)
add_subdirectory(tools/keymap-check)
add_subdirectory(src/platform/windows)
add_subdirectory(src/app/windows)
add_subdirectory(bench/windows)

if(ZINTOR_BUILD_TESTS)
    enable_testing()
    add_subdirectory(tests/windows)
endif()
