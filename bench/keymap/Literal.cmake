# The literal front-consuming key-map loader and the key-map generator: measured against in
# bench/keymap, used as an oracle in tests/keymap. Included from both; defined once.
if(NOT TARGET zintor_keymap_literal)
    add_library(zintor_keymap_literal STATIC ${CMAKE_CURRENT_LIST_DIR}/LiteralKeyMapLoader.cpp
                                             ${CMAKE_CURRENT_LIST_DIR}/GeneratedKeyMap.cpp)
    target_include_directories(zintor_keymap_literal PUBLIC ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(zintor_keymap_literal PUBLIC zintor_keymap)
endif()
