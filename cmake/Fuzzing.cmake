# KORVO_FUZZ: everything compiles with AddressSanitizer, UndefinedBehaviorSanitizer and
# libFuzzer's coverage; any undefined behaviour ends the run as a finding.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KORVO_FUZZ needs clang: configure a separate build folder with CC=clang CXX=clang++")
endif()
add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
