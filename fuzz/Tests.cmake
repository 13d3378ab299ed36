# The libFuzzer targets of this folder, built with clang in a build of its own and run for a few
# seconds as tests; skipped where clang or libFuzzer is missing. Longer runs: see README.md.
find_program(ZINTOR_CLANGXX NAMES clang++ clang++-14)
set(fuzz_bin ${CMAKE_BINARY_DIR}/fuzz)
function(zintor_fuzz_test test fuzzer prefix label)
    file(MAKE_DIRECTORY ${fuzz_bin}/${prefix}corpus)
    add_test(NAME ${test}
        COMMAND sh -c "test -x ./zintor_${fuzzer}_fuzzer || { echo 'libFuzzer not available'; exit 77; }; exec ./zintor_${fuzzer}_fuzzer -max_total_time=8 -seed=1 -timeout=10 ${ARGN} -rss_limit_mb=2048 -dict=${CMAKE_SOURCE_DIR}/fuzz/${fuzzer}.dict -artifact_prefix=${fuzz_bin}/ ${prefix}corpus ${CMAKE_SOURCE_DIR}/fuzz/${prefix}seeds"
        WORKING_DIRECTORY ${fuzz_bin})
    set_tests_properties(${test} PROPERTIES LABELS "${label};fuzz" TIMEOUT 120 SKIP_RETURN_CODE 77)
endfunction()
if(ZINTOR_CLANGXX AND NOT ZINTOR_SANITIZE)
    include(ExternalProject)
    ExternalProject_Add(zintor_keymap_fuzzer_build
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
        BINARY_DIR ${fuzz_bin}
        CMAKE_ARGS -DCMAKE_CXX_COMPILER=${ZINTOR_CLANGXX} -DZINTOR_SOURCE_DIR=${CMAKE_SOURCE_DIR}
        BUILD_ALWAYS ON
        INSTALL_COMMAND "")
    zintor_fuzz_test(keymap_libfuzzer keymap "" keymap)
    # The link's receive path (LineFuzzer.cpp).
    zintor_fuzz_test(link_line_libfuzzer line line- link -max_len=512)
endif()
