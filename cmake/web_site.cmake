# Puts the static site together (cmake -P): the page's files, the program,
# the font and the icons, and the service worker with the list of them all
# and a version made from their contents, so that a new build replaces what
# browsers keep offline.
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE}/fonts ${SITE}/icons)
file(GLOB page_files ${PAGE}/*)
list(FILTER page_files EXCLUDE REGEX "\\.in$")
file(COPY ${page_files} DESTINATION ${SITE})
file(COPY ${PROGRAM}/tessellane.js ${PROGRAM}/tessellane.wasm DESTINATION ${SITE})
file(COPY ${FONTS}/ DESTINATION ${SITE}/fonts)
file(COPY ${ICONS}/ DESTINATION ${SITE}/icons)
file(COPY_FILE ${ICO} ${SITE}/favicon.ico)

file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(SORT files)
set(hashes "")
set(list "")
foreach(f IN LISTS files)
  file(SHA256 ${SITE}/${f} h)
  string(APPEND hashes "${h}")
  string(APPEND list "  './${f}',\n")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING "${version}" 0 16 TESS_SITE_VERSION)
set(TESS_SITE_FILES "  './',\n${list}")
configure_file(${PAGE}/sw.js.in ${SITE}/sw.js @ONLY)
