# Helpers shared by the layer, test and benchmark lists.

# quillom_add_test(<name> SOURCES <files...> LIBS <targets...> [COST <n>])
# A GoogleTest program registered with CTest; it runs headless under SDL's dummy drivers. A COST makes CTest start
# its tests before the cheaper ones, so that long ones do not finish a parallel run alone.
function(quillom_add_test name)
  cmake_parse_arguments(ARG "" "COST" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # The drivers are set by running the tests through env: gtest_discover_tests splits a property's list
  # into separate words, so an ENVIRONMENT of two variables would keep only the first.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy)
  include(GoogleTest)
  set(properties)
  if(ARG_COST)
    set(properties PROPERTIES COST ${ARG_COST})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} ${properties})
endfunction()

# quillom_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(quillom_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# quillom_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> SEEDS <data files...>
#                    [SEED_TOOL <program target> <seed file>])
# A libFuzzer program and its seed corpus, corpus/<name>/ beside it: the data generator writes the game's files
# named by SEEDS there, and a SEED_TOOL run on one of them writes more seeds beside it; all afresh whenever one of
# the two programs changes.
function(quillom_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;SEEDS;SEED_TOOL" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)

  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
  list(TRANSFORM ARG_SEEDS PREPEND ${corpus}/ OUTPUT_VARIABLE seeds)
  set(tool)
  set(tool_command)
  if(ARG_SEED_TOOL)
    list(GET ARG_SEED_TOOL 0 tool)
    list(GET ARG_SEED_TOOL 1 tool_seed)
    set(tool_command COMMAND ${tool} ${corpus}/${tool_seed})
  endif()
  add_custom_command(OUTPUT ${seeds}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${corpus}
    COMMAND quillom_datagen ${corpus} ${ARG_SEEDS}
    ${tool_command}
    DEPENDS quillom_datagen ${tool}
    COMMENT "Writing the seed corpus of ${name}"
    VERBATIM)
  add_custom_target(${name}_corpus ALL DEPENDS ${seeds})
endfunction()
