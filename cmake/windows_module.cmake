# The real module file, a 32-bit Windows DLL: the runtime is linked in statically so that the DLL
# needs nothing but system DLLs, and (with KAVELMOR_WINDOWS_CHECKS) a test checks exactly that.
target_link_options(kavelmor_module PRIVATE -static -static-libgcc -static-libstdc++)

option(KAVELMOR_WINDOWS_CHECKS "Check the Windows module file's format, exports and imports" OFF)
if(KAVELMOR_WINDOWS_CHECKS)
  enable_testing()
  add_test(NAME windows_module_file
           COMMAND ${CMAKE_SOURCE_DIR}/tests/check_module_file.sh pe $<TARGET_FILE:kavelmor_module> ${CMAKE_OBJDUMP})
endif()
