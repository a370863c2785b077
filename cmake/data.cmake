# The run directory's data: GLSL sources copied from data/, everything else written by the
# generators under tools/ when they (or their inputs) change.

set_property(GLOBAL PROPERTY DEMO_DATA_OUTPUTS "")
set_property(GLOBAL PROPERTY DEMO_DATA_TARGETS "")

file(GLOB_RECURSE DATA_SOURCE_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/data
  ${CMAKE_SOURCE_DIR}/data/*)
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
