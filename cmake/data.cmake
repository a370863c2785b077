# The run directory's data: GLSL sources copied from data/ (templates, "*.in", written out as
# their variants), everything else written by the generators under tools/ when they (or their
# inputs) change.

# The level generator's own output; the run directory gets a copy unless its level was edited.
set(GENERATED_LEVELS_DIR ${CMAKE_BINARY_DIR}/levels)

set_property(GLOBAL PROPERTY DEMO_DATA_OUTPUTS "")
set_property(GLOBAL PROPERTY DEMO_DATA_TARGETS "")

file(GLOB_RECURSE DATA_SOURCE_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/data
  ${CMAKE_SOURCE_DIR}/data/*)
list(FILTER DATA_SOURCE_FILES EXCLUDE REGEX "\\.in$")
foreach(rel ${DATA_SOURCE_FILES})
  set(out ${RUN_DATA_DIR}/${rel})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/data/${rel} ${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${rel} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY DEMO_DATA_OUTPUTS ${out})
endforeach()

# add_data_generator(<tool target> [ARGS ...]): runs the tool at build time as
# `<tool> <run dir> ARGS...` from the run directory; reruns when the tool is rebuilt.
function(add_data_generator tool)
  cmake_parse_arguments(GEN "" "" "ARGS;DEPENDS" ${ARGN})
  set(stamp ${CMAKE_BINARY_DIR}/stamps/${tool}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND $<TARGET_FILE:${tool}> ${RUN_DIR} ${GEN_ARGS}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    WORKING_DIRECTORY ${RUN_DIR}
    DEPENDS ${tool} ${GEN_DEPENDS}
    COMMENT "Generating demo data with ${tool}" VERBATIM)
  # The rule lives in this folder, so a target here owns it; demo_data depends on the target.
  add_custom_target(${tool}_data DEPENDS ${stamp})
  set_property(GLOBAL APPEND PROPERTY DEMO_DATA_TARGETS ${tool}_data)
endfunction()

# add_shader_variant(<run-dir name> TEMPLATE <file under data/> [DEFINES NAME ...]): writes
# the template into the run directory with a "#define" per name after its "#version" line,
# so near-identical programs keep one source and differ by #ifdef sections.
function(add_shader_variant name)
  cmake_parse_arguments(VARIANT "" "TEMPLATE" "DEFINES" ${ARGN})
  set(template ${CMAKE_SOURCE_DIR}/data/${VARIANT_TEMPLATE})
  set(out ${RUN_DATA_DIR}/${name})
  string(REPLACE ";" "," defines "${VARIANT_DEFINES}")
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${template} -DOUTPUT=${out} "-DDEFINES=${defines}"
      -P ${CMAKE_SOURCE_DIR}/cmake/shader_variant.cmake
    DEPENDS ${template} ${CMAKE_SOURCE_DIR}/cmake/shader_variant.cmake VERBATIM)
  set_property(GLOBAL APPEND PROPERTY DEMO_DATA_OUTPUTS ${out})
endfunction()

# The lit model passes: the plain pass, with fog, with fog and a specular map, the hero's;
# the light-view depth pass. Each skinned vertex shader also has builds with smaller bone arrays.
add_shader_variant(shmappass2.vert TEMPLATE lit_model.vert.in)
add_shader_variant(shmappass2hero.vert TEMPLATE lit_model.vert.in)
add_shader_variant(shmappass2fog.vert TEMPLATE lit_model.vert.in DEFINES FOG)
add_shader_variant(shmappass2static.vert TEMPLATE lit_model.vert.in DEFINES STATIC_MODEL)
add_shader_variant(shmappass2fogstatic.vert TEMPLATE lit_model.vert.in DEFINES FOG STATIC_MODEL)
add_shader_variant(shmappass1.vert TEMPLATE model_depth.vert.in)
add_shader_variant(shmappass1static.vert TEMPLATE model_depth.vert.in DEFINES STATIC_MODEL)
add_shader_variant(shmappass2fewbones.vert TEMPLATE lit_model.vert.in DEFINES FEW_BONES)
add_shader_variant(shmappass2fogfewbones.vert TEMPLATE lit_model.vert.in DEFINES FOG FEW_BONES)
add_shader_variant(shmappass1fewbones.vert TEMPLATE model_depth.vert.in DEFINES FEW_BONES)
add_shader_variant(shmappass2.frag TEMPLATE lit_model.frag.in)
add_shader_variant(shmappass2fog.frag TEMPLATE lit_model.frag.in DEFINES FOG)
add_shader_variant(shmappass2specular.frag TEMPLATE lit_model.frag.in DEFINES FOG SPECULAR_MAP)
add_shader_variant(shmappass2hero.frag TEMPLATE lit_model.frag.in DEFINES HERO)
# The legacy and the volumetric model programs, each with builds without bone arrays and with
# 8-bone arrays.
foreach(pass tutorial2 volumetric)
  add_shader_variant(${pass}.vert TEMPLATE ${pass}.vert.in)
  add_shader_variant(${pass}static.vert TEMPLATE ${pass}.vert.in DEFINES STATIC_MODEL)
  add_shader_variant(${pass}fewbones.vert TEMPLATE ${pass}.vert.in DEFINES FEW_BONES)
endforeach()
# The screen passes' vertex shader, under both names the programs load it by.
add_shader_variant(passthroughvertexshader.vert TEMPLATE passthrough.vert.in)
add_shader_variant(Passthroughvertexshader.vert TEMPLATE passthrough.vert.in)
