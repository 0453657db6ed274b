# The game in a web page, built with emscripten (tools/web-build.sh): the core,
# the browser backend and its entry point as korvane.js and korvane.wasm,
# with the campaign built in, beside the page's index.html. The campaign is
# built by the native kvxtool: KORVANE_WEB_CAMPAIGN names its folder.
set(KORVANE_WEB_CAMPAIGN "" CACHE PATH "The native build's campaign/ folder, built into the page")
if(NOT IS_DIRECTORY "${KORVANE_WEB_CAMPAIGN}")
  message(FATAL_ERROR "KORVANE_WEB_CAMPAIGN must name the native build's campaign folder")
endif()
# The library's gaps, filled for every file (src/platform/web_compat.h).
# WebAssembly's SIMD (in every browser since 2023) doubles the speed of
# clearing, copying and converting the frame; it changes no result.
add_compile_options(-include ${CMAKE_SOURCE_DIR}/src/platform/web_compat.h -msimd128)
set(KORVANE_SDL OFF)
set(KORVANE_TESTS OFF)
set(KORVANE_BENCH OFF)
set(KORVANE_WINDOWS OFF)
add_subdirectory(src)

set(web_page ${CMAKE_SOURCE_DIR}/src/platform/web)
add_executable(korvane-web
  src/app/main_web.cpp
  src/platform/web.cpp
  src/platform/web_keys.cpp
  src/platform/web_address.cpp
  src/platform/web_files.cpp
  src/platform/web_rand.cpp
  src/platform/glibc_random.cpp)
# Debian's emcc runs its JavaScript optimiser with the system's node, which
# finds acorn in /usr/share/nodejs.
set_target_properties(korvane-web PROPERTIES
  CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
target_link_libraries(korvane-web PRIVATE korvane_core korvane_warnings)
file(GLOB web_campaign CONFIGURE_DEPENDS ${KORVANE_WEB_CAMPAIGN}/kvxmap.*.kvx)
set_target_properties(korvane-web PROPERTIES OUTPUT_NAME korvane SUFFIX .js
  LINK_DEPENDS "${web_page}/page.js;${web_campaign}")
target_link_options(korvane-web PRIVATE
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=64MB
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free,_webMission,_webStep
  -lidbfs.js
  --pre-js ${web_page}/page.js
  --embed-file ${KORVANE_WEB_CAMPAIGN}@/campaign)
add_custom_command(TARGET korvane-web POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${web_page}/index.html $<TARGET_FILE_DIR:korvane-web>/index.html)
