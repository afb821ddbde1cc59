# Starts the program in an empty folder: its first picture is missing, so it must show the error box (its text
# also goes to stderr) naming the failed check, and end with exit code 1.
#   cmake -DPROGRAM=<quillom> -DFOLDER=<scratch folder> -P errorbox_check.cmake

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "${PROGRAM}"
  WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors
  OUTPUT_QUIET
  TIMEOUT 60)

if(NOT result STREQUAL "1")
  message(FATAL_ERROR "exit code ${result}, expected 1\n${errors}")
endif()
foreach(expected
    "Quillom unrecoverable error"
    "Product: Quillom 1.0\nFilename: egl/egltypes.cpp\nLine: "
    "\nDescription: \"Image file open successfully.\" && inputFile.is_open()")
  string(FIND "${errors}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the error box lacks \"${expected}\":\n${errors}")
  endif()
endforeach()
