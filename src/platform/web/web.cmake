# The game for a web page, configured with emscripten (`emcmake cmake`, which
# `make web` does): index.html, its loader index.js, the module index.wasm and
# the game's files in index.data. The sounds come from the native build's
# volmarin-makesounds (VOLMARIN_MEDIA_DIR); the two MIDI pieces are rendered to
# Ogg here with FluidSynth and the General MIDI SoundFont, so the page needs
# no synthesizer.
set(VOLMARIN_MEDIA_DIR "" CACHE PATH "Native build folder holding the synthesized sounds and music")
if(NOT EXISTS "${VOLMARIN_MEDIA_DIR}/Firebomb.mid")
  message(FATAL_ERROR "VOLMARIN_MEDIA_DIR must name a native build with its media built "
                      "(cmake --build build --target volmarin-media)")
endif()
set(VOLMARIN_SOUNDFONT "/usr/share/sounds/sf2/TimGM6mb.sf2" CACHE FILEPATH "SoundFont for the music")
set(VOLMARIN_FACE "/usr/share/fonts/truetype/play/Play-Regular.ttf" CACHE FILEPATH "The default face")
find_program(FLUIDSYNTH fluidsynth REQUIRED)
find_program(OGGENC oggenc REQUIRED)
foreach(needed ${VOLMARIN_SOUNDFONT} ${VOLMARIN_FACE} /usr/include/stb/stb_truetype.h)
  if(NOT EXISTS ${needed})
    message(FATAL_ERROR "${needed} is missing (scripts/install-deps web installs it)")
  endif()
endforeach()

file(GLOB_RECURSE VOLMARIN_WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp)
# The desktop's entry points, its backend, its text machinery and its PNG writer stay out.
list(FILTER VOLMARIN_WEB_SOURCES EXCLUDE REGEX
  ".*/src/(main|headless_main)\\.cpp$|.*/src/platform/sdl/.*|.*/src/platform/(font|png)\\.cpp$")

# stb_truetype alone, without the rest of the machine's headers.
configure_file(/usr/include/stb/stb_truetype.h ${CMAKE_BINARY_DIR}/stb/stb/stb_truetype.h COPYONLY)

set(data ${CMAKE_BINARY_DIR}/data)
set(datafiles)
file(GLOB_RECURSE VOLMARIN_WAVES RELATIVE ${VOLMARIN_MEDIA_DIR} ${VOLMARIN_MEDIA_DIR}/*.wav)
list(FILTER VOLMARIN_WAVES INCLUDE REGEX "^((classic|trek)/)?[^/]+\\.wav$")
foreach(file ${VOLMARIN_WAVES} Firebomb.mid MortalKombat.mid)
  add_custom_command(OUTPUT ${data}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${VOLMARIN_MEDIA_DIR}/${file} ${data}/${file}
    DEPENDS ${VOLMARIN_MEDIA_DIR}/${file} VERBATIM)
  list(APPEND datafiles ${data}/${file})
endforeach()
foreach(piece Firebomb MortalKombat)
  add_custom_command(OUTPUT ${data}/${piece}.ogg
    COMMAND ${FLUIDSYNTH} -q -n -i -F ${CMAKE_BINARY_DIR}/${piece}.wav -r 44100
            ${VOLMARIN_SOUNDFONT} ${VOLMARIN_MEDIA_DIR}/${piece}.mid
    COMMAND ${OGGENC} -Q -q 2 -o ${data}/${piece}.ogg ${CMAKE_BINARY_DIR}/${piece}.wav
    COMMAND ${CMAKE_COMMAND} -E remove ${CMAKE_BINARY_DIR}/${piece}.wav
    DEPENDS ${VOLMARIN_MEDIA_DIR}/${piece}.mid
    COMMENT "Rendering ${piece}.mid to Ogg" VERBATIM)
  list(APPEND datafiles ${data}/${piece}.ogg)
endforeach()
add_custom_command(OUTPUT ${data}/Play-Regular.ttf
  COMMAND ${CMAKE_COMMAND} -E copy ${VOLMARIN_FACE} ${data}/Play-Regular.ttf
  DEPENDS ${VOLMARIN_FACE} VERBATIM)
list(APPEND datafiles ${data}/Play-Regular.ttf)
add_custom_target(volmarin-web-data DEPENDS ${datafiles})

set(web ${CMAKE_SOURCE_DIR}/src/platform/web)
add_executable(volmarin-web ${VOLMARIN_WEB_SOURCES})
add_dependencies(volmarin-web volmarin-web-data)
set_target_properties(volmarin-web PROPERTIES OUTPUT_NAME index SUFFIX .html)
target_include_directories(volmarin-web PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/stb)
# The window-closed unwinding needs exceptions; ASYNCIFY lets the game's
# blocking loops hand control back to the browser while they wait.
target_compile_options(volmarin-web PRIVATE -fexceptions -O2)
target_link_options(volmarin-web PRIVATE
  -fexceptions -O2
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=262144
  -sMINIFY_HTML=0 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web -sFORCE_FILESYSTEM=1 -lidbfs.js
  "SHELL:--pre-js ${web}/page.js"
  "SHELL:--shell-file ${web}/shell.html"
  "SHELL:--preload-file ${data}@/game")
set_property(TARGET volmarin-web APPEND PROPERTY LINK_DEPENDS ${web}/page.js ${web}/shell.html ${datafiles})
