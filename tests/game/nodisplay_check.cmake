# Starts the program where no display can be found (no DISPLAY, no WAYLAND_DISPLAY, no Wayland socket in
# XDG_RUNTIME_DIR, no SDL_VIDEODRIVER): it must end at once with one line on stderr that says so and how to give
# one, and a non-zero exit code, not run unseen on SDL's offscreen driver. The empty folder keeps it from
# reaching the game if it does not end.
#   cmake -DPROGRAM=<quillom> -DFOLDER=<scratch folder> -P nodisplay_check.cmake

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY XDG_RUNTIME_DIR=${FOLDER}
          --unset=SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "${PROGRAM}"
  WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors
  OUTPUT_QUIET
  TIMEOUT 60)

if(result STREQUAL "0" OR NOT result MATCHES "^[0-9]+$")
  message(FATAL_ERROR "exit code \"${result}\", expected a failure\n${errors}")
endif()
# SDL's reason comes in parentheses where its video cannot start at all.
if(NOT errors MATCHES "^No display was found( \\([^\n]*\\))?: start the program in a desktop session, or set DISPLAY \\(X11\\) or WAYLAND_DISPLAY \\(Wayland\\) to the display to show it on\\.\n$")
  message(FATAL_ERROR "stderr is not the one line that says no display was found:\n${errors}")
endif()
