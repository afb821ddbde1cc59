# Starts the program in a folder where a data file cannot be read: it must show the error box (its text also goes to
# stderr) naming the failed check, and end with exit code 1. In an empty folder the first picture is missing; given
# the build's data folder and a file name, the folder holds the data with a FIFO, which no one writes, in that file's
# place, and the check is the one given. A program that waits on the FIFO is stopped at the time bound and fails.
#   cmake -DPROGRAM=<quillom> -DFOLDER=<scratch folder>
#         [-DDATA=<data folder> -DFIFO=<file name> -DSOURCE=<source file> -DDESCRIPTION=<check text>]
#         -P errorbox_check.cmake

if(NOT DEFINED SOURCE)
  set(SOURCE egl/egltypes.cpp)
  set(DESCRIPTION "\"Image file open successfully.\" && inputFile.is_open()")
endif()

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
if(DEFINED FIFO)
  file(GLOB data RELATIVE "${DATA}" "${DATA}/*")
  foreach(name IN LISTS data)
    if(NOT name STREQUAL FIFO)
      file(CREATE_LINK "${DATA}/${name}" "${FOLDER}/${name}" SYMBOLIC)
    endif()
  endforeach()
  execute_process(COMMAND mkfifo "${FOLDER}/${FIFO}" COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "${PROGRAM}"
  WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors
  OUTPUT_QUIET
  TIMEOUT 60)
file(REMOVE_RECURSE "${FOLDER}")

if(NOT result STREQUAL "1")
  message(FATAL_ERROR "exit code ${result}, expected 1\n${errors}")
endif()
foreach(expected
    "Quillom unrecoverable error"
    "Product: Quillom 1.0\nFilename: ${SOURCE}\nLine: "
    "\nDescription: ${DESCRIPTION}")
  string(FIND "${errors}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the error box lacks \"${expected}\":\n${errors}")
  endif()
endforeach()
