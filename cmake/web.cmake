# The saver in a web browser: the program on the browser's backend (ui/web)
# as tessellane.js and tessellane.wasm, and the static site around it in
# TESS_WEB_SITE: the page and its service worker (web/), the web font made
# from the IPA Gothic fonts with its licence, and the icons.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "the web backend is built by Emscripten: use the web preset")
endif()
set(TESS_WEB_SITE "${CMAKE_SOURCE_DIR}/build/web" CACHE PATH "Where the static site is put together")
find_program(TESS_SYSTEM_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
find_program(TESS_CONVERT convert REQUIRED)

file(GLOB TESS_WEB_SOURCES CONFIGURE_DEPENDS ui/web/*.cpp)
add_library(tess_ui_web STATIC ${TESS_WEB_SOURCES} ${TESS_DIALOG_HERE} ui/common/not_windows.cpp
            ui/common/mci_services.cpp $<TARGET_OBJECTS:tess_core>)
target_link_libraries(tess_ui_web PUBLIC tess_codepage tess_base)

# The waits for events give the browser control (Asyncify): only the
# library's functions that wait unwind the program's stack.
set(TESS_WEB_LIBRARY ${CMAKE_SOURCE_DIR}/ui/web/tessellane_web.js)
set(TESS_WEB_WAITS tess_wait_events tess_yield tess_end_process tess_message tess_choose_colour
    tess_choose_music_file)
list(JOIN TESS_WEB_WAITS "," TESS_WEB_WAITS)
set(TESS_WEB_LINK_OPTIONS --js-library ${TESS_WEB_LIBRARY} -sASYNCIFY "SHELL:-s ASYNCIFY_IMPORTS=${TESS_WEB_WAITS}"
    -sASYNCIFY_STACK_SIZE=65536 -sMODULARIZE=1 -sEXPORT_NAME=createTessellane -sINVOKE_RUN=0
    "SHELL:-s EXPORTED_RUNTIME_METHODS=callMain" -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web)

add_executable(tessellane app/main.cpp)
target_link_libraries(tessellane PRIVATE tess_ui_web)
target_link_options(tessellane PRIVATE ${TESS_WEB_LINK_OPTIONS})
set_target_properties(tessellane PROPERTIES LINK_DEPENDS ${TESS_WEB_LIBRARY})

# The font: IPA P Gothic cut down to the characters the program and its page
# show, renamed as its licence asks of a changed font.
set(TESS_WEB_FONT ${CMAKE_BINARY_DIR}/fonts/tessellane-gothic.woff2)
file(GLOB TESS_WEB_TEXT_SOURCES CONFIGURE_DEPENDS app/*.cpp display/*.cpp music/*.cpp settings_dialog/*.cpp
     controls/*.cpp ui/web/*.cpp ui/web/*.js web/*.html web/*.js)
add_custom_command(OUTPUT ${TESS_WEB_FONT}
  COMMAND ${TESS_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/web_font.py ${CMAKE_BINARY_DIR}/fonts
          ${TESS_WEB_TEXT_SOURCES}
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/web_font.py ${TESS_WEB_TEXT_SOURCES}
  COMMENT "Making the web font from IPA P Gothic" VERBATIM)

# The icons: the program's icon, its pixels kept sharp.
set(TESS_WEB_ICONS)
foreach(size 192 512)
  set(icon ${CMAKE_BINARY_DIR}/icons/icon-${size}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND ${TESS_CONVERT} ${CMAKE_SOURCE_DIR}/assets/tessellane.ico -filter point -resize ${size}x${size} ${icon}
    DEPENDS ${CMAKE_SOURCE_DIR}/assets/tessellane.ico VERBATIM)
  list(APPEND TESS_WEB_ICONS ${icon})
endforeach()

file(GLOB TESS_WEB_PAGE CONFIGURE_DEPENDS web/*)
set(TESS_WEB_STAMP ${CMAKE_BINARY_DIR}/site.stamp)
add_custom_command(OUTPUT ${TESS_WEB_STAMP}
  COMMAND ${CMAKE_COMMAND} "-DSITE=${TESS_WEB_SITE}" "-DPAGE=${CMAKE_SOURCE_DIR}/web"
          "-DPROGRAM=$<TARGET_FILE_DIR:tessellane>" "-DFONTS=${CMAKE_BINARY_DIR}/fonts"
          "-DICONS=${CMAKE_BINARY_DIR}/icons" "-DICO=${CMAKE_SOURCE_DIR}/assets/tessellane.ico"
          -P ${CMAKE_SOURCE_DIR}/cmake/web_site.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${TESS_WEB_STAMP}
  DEPENDS tessellane ${TESS_WEB_FONT} ${TESS_WEB_ICONS} ${TESS_WEB_PAGE} ${CMAKE_SOURCE_DIR}/cmake/web_site.cmake
  COMMENT "Putting the site together in ${TESS_WEB_SITE}" VERBATIM)
add_custom_target(site ALL DEPENDS ${TESS_WEB_STAMP})
