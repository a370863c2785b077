add_fuzz_target(stencil_caster SOURCES render/stencil_shadow_caster.cpp
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/stencil_caster)
