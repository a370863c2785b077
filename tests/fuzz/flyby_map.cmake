add_fuzz_target(flyby_map
  SOURCES scenes/flyby_map_decode.cpp
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/flyby_map)
