# Completes the page's folder after the program is linked: the manifest and
# its icons beside it, and the offline worker (sw.js) with the version of
# this build, a hash of every file it keeps.
#   cmake -DSITE=folder -DSOURCE=folder -DICONS=folder -P finish_site.cmake
foreach(name SITE SOURCE ICONS)
  if(NOT IS_DIRECTORY "${${name}}")
    message(FATAL_ERROR "finish_site.cmake: ${name} must name a folder")
  endif()
endforeach()

file(COPY_FILE ${SOURCE}/rangiertrubel.webmanifest ${SITE}/rangiertrubel.webmanifest ONLY_IF_DIFFERENT)
file(COPY_FILE ${SOURCE}/levels_worker.js ${SITE}/levels_worker.js ONLY_IF_DIFFERENT)
foreach(size 192 512)
  file(COPY_FILE ${ICONS}/icon-${size}.png ${SITE}/icon-${size}.png ONLY_IF_DIFFERENT)
endforeach()

set(hashes "")
foreach(file index.html index.js index.wasm index.data levels_worker.js levels.js levels.wasm
             rangiertrubel.webmanifest icon-192.png icon-512.png)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "${hash}\n")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 RT_WEB_VERSION)
configure_file(${SOURCE}/sw.js.in ${SITE}/sw.js @ONLY)
