# Starts the program where no display can be found: it must end at once with one line on stderr that says so and
# a non-zero exit code, not run unseen on SDL's offscreen driver. The empty folder keeps it from reaching the game
# if it does not end.
# - By default nothing names a display (no DISPLAY, no WAYLAND_DISPLAY, no Wayland socket in XDG_RUNTIME_DIR, no
#   SDL_VIDEODRIVER): the line says how to give one.
# - With -DDEAD=ON DISPLAY names an X display that nobody serves, without XDG_RUNTIME_DIR (where the Wayland
#   library has its own complaint), with WAYLAND_DISPLAY unset and then naming a missing socket: the line names
#   the displays and gives SDL's reasons, the X11 driver's among them.
#   cmake -DPROGRAM=<quillom> -DFOLDER=<scratch folder> [-DDEAD=ON] -P nodisplay_check.cmake

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")

# Under a sanitized build, the X11 driver's try leaves what libdbus allocated, which is no fault.
set(leaks "LSAN_OPTIONS=suppressions='${CMAKE_CURRENT_LIST_DIR}/program.supp':print_suppressions=0")
function(requireOneLine environment expected)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "${leaks}" ${environment}
            "${PROGRAM}"
    WORKING_DIRECTORY "${FOLDER}"
    RESULT_VARIABLE result
    ERROR_VARIABLE errors
    OUTPUT_QUIET
    TIMEOUT 60)
  if(result STREQUAL "0" OR NOT result MATCHES "^[0-9]+$")
    message(FATAL_ERROR "${environment}: exit code \"${result}\", expected a failure\n${errors}")
  endif()
  if(NOT errors MATCHES "^${expected}\n$")
    message(FATAL_ERROR "${environment}: stderr is not the one line that says no display was found:\n${errors}")
  endif()
  set(given "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# SDL's reasons come in parentheses.
set(reasons "\\(([^\n]*)\\)")
if(NOT DEAD)
  requireOneLine("--unset=DISPLAY;--unset=WAYLAND_DISPLAY;XDG_RUNTIME_DIR=${FOLDER}"
    "No display was found( ${reasons})?: start the program in a desktop session, or set DISPLAY \\(X11\\) or WAYLAND_DISPLAY \\(Wayland\\) to the display to show it on\\.")
  return()
endif()

# A display number that no X server holds: none has its lock file or socket.
set(number 97)
while(EXISTS "/tmp/.X${number}-lock" OR EXISTS "/tmp/.X11-unix/X${number}")
  math(EXPR number "${number} + 1")
endwhile()
set(advice ": check that the display runs and lets this user in, or start the program in a desktop session\\.")
foreach(wayland "--unset=WAYLAND_DISPLAY" "WAYLAND_DISPLAY=quillom-missing")
  if(wayland STREQUAL "--unset=WAYLAND_DISPLAY")
    set(named "DISPLAY=:${number}")
  else()
    set(named "DISPLAY=:${number} or WAYLAND_DISPLAY=quillom-missing")
  endif()
  requireOneLine("DISPLAY=:${number};--unset=XDG_RUNTIME_DIR;${wayland}"
    "No display was found at ${named} ${reasons}${advice}")
  if(NOT given MATCHES "x11")
    message(FATAL_ERROR "${wayland}: the reasons \"${given}\" lack the X11 driver's")
  endif()
endforeach()
