cmake_minimum_required(VERSION 3.25)
# Fails when an executable's dynamic section names a GL library other than the allowed ones.
#
#   cmake -DREADELF=<readelf> -DEXECUTABLE=<file> -DALLOWED=<soname;...> -P NeededGlLibraries.cmake

execute_process(COMMAND ${READELF} -d ${EXECUTABLE} OUTPUT_VARIABLE dynamicSection RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf could not read ${EXECUTABLE}")
endif()

string(REGEX MATCHALL "\\(NEEDED\\)[^[]*\\[[^]]+\\]" entries "${dynamicSection}")
if(NOT entries)
  message(FATAL_ERROR "${EXECUTABLE} has no NEEDED entries: not a dynamically linked program")
endif()

set(wrong)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE ".*\\[([^]]+)\\]" "\\1" library "${entry}")
  message(STATUS "NEEDED ${library}")
  # Desktop GL, GLX, GLVND's dispatch and libOpenGL, OpenGL ES 1, EGL and GLES themselves.
  if(library MATCHES "^lib(GL|EGL|OpenGL|glapi)" AND NOT library IN_LIST ALLOWED)
    list(APPEND wrong ${library})
  endif()
endforeach()
foreach(library IN LISTS ALLOWED)
  if(NOT "${dynamicSection}" MATCHES "\\[${library}\\]")
    list(APPEND wrong "${library} (missing)")
  endif()
endforeach()
if(wrong)
  message(FATAL_ERROR "${EXECUTABLE} needs GL libraries it should not: ${wrong}")
endif()
