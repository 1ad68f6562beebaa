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
