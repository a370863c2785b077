add_fuzz_target(height_profile
  SOURCES gfx/height_profile.cpp gfx/tga.cpp core/data_files.cpp core/regular_file.cpp platform/data_paths.cpp
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/height_profile)
