# The game in a web page, built with emscripten (tools/web-build.sh): the
# libraries and the web port (src/ports/web), nothing else.
# The library's gaps, filled for every file (src/ports/web/web_compat.h).
# WebAssembly's SIMD (in every browser since 2023) doubles the speed of
# clearing, copying and converting the frame; it changes no result.
add_compile_options(-include ${CMAKE_SOURCE_DIR}/src/ports/web/web_compat.h -msimd128)
set(KORVANE_SDL OFF)
set(KORVANE_TESTS OFF)
set(KORVANE_BENCH OFF)
set(KORVANE_WINDOWS OFF)
add_subdirectory(src)
