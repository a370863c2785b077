add_fuzz_target(ppm SOURCES gfx/ppm_read.cpp core/regular_file.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/ppm)
