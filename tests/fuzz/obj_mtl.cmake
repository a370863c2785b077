add_fuzz_target(obj_mtl
  SOURCES gfx/obj_read.cpp gfx/obj_model.cpp gfx/obj_ops.cpp gfx/tangents.cpp core/program_exit.cpp tests/fuzz/model_version_stub.cpp
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/obj_mtl)
