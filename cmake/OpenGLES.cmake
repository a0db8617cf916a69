# EGL and OpenGL ES as Debian ships them: the pkg-config modules egl and glesv2 (libEGL and
# libGLESv2, which serves OpenGL ES 2.0 and 3.x alike), as the imported targets
# PkgConfig::EGL and PkgConfig::GLESv2. CMake's FindOpenGL is not used: its OpenGL::EGL
# also links GLVND's libOpenGL, the desktop GL, which these programs never call.
find_package(PkgConfig REQUIRED)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)
pkg_check_modules(GLESv2 REQUIRED IMPORTED_TARGET glesv2)
