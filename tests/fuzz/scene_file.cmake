add_fuzz_target(scene_file SOURCES gfx/scene_file_read.cpp gfx/model_3dm.cpp gfx/text_lines.cpp
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/scene_file)
