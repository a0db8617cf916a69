# add_sample(<name> SOURCES <files...>)
#
# Builds one windowed program into the build folder that mirrors its source folder and
# stages its hand-written assets/ beside it, so the program runs from there as it would
# from an installed copy. Generated textures are written into the same assets/ folder
# by the asset build.
function(add_sample name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE simple-framework)
  stage_assets(${name} ${CMAKE_CURRENT_SOURCE_DIR}/assets ${CMAKE_CURRENT_BINARY_DIR}/assets)
endfunction()

# Copies every file under <from> to <to>, keeping the copy up to date when a file changes.
function(stage_assets target from to)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${from} ${from}/*)
  set(staged)
  foreach(file IN LISTS files)
    add_custom_command(OUTPUT ${to}/${file}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${from}/${file} ${to}/${file}
      DEPENDS ${from}/${file}
      COMMENT "Staging ${file}")
    list(APPEND staged ${to}/${file})
  endforeach()
  add_custom_target(${target}-assets DEPENDS ${staged})
  add_dependencies(${target} ${target}-assets)
endfunction()
