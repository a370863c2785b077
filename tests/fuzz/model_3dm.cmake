add_fuzz_target(model_3dm SOURCES gfx/model_3dm.cpp CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/model_3dm)

# The round-trip cases of engine_tests use the generators' .3dm writer, which comes with
# datagen_common once tools/common includes model3dm.cmake; until then it is added here.
get_property(model3dm_writer_added GLOBAL PROPERTY MODEL3DM_WRITER_ADDED)
if(TARGET datagen_common AND NOT model3dm_writer_added)
  include(${CMAKE_SOURCE_DIR}/tools/common/model3dm.cmake)
endif()
