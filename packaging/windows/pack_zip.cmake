# Stages the Windows folder and packs it into a zip; run by the windows_zip
# target with cmake -P. Text files get Windows line ends.
foreach(var STAGE NAME ZIP BIN PROGRAM SDL2_DLL STRIP TEXTS LICENSES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "pack_zip.cmake needs -D${var}=...")
  endif()
endforeach()
string(REPLACE "|" ";" TEXTS "${TEXTS}")
string(REPLACE "|" ";" LICENSES "${LICENSES}")

set(folder ${STAGE}/${NAME})
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${folder})

# The programs, without their symbol tables.
file(COPY ${PROGRAM} ${SDL2_DLL} DESTINATION ${folder})
foreach(binary rangiertrubel.exe SDL2.dll)
  execute_process(COMMAND ${STRIP} --strip-unneeded ${folder}/${binary} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${binary}")
  endif()
endforeach()

# The data: the levels (never a list of best scores left by a test run), the
# pictures and the sounds.
file(GLOB levels ${BIN}/Data/lev*.dat)
list(LENGTH levels level_count)
if(level_count EQUAL 0)
  message(FATAL_ERROR "no level files in ${BIN}/Data")
endif()
file(COPY ${levels} DESTINATION ${folder}/Data)
file(COPY ${BIN}/Sprites ${BIN}/Waves DESTINATION ${folder})

# Read-me and licence files as Windows text: CR LF line ends, and a UTF-8 mark
# so that every editor shows the umlauts right.
function(windows_text source target)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 bom)
  file(WRITE ${target} "${bom}${text}")
endfunction()
foreach(text ${TEXTS})
  get_filename_component(name ${text} NAME)
  windows_text(${text} ${folder}/${name})
endforeach()
list(GET LICENSES 0 game_licence)
list(GET LICENSES 1 sdl_licence)
list(GET LICENSES 2 mingw_licence)
windows_text(${game_licence} ${folder}/LICENSE.txt)
windows_text(${sdl_licence} ${folder}/LICENSE-SDL2.txt)
windows_text(${mingw_licence} ${folder}/LICENSE-MinGW-w64.txt)

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${NAME}
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot write ${ZIP}")
endif()
message(STATUS "Packed ${ZIP}")
