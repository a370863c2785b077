add_fuzz_target(model_3dm SOURCES gfx/model_3dm.cpp gfx/text_lines.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/model_3dm)
