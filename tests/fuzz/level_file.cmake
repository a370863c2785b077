add_fuzz_target(level_file SOURCES game/level_codec.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/level_file)
add_fuzz_target(palette_file SOURCES game/level_codec.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/palette_file)
