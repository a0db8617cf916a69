# add_sample(<name> SOURCES <files...>)
#
# Builds one windowed program into the build folder that mirrors its source folder and
# stages its hand-written assets/ beside it, so the program runs from there as it would
# from an installed copy. Generated textures join them through add_sample_assets.
function(add_sample name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE simple-framework)
  stage_assets(${name} ${CMAKE_CURRENT_SOURCE_DIR}/assets ${CMAKE_CURRENT_BINARY_DIR}/assets)
endfunction()

# add_sample_assets(<name> <asset> <file> [<asset> <file> ...])
#
# Stages assets that the asset build generates (tools/asset-build; `asset-build --help` lists
# them) into the program's assets/ folder, each under <file>, the path relative to assets/
# that the program loads. For a mipmap chain <file> holds %d, where the level number goes.
# One call per program, naming all its generated assets.
function(add_sample_assets name)
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR unpaired "${count} % 2")
  if(count EQUAL 0 OR unpaired)
    message(FATAL_ERROR "add_sample_assets(${name} <asset> <file> ...): expected pairs of an asset and a file")
  endif()
  set(staged)
  set(generators)
  while(pairs)
    list(POP_FRONT pairs asset file)
    get_property(generated GLOBAL PROPERTY KORVO_ASSET_FILES_${asset})
    get_property(levels GLOBAL PROPERTY KORVO_ASSET_LEVELS_${asset})
    if(NOT generated)
      message(FATAL_ERROR "add_sample_assets(${name}): no asset '${asset}'; 'asset-build --help' lists them")
    endif()
    string(FIND "${file}" "%d" level_at)
    if(levels AND level_at EQUAL -1)
      message(FATAL_ERROR "add_sample_assets(${name}): '${asset}' is a mipmap chain; '${file}' needs %d")
    elseif(NOT levels AND NOT level_at EQUAL -1)
      message(FATAL_ERROR "add_sample_assets(${name}): '${asset}' is one file; '${file}' must not hold %d")
    endif()
    foreach(level from IN ZIP_LISTS levels generated)
      string(REPLACE "%d" "${level}" level_file "${file}")
      set(to "${CMAKE_CURRENT_BINARY_DIR}/assets/${level_file}")
      add_custom_command(OUTPUT "${to}"
        COMMAND ${CMAKE_COMMAND} -E copy "${from}" "${to}"
        DEPENDS "${from}"
        COMMENT "Staging ${level_file}"
        VERBATIM)
      list(APPEND staged "${to}")
    endforeach()
    list(APPEND generators asset-${asset})
  endwhile()
  add_custom_target(${name}-generated-assets DEPENDS ${staged})
  add_dependencies(${name}-generated-assets ${generators})
  add_dependencies(${name} ${name}-generated-assets)
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
