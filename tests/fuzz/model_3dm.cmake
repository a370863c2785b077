add_fuzz_target(model_3dm SOURCES gfx/model_3dm.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/model_3dm)
