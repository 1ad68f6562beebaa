# Helpers shared by every folder's CMakeLists.

# morvane_ship(<target>...): copy the built program or DLL into the installable folder.
function(morvane_ship)
  if(NOT MORVANE_DIST_DIR)
    return()
  endif()
  foreach(t IN LISTS ARGN)
    add_custom_command(TARGET ${t} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVANE_DIST_DIR}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${t}> ${MORVANE_DIST_DIR}/
      VERBATIM)
  endforeach()
endfunction()

# morvane_ship_file(<file>...): copy a data file (pub.ini, loader.ini, ...) into the installable folder.
function(morvane_ship_file)
  if(NOT MORVANE_DIST_DIR)
    return()
  endif()
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    get_filename_component(name ${f} NAME)
    configure_file(${abs} ${MORVANE_DIST_DIR}/${name} COPYONLY)
  endforeach()
endfunction()

# morvane_gtest(<name> SOURCES ... [LIBS ...] [GUI] [TIMEOUT s]):
# a GoogleTest program with the project's test main, registered with ctest as one test.
# Windows test programs run under wine64 (the cross-compiling emulator); the 32-bit build
# has no emulator, so there they are only compiled.
function(morvane_gtest name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE morvane_test_main ${T_LIBS})
  if(WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(labels unit)
  if(T_GUI)
    set(labels gui)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${labels}"
    ENVIRONMENT "MORVANE_SRC=${PROJECT_SOURCE_DIR};MORVANE_BIN=${CMAKE_BINARY_DIR}/bin")
  if(T_GUI)
    # Window tests share one display: focus, foreground and the real cursor are global there,
    # so two of them at once could take keys or hover from each other.
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# morvane_fuzz_target(<name> SOURCE <file> [LIBS ...]): one libFuzzer entry point over one parser.
# Its seeds (and the reproducers of faults it found) live in fuzz/seeds/<name>/ beside the
# source. The native test run replays them all through a standalone runner (<name>_replay,
# ctest fuzz_replay_<name>); with -DMORVANE_FUZZ=ON (clang) bin/<name>_fuzzer is built too.
function(morvane_fuzz_target name)
  cmake_parse_arguments(F "" "SOURCE" "LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/seeds/${name})
  add_executable(${name}_replay ${F_SOURCE} ${PROJECT_SOURCE_DIR}/testing/fuzz_replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
  add_test(NAME fuzz_replay_${name} COMMAND ${name}_replay ${seeds})
  set_tests_properties(fuzz_replay_${name} PROPERTIES TIMEOUT 300 LABELS unit)
  if(MORVANE_FUZZ)
    add_executable(${name}_fuzzer ${F_SOURCE})
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name}_fuzzer PRIVATE ${F_LIBS})
  endif()
endfunction()
