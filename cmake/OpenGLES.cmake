# EGL and OpenGL ES as the distribution ships them, as the imported targets OpenGL::EGL,
# OpenGL::GLES2 and OpenGL::GLES3. CMake's FindOpenGL knows the GLES components from 3.27 on;
# with older CMake the GLES library (libGLESv2 serves both versions) is found here.
if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.27)
  find_package(OpenGL REQUIRED COMPONENTS EGL GLES2 GLES3)
else()
  find_package(OpenGL REQUIRED COMPONENTS EGL)
  find_library(GLESv2_LIBRARY NAMES GLESv2 REQUIRED)
  find_path(GLES3_INCLUDE_DIR GLES3/gl3.h REQUIRED)
  foreach(component GLES2 GLES3)
    if(NOT TARGET OpenGL::${component})
      add_library(OpenGL::${component} UNKNOWN IMPORTED)
      set_target_properties(OpenGL::${component} PROPERTIES
        IMPORTED_LOCATION ${GLESv2_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${GLES3_INCLUDE_DIR})
    endif()
  endforeach()
endif()
