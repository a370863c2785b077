add_fuzz_target(tga_read_messages SOURCES gfx/tga.cpp core/data_files.cpp core/regular_file.cpp platform/data_paths.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/tga)
