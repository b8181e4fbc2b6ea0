# The Windows build (cross-built with cmake/mingw-w64-x86_64.cmake): one
# .exe per program that needs no MinGW DLLs beside it.
add_link_options(-static-libgcc -static-libstdc++ -static)
# Wide-character Win32 calls throughout; windows.h without its min/max
# macros; Windows 7 and later.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
find_package(Threads REQUIRED)

# The compilers' options (warnings as errors) are for C++ only: the
# resource compiler takes none of them.
get_property(compile_options DIRECTORY PROPERTY COMPILE_OPTIONS)
set(cxx_only_options "")
foreach(option IN LISTS compile_options)
  list(APPEND cxx_only_options "$<$<COMPILE_LANGUAGE:CXX>:${option}>")
endforeach()
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${cxx_only_options}")
include(src/resources/win32/resources_win32.cmake)

include(CTest)
add_subdirectory(src)
include(packaging/windows/package.cmake)
if(BUILD_TESTING)
  add_subdirectory(tests)
endif()
