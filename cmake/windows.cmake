# The Windows build, made beside the native one: the same sources cross-built
# with mingw-w64 into ${CMAKE_BINARY_DIR}/windows (korvane.exe, rasterdiff.exe).
# Its checks run under Wine; see tests/CMakeLists.txt.
find_program(KORVANE_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(KORVANE_WINE wine)
find_program(KORVANE_XVFB_RUN Xvfb)
if(NOT KORVANE_MINGW_CXX OR NOT KORVANE_WINE OR NOT KORVANE_XVFB_RUN)
  message(STATUS "Windows build off: needs x86_64-w64-mingw32-g++-posix, wine and Xvfb")
  set(KORVANE_WINDOWS OFF)
  return()
endif()

include(ExternalProject)
set(KORVANE_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(korvane_windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${KORVANE_WINDOWS_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DKORVANE_CAMPAIGN_DIR=${CMAKE_BINARY_DIR}/campaign
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
)
