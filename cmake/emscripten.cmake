# The browser build with Debian's Emscripten (package emscripten). ctest runs
# the unit tests under Node; Emscripten 3.1.6 loads its .wasm with the global
# fetch, which Node 18 and later provide but cannot use for a file path.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
find_program(TESS_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TESS_NODE};--no-experimental-fetch" CACHE STRING
    "How ctest runs the WebAssembly tests" FORCE)
